// The e-mail notification settings of the service.
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnMailSettings() {
    if (!state_.isConnected) {
        ui_.ShowMessage(LoadString(ids::kHostNotConnected));
    }
}

}  // namespace veltrix
