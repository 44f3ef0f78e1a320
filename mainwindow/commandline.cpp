#include "commandline.h"

#include "sfx_version.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QUrl>

namespace Kern {

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

// The options QApplication takes out of the arguments itself (with one dash or two), and whether
// the next argument is their value. Those of X11 are taken only there, but they are nobody
// else's anywhere. The toolkit reads them everywhere, also after "--".
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption ToolkitOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowtitle", true},
    {"qwindowicon", true},
    {"session", true},
    {"style", true},
    {"stylesheet", true},
    {"reverse", false},
    {"widgetcount", false},
    {"testability", false},
    {"display", true},
    {"name", true},
    {"geometry", true},
    {"title", true},
    {"icon", true},
};
// Those that the toolkit also takes with their value joined by "=".
constexpr const char* JoinedToolkitOptions[] = {"style=", "stylesheet=", "qmljsdebugger="};

// How many arguments from arguments[i] on belong to the toolkit (0: the argument is ours).
int toolkitArguments(const QStringList& arguments, int i) {
    QString name = arguments[i];
    if (!name.startsWith(QLatin1Char('-')))
        return 0;
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    for (const ToolkitOption& option : ToolkitOptions)
        if (name == QLatin1String(option.name))
            return option.takesValue && i + 1 < arguments.size() ? 2 : 1;
    for (const char* prefix : JoinedToolkitOptions)
        if (name.startsWith(QLatin1String(prefix)))
            return 1;
    return 0;
}

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

// The toolkit's own messages would be English; they also do not name the option that was given
// a value.
QString parseProblem(const QCommandLineParser& parser, const QStringList& arguments) {
    QStringList unknown;
    for (const QString& name : parser.unknownOptionNames())
        unknown << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    if (!unknown.isEmpty())
        return QStringLiteral("Unbekannte Option: %1").arg(unknown.join(QLatin1String(", ")));
    for (const QString& a : arguments) {
        if (a == QLatin1String("--"))
            break;
        if (a.startsWith(QLatin1String("--")) && a.contains(QLatin1Char('=')))
            return QStringLiteral("Die Option %1 nimmt keinen Wert an.").arg(a.section('=', 0, 0));
    }
    return QStringLiteral("Die Optionen nehmen keinen Wert an.");
}

CommandLine mistake(const QString& program, const QString& problem) {
    CommandLine result;
    result.errors = QStringLiteral("%1: %2\nHilfe: %1 --help\n").arg(program, problem);
    result.run = false;
    result.exitCode = 1;
    return result;
}
} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("schotterfix") : QFileInfo(arguments[0]).fileName();
    QStringList ours = arguments.mid(0, 1);
    for (int i = 1; i < arguments.size();) {
        const int toolkit = toolkitArguments(arguments, i);
        if (toolkit == 0)
            ours << arguments[i++];
        i += toolkit;
    }

    QCommandLineParser parser;
    const QCommandLineOption help(HelpOption.names, QString::fromUtf8(HelpOption.description));
    const QCommandLineOption version(VersionOption.names,
                                     QString::fromUtf8(VersionOption.description));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(ours))
        return mistake(program, parseProblem(parser, ours));

    CommandLine result;
    if (parser.isSet(help) || parser.isSet(version)) {
        result.output =
            parser.isSet(help)
                ? helpText(program)
                : QStringLiteral("Schotterfix %1\n").arg(QLatin1String(SFX_VERSION_STRING));
        result.run = false;
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return mistake(program,
                       QStringLiteral("Es kann nur eine Datei geladen werden; angegeben: %1")
                           .arg(files.join(QLatin1String(" "))));
    if (!files.isEmpty())
        result.trackFile = localPath(files.first());
    return result;
}

CommandLine readCommandLine(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return readCommandLine(arguments);
}

} // namespace Kern
