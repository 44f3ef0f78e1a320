#include "resultgrid.h"

#include <cmath>

namespace ResultGrid {

namespace {
int roundTwips(double v) {
    return int(std::nearbyint(v));
}
} // namespace

int columnWidthTwips(const Kern::ResultColumns& columns, int column,
                     const Kern::ScreenScale& scale) {
    if (column < 0 || column >= columns.count())
        return 0;
    if (column == Kern::ResultColumns::Number)
        return roundTwips(600 * scale.x);
    if (column == Kern::ResultColumns::Length)
        return roundTwips(700 * scale.x);
    if (column == columns.pieces() || column == columns.price())
        return roundTwips(1000 * scale.x);
    return roundTwips(5925 * scale.x / (columns.types + 1));
}

int headingHeightTwips(const Kern::ScreenScale& scale) {
    return roundTwips(300 * scale.y);
}

} // namespace ResultGrid
