// The print template loader: any bytes as the override "Gleisliste.HED" next to the program are
// read and checked, and a template that passes is built into two filled pages and laid out, as
// a print run does. Nothing may crash, hang or take long, whatever the file holds.
#include "drucken.h"
#include "printdocument.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {
QGuiApplication* application() {
    static int argc = 1;
    static char name[] = "fuzz_template";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = [] {
        auto* created = new QGuiApplication(argc, argv);
        // Gone before Qt's own statics, so the font system closes down and leaves no leak.
        std::atexit([] { delete QGuiApplication::instance(); });
        return created;
    }();
    return app;
}

void buildPages(const QTextDocument& pageTemplate) {
    PrintDocument doc;
    doc.setSwitches(false, false, false);
    for (int p = 21; p <= 30; ++p) {
        doc.defineField(p + 10, QStringLiteral("{Feld %1}").arg(p));
        doc.setFieldText(p + 10, QString::number(24040 + p));
    }
    for (int page = 1; page <= 2; ++page) {
        if (!doc.insertDocument(pageTemplate))
            return;
        doc.moveToEnd();
        doc.setPosition(0, doc.position().offset - 1);
        const int table = doc.tableCount() - 1;
        for (int column = 0; column < Drucken::TableColumns; ++column)
            Drucken::WriteTableCell(doc, table, 1, column,
                                    QStringLiteral("\r\n1\r\n22\r\n\r\n333"));
        doc.moveToEnd();
        doc.setPosition(0, doc.position().offset - 1);
        if (page == 1)
            doc.insertPageBreak();
    }
    doc.layOut(true);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    application();
    static QTemporaryDir dir;
    const QString path = dir.filePath(Drucken::TemplateName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        return 0;
    file.close();
    if (const std::unique_ptr<QTextDocument> pageTemplate = Drucken::ReadTemplate(path))
        buildPages(*pageTemplate);
    return 0;
}
