#pragma once

#include <QFont>

// The calculator's two type faces.
namespace CalculatorFonts {

// The system's sans-serif family, where the window's design names a Windows sans serif.
QFont sans(double points, bool bold = false);

// Fixed pitch, so that the tape's padded lines stay in columns, on screen and on paper:
// Liberation Mono, or the system's fixed-pitch family.
QFont tape(double points);

} // namespace CalculatorFonts
