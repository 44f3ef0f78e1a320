#include "calculatorfonts.h"

#include <QFontDatabase>

namespace CalculatorFonts {

QFont sans(double points, bool bold) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont tape(double points) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    return f;
}

} // namespace CalculatorFonts
