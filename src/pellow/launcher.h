#pragma once
// The launcher's whole run: open the installer package of the user's language and say
// why, if that failed.

#include <QString>
#include <functional>

#include "pellow/error_box.h"
#include "pellow/texts.h"

namespace pellow {

// Opens a file and returns a code of result_codes.h; OpenWithDesktop in the program.
using Opener = std::function<int(const QString& fileName)>;

// Opens the package named by string 112 of `language` (relative to the current
// directory) with `open`; on failure shows the message for its result on `box`, once.
// Returns the program's exit code, which is always 0.
int RunLauncher(Language language, const Opener& open, ErrorBox& box);

}  // namespace pellow
