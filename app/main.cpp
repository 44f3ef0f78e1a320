#include "commandline.h"
#include "kernmain.h"
#include "seite1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Without a display and without a platform chosen, the toolkit would abort the program with a
// core dump (as over ssh); a word on the terminal says what is missing instead.
bool hasSomewhereToShow(int argc, char* argv[]) {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "-platform") || !std::strcmp(argv[i], "--platform") ||
            !std::strncmp(argv[i], "-platform=", 10) || !std::strncmp(argv[i], "--platform=", 11))
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // The arguments are read before the window system starts: help, version and every mistake
    // are answered on a terminal without a display.
    const Kern::CommandLine line = Kern::readCommandLine(argc, argv);
    std::fputs(line.output.toUtf8().constData(), stdout);
    std::fputs(line.errors.toUtf8().constData(), stderr);
    if (!line.run)
        return line.exitCode;
    if (!hasSomewhereToShow(argc, argv)) {
        std::fputs("schotterfix: Keine grafische Anzeige gefunden (weder DISPLAY noch "
                   "WAYLAND_DISPLAY ist gesetzt).\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Schotterfix"));
    // The main window goes before the application, and with it everything it owns.
    const std::unique_ptr<Seite1> window(Kern::Main(line.trackFile));
    return app.exec();
}
