#include "commandline.h"
#include "kernmain.h"
#include "seite1.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // The arguments are read before the window system starts: help, version and every mistake
    // are answered on a terminal without a display.
    const Kern::CommandLine line = Kern::readCommandLine(argc, argv);
    std::fputs(line.output.toUtf8().constData(), stdout);
    std::fputs(line.errors.toUtf8().constData(), stderr);
    if (!line.run)
        return line.exitCode;

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Schotterfix"));
    // The main window goes before the application, and with it everything it owns.
    const std::unique_ptr<Seite1> window(Kern::Main(line.trackFile));
    return app.exec();
}
