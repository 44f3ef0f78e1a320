#include "kernmain.h"

#include "kern.h"
#include "programicon.h"
#include "seite1.h"
#include "settings.h"

#include "sfx_version.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTranslator>
#include <QUrl>
#include <QWindow>

#include <csignal>
#include <cstring>

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

// ---- the command line ----

namespace {
struct OptionText {
    QStringList names;
    const char* description;
};

const OptionText HelpOption{{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                            "Zeigt diese Hilfe an und beendet das Programm."};
const OptionText VersionOption{{QStringLiteral("v"), QStringLiteral("version")},
                               "Zeigt die Versionsnummer an und beendet das Programm."};
const char* const FileArgument = "Datei";
const char* const FileDescription =
    "Gleistabelle (*.sfr), die statt der zuletzt benutzten geladen wird.";

QString helpText(const QString& program) {
    auto line = [](const QString& left, const char* description) {
        return QStringLiteral("  %1  %2\n").arg(left, -14).arg(QString::fromUtf8(description));
    };
    return QStringLiteral("Aufruf: %1 [Optionen] [%2]\n\n")
               .arg(program, QLatin1String(FileArgument)) +
           QStringLiteral("Schotterfix findet zu einer Streckenlänge jede passende Kombination "
                          "gerader Gleisstücke.\n\nOptionen:\n") +
           line(QStringLiteral("-h, --help"), HelpOption.description) +
           line(QStringLiteral("-v, --version"), VersionOption.description) +
           QStringLiteral("\nArgumente:\n") + line(QLatin1String(FileArgument), FileDescription);
}

// A launcher may hand over a file as a URL.
QString localPath(const QString& argument) {
    const QString path =
        argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile() : argument;
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}
} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    CommandLine result;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("schotterfix") : QFileInfo(arguments[0]).fileName();
    QCommandLineParser parser;
    const QCommandLineOption help(HelpOption.names, QString::fromUtf8(HelpOption.description));
    const QCommandLineOption version(VersionOption.names,
                                     QString::fromUtf8(VersionOption.description));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QLatin1String(FileArgument), QString::fromUtf8(FileDescription),
                                 QStringLiteral("[%1]").arg(QLatin1String(FileArgument)));
    if (!parser.parse(arguments)) {
        // The toolkit's own messages would be English here; options take no values.
        QStringList unknown;
        for (const QString& name : parser.unknownOptionNames())
            unknown << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        const QString problem =
            unknown.isEmpty()
                ? QStringLiteral("Die Optionen nehmen keinen Wert an.")
                : QStringLiteral("Unbekannte Option: %1").arg(unknown.join(QLatin1String(", ")));
        result.errors = QStringLiteral("%1: %2\nHilfe: %1 --help\n").arg(program, problem);
        result.run = false;
        result.exitCode = 1;
        return result;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        result.output =
            parser.isSet(help)
                ? helpText(program)
                : QStringLiteral("Schotterfix %1\n").arg(QLatin1String(SFX_VERSION_STRING));
        result.run = false;
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        result.trackFile = localPath(files.first());
    if (files.size() > 1)
        result.errors = QStringLiteral("%1: Es wird nur eine Datei geladen; nicht beachtet: %2\n")
                            .arg(program, files.mid(1).join(QLatin1String(" ")));
    return result;
}

bool asksOnlyForText(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            return false;
        for (const char* option : {"-h", "--help", "-?", "-v", "--version"})
            if (std::strcmp(a, option) == 0)
                return true;
    }
    return false;
}

} // namespace Kern
