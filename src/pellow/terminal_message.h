#pragma once
// What the launcher says on a terminal when the package could not be opened: its
// message, the file it tried and what to do, in one line.

#include <QString>

#include "pellow/texts.h"

namespace pellow {

// The installed command, in front of every line the launcher writes.
inline constexpr char kCommandName[] = "pellow";

// "pellow: InstFile_EN.msi not found! (/media/cd/InstFile_EN.msi); start pellow in the
// folder of the installation medium"; `path` is the file's full path.
QString TerminalMessage(int result, const QString& path, Language language);

}  // namespace pellow
