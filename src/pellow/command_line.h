#pragma once
// The launcher's command line: --help and --version, Qt's own options (-platform,
// -style, ...) left for the error box's application object, anything else refused.

#include <iosfwd>
#include <optional>

namespace pellow {

// The exit status when the launcher is to end here: 0 after --help or --version
// (printed on `out`), 2 for an unknown option or an argument (said on `err`); nothing
// when it is to open the package.
std::optional<int> AnswerCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace pellow
