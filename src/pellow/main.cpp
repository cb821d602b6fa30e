// Pellow: opens the installer package of the user's language from the current
// directory with the desktop's application for it, and says why in one error box
// when that fails. It has no window of its own and always exits with 0.

#include "pellow/desktop_open.h"
#include "pellow/error_box.h"
#include "pellow/launcher.h"
#include "pellow/texts.h"

int main(int argc, char* argv[]) {
    pellow::DesktopErrorBox box(argc > 0 ? argv[0] : nullptr);
    return pellow::RunLauncher(pellow::LanguageFromEnvironment(), pellow::OpenWithDesktop, box);
}
