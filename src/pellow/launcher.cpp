#include "pellow/launcher.h"

#include <QDir>

#include "pellow/result_codes.h"
#include "pellow/terminal_message.h"

namespace pellow {

int RunLauncher(Language language, const Opener& open, ErrorBox& box) {
    const QString fileName = LoadString(kPackageName, language);
    const int result = open(fileName);
    if (!Succeeded(result)) {
        box.ShowError(
            MessageForResult(result, language),
            TerminalMessage(result, QDir::current().absoluteFilePath(fileName), language));
    }
    return 0;
}

}  // namespace pellow
