#include "tapeprinter.h"

#include "calculatorfonts.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace TapePrinter {

std::unique_ptr<QPrinter> defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("Rechner"));
    return printer;
}

bool print(QPrinter& printer, const QStringList& lines) {
    QPainter p;
    if (!p.begin(&printer))
        return false;
    // Monospaced like the tape on screen, so the numbers stay in columns on paper too.
    const QFont font = CalculatorFonts::tape(10);
    p.setFont(font);
    const QFontMetrics fm(font, &printer);
    const int pageHeight = printer.height();
    int y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + fm.lineSpacing() > pageHeight) {
            if (!printer.newPage()) {
                p.end();
                return false;
            }
            y = 0;
        }
        p.drawText(0, y + fm.ascent(), line);
        y += fm.lineSpacing();
    }
    return p.end() && printer.printerState() != QPrinter::Error;
}

} // namespace TapePrinter
