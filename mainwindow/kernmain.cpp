#include "kernmain.h"

#include "kern.h"
#include "programicon.h"
#include "seite1.h"
#include "settings.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTranslator>
#include <QWindow>

#include <csignal>

namespace Kern {

namespace {
QPointer<Seite1> theMainWindow;

struct StartRow {
    const char* article;
    const char* length;
};
constexpr StartRow StartRows[8] = {
    {"24064", "64.3"},  {"24071", "70.8"},  {"24077", "77.5"},  {"24094", "94.2"},
    {"24172", "171.7"}, {"24188", "188.3"}, {"24229", "229.3"}, {"24236", "236.1"},
};
} // namespace

// The windows were designed for a narrow sans-serif face; a metric-compatible one keeps every
// caption inside its control. Without it the system's sans-serif family is used.
// The toolkit's own dialogs (file, print, page set-up) speak German too.
static void useGermanDialogs() {
    static QTranslator* translator = nullptr;
    if (translator)
        return;
    translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

static void useProgramFont() {
    QFont font = QApplication::font();
    for (const char* family : {"Liberation Sans", "Arimo", "Arial"}) {
        if (QFontDatabase::hasFamily(QLatin1String(family))) {
            font.setFamily(QLatin1String(family));
            break;
        }
    }
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
}

// The design layout is captured with the window's outer size, frame included. A window manager
// puts its frame around the window only once the window is on the screen, so wait for that
// (a moment at most) before capturing.
static void waitUntilFramed(QWidget* w) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000 && !(w->windowHandle() && w->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

Seite1* mainWindow() {
    return theMainWindow.data();
}

Seite1* Main(const QString& trackFile) {
    delete theMainWindow.data();
    // Under a file-size limit (ulimit -f) a write past it would end the program, the table on the
    // screen with it; every writer reports the failed write instead.
    std::signal(SIGXFSZ, SIG_IGN);
    useProgramFont();
    useGermanDialogs();
    QApplication::setWindowIcon(Info::programIcon());
    auto* w = new Seite1();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    theMainWindow = w;

    w->shortfallList()->setCurrentIndex(0);
    w->excessList()->setCurrentIndex(0);
    w->limitBox()->setText(QStringLiteral("500"));
    w->routeBox()->setText(QStringLiteral("1000"));
    for (int r = 1; r <= TrackRows; ++r) {
        w->lengthBox(r)->setText(r <= 8 ? QLatin1String(StartRows[r - 1].length)
                                        : QStringLiteral("0.0"));
        w->articleBox(r)->setText(r <= 8 ? QLatin1String(StartRows[r - 1].article) : QString());
    }
    double preset = 1;
    const QString remembered = ReadSettings(&preset);
    w->setCurrentTrackFile(remembered);
    if (trackFile.isEmpty() && !remembered.isEmpty())
        w->loadTrackFile(remembered, true);
    w->markTableUnchanged();

    w->show();
    waitUntilFramed(w);
    w->captureDesignLayout();
    w->ApplyScreenPreset(preset);
    w->markPreset(preset);

    if (!trackFile.isEmpty()) {
        // Once the window stands, so that a load error shows over it: caption, current name and
        // settings come out as after "&Laden".
        w->loadFrom(trackFile);
        if (w->currentTrackFile() != trackFile && !remembered.isEmpty())
            w->loadTrackFile(remembered, true);
    }
    return w;
}

} // namespace Kern
