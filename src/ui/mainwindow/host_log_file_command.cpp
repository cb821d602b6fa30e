// The service's host log file settings.
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnHostLogFile() {
    if (!state_.isConnected) {
        ui_.ShowMessage(LoadString(ids::kHostNotConnected));
    }
}

}  // namespace veltrix
