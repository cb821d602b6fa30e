#pragma once
// The command line of Veltrix, read before the application object exists (which needs
// a display): --help and --version, Qt's own options (-platform, -style, ...) left for
// the application object, anything else refused.

#include <QStringList>
#include <cstdio>
#include <optional>
#include <string>

namespace veltrix {

// The installed command, in front of every message about the command line.
inline constexpr char kCommandName[] = "veltrix";

struct CommandLineTexts {
    std::string usage;    // --help, -h
    std::string version;  // --version, -v: one line
};

// The exit status when the program is to end here: 0 after --help or --version (printed
// on `out`), 2 for an unknown option or an argument (said on `err` as one line);
// nothing when the program is to run. Takes "--name=value" and "--name value", and
// Qt's options with one dash or two.
std::optional<int> AnswerCommandLine(const QStringList& arguments, const CommandLineTexts& texts,
                                     std::FILE* out, std::FILE* err);

}  // namespace veltrix
