#include "pellow/launcher.h"

#include "pellow/result_codes.h"

namespace pellow {

int RunLauncher(Language language, const Opener& open, ErrorBox& box) {
    const int result = open(LoadString(kPackageName, language));
    if (!Succeeded(result)) {
        box.ShowError(MessageForResult(result, language));
    }
    return 0;
}

}  // namespace pellow
