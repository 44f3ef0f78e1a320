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
    // Metric-compatible with the Courier New the tape was laid out for, so that its lines fill
    // the list box as designed; the system's fixed-pitch family where it is missing.
    const QString preferred = QStringLiteral("Liberation Mono");
    QFont f = QFontDatabase::hasFamily(preferred)
                  ? QFont(preferred)
                  : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    return f;
}

} // namespace CalculatorFonts
