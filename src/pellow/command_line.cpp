#include "pellow/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <ostream>

#include "pellow/terminal_message.h"

namespace pellow {

namespace {

constexpr char kUsage[] =
    "Usage: pellow [--help | --version] [Qt's options]\n"
    "\n"
    "Opens the installer package of the installation medium, InstFile_EN.msi (or\n"
    "InstFile_DE.msi in a German environment), from the current folder with the\n"
    "desktop's application for its type. When that fails it says why in a message box,\n"
    "or without a display on standard error. It exits with status 0 either way.\n"
    "\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the program's version\n"
    "Qt's own options (such as -platform NAME) are taken as well; any other option or\n"
    "argument is refused (exit status 2).\n";

// What QGuiApplication and QApplication take from the command line themselves.
constexpr const char* kQtOptionsWithValue[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display",       "geometry",
};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kQtOptionsWithValue) {
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    }
    for (const char* name : kQtFlags) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help)) {
        out << kUsage;
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        out << "pellow " PELLOW_VERSION "\n";
        return 0;
    }
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        const QString what = !parsed ? parser.errorText()
                                     : QStringLiteral("Unexpected argument '%1'.")
                                           .arg(parser.positionalArguments().front());
        err << kCommandName << ": " << what.toStdString() << " See " << kCommandName
            << " --help.\n";
        return 2;
    }
    return std::nullopt;
}

}  // namespace pellow
