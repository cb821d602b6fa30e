// Pellow: opens the installer package of the user's language from the current
// directory with the desktop's application for it, and says why in one error box
// when that fails. It has no window of its own and always exits with 0 (2 for a
// command line it does not take).

#include <iostream>

#include "pellow/command_line.h"
#include "pellow/desktop_open.h"
#include "pellow/error_box.h"
#include "pellow/launcher.h"
#include "pellow/texts.h"

int main(int argc, char* argv[]) {
    if (const auto status = pellow::AnswerCommandLine(argc, argv, std::cout, std::cerr)) {
        return *status;
    }
    pellow::DesktopErrorBox box(argc, argv);
    return pellow::RunLauncher(pellow::LanguageFromEnvironment(), pellow::OpenWithDesktop, box);
}
