#include "gui/app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <cstdio>

namespace veltrix {

namespace {

// What QGuiApplication and QApplication take from the command line themselves.
constexpr const char* kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qmljsdebugger",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "session",
    "style",
    "stylesheet",
    "display",
    "geometry",
    "title",
    "name",
    "visual",
    "im",
    "inputstyle",
};
constexpr const char* kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void AddHidden(QCommandLineParser& parser, const char* name, bool takesValue) {
    QCommandLineOption option(QString::fromLatin1(name));
    if (takesValue) {
        option.setValueName(QStringLiteral("value"));
    }
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
}

// The argument that named option `name`, as the user typed it ("--bogus=1").
std::string AsGiven(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments.mid(1)) {
        QString stripped =
            argument.startsWith(QLatin1String("--")) ? argument.mid(2) : argument.mid(1);
        if (argument.startsWith(QLatin1Char('-')) &&
            stripped.section(QLatin1Char('='), 0, 0) == name) {
            return argument.toStdString();
        }
    }
    return name.toStdString();
}

// Qt's "Missing value after '-platform'." as part of a sentence.
std::string Sentence(QString text) {
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (!text.isEmpty()) {
        text[0] = text[0].toLower();
    }
    return text.toStdString();
}

void Refuse(std::FILE* err, const std::string& what) {
    std::fprintf(err, "%s: %s; see %s --help\n", kCommandName, what.c_str(), kCommandName);
}

}  // namespace

std::optional<int> AnswerCommandLine(const QStringList& arguments, const CommandLineTexts& texts,
                                     std::FILE* out, std::FILE* err) {
    QCommandLineParser parser;
    // Qt's options come with one dash ("-platform offscreen"): as long options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kQtOptionsWithValue) {
        AddHidden(parser, name, true);
    }
    for (const char* name : kQtFlags) {
        AddHidden(parser, name, false);
    }
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        Refuse(err, unknown.isEmpty()
                        ? Sentence(parser.errorText())
                        : "unknown option \"" + AsGiven(arguments, unknown.front()) + "\"");
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(texts.usage.c_str(), out);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fprintf(out, "%s\n", texts.version.c_str());
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        Refuse(err, "unexpected argument \"" + parser.positionalArguments().front().toStdString() +
                        "\"");
        return 2;
    }
    return std::nullopt;
}

}  // namespace veltrix
