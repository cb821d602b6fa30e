// The change of the service password.
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"

namespace veltrix {

void CKavoGUIDlg::OnServicePassword() {
    if (!state_.isConnected) {
        ui_.ShowMessage(LoadString(ids::kHostNotConnected));
    }
}

}  // namespace veltrix
