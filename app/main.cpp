#include "kernmain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Schotterfix"));
    Kern::Main();
    return app.exec();
}
