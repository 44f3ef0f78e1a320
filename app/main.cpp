#include "kernmain.h"
#include "seite1.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // Help and version need no display: they are answered without starting the window system.
    std::unique_ptr<QCoreApplication> app;
    if (Kern::asksOnlyForText(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Schotterfix"));

    const Kern::CommandLine line = Kern::readCommandLine(QCoreApplication::arguments());
    std::fputs(line.output.toUtf8().constData(), stdout);
    std::fputs(line.errors.toUtf8().constData(), stderr);
    if (!line.run || !qobject_cast<QApplication*>(app.get()))
        return line.exitCode;
    // The main window goes before the application, and with it everything it owns.
    const std::unique_ptr<Seite1> window(Kern::Main(line.trackFile));
    return app->exec();
}
