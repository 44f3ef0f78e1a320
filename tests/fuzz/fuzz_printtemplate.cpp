// The print template loader on any file content: reading it as a document and judging whether
// it is a usable template never crashes or hangs.
#include "drucken.h"
#include "fuzzcheck.h"
#include "printdocument.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {
QTemporaryDir* scratch = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A document lays out text, which needs the application's fonts.
    static QApplication app(*argc, *argv);
    scratch = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = scratch->filePath(QStringLiteral("Gleisliste.HED"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }
    QTextDocument doc;
    FUZZ_CHECK(PrintDocument::readDocumentFile(path, &doc));
    const bool usable = Drucken::IsUsableTemplate(path);
    // Only a document with a table can be usable.
    FUZZ_CHECK(!usable || doc.toHtml().contains(QLatin1String("<table")));
    return 0;
}
