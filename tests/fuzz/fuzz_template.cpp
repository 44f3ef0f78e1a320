// The print template loader and page builder on any bytes as a user's own "Gleisliste.HED", then a
// print run of two pages as the print command makes it: a file that is no usable form gives way to
// the built-in template, and whatever the file holds nothing may crash, hang or take long.
#include "filefaults.h"
#include "fuzzcheck.h"
#include "print/resultfixture.h"

#include <QApplication>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Kern::ResultTableModel* grid = [] {
        static int argc = 1;
        static char name[] = "fuzz_template";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
        // Gone before Qt's own statics, so the font system closes down and leaves no leak.
        std::atexit([] { delete QApplication::instance(); });
        auto* twoPages = new Kern::ResultTableModel(qApp);
        fillResults(*twoPages, 8, 60);
        return twoPages;
    }();
    static QTemporaryDir dir;
    if (!TestHelp::put(dir.filePath(Drucken::TemplateName), fuzzBytes(data, size)))
        return 0;
    Printout printout(*grid, dir.path());
    FUZZ_CHECK(printout.preview.buildPages(printout.run));
    FUZZ_CHECK(printout.document().pageCount() >= 2);
    return 0;
}
