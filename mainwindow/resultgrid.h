#pragma once

#include "kern.h"
#include "resultcolumns.h"

// The result grid's layout in twips, for n selected types and the active screen factors.
namespace ResultGrid {

// The running number, the length and the last two columns have widths of their own; the
// deviation and the n count columns share 5925 twips equally. Whole twips, a half going to the
// even neighbour.
int columnWidthTwips(const Kern::ResultColumns& columns, int column,
                     const Kern::ScreenScale& scale);
int headingHeightTwips(const Kern::ScreenScale& scale);

} // namespace ResultGrid
