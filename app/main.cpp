#include "kernmain.h"
#include "seite1.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Schotterfix"));
    // The main window goes before the application, and with it everything it owns.
    const std::unique_ptr<Seite1> window(Kern::Main());
    return app.exec();
}
