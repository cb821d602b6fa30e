// The popup settings of the client.
#include "ui/mainwindow/main_window.h"
#include "ui/mainwindow/popup_settings_dialog.h"

namespace veltrix {

void CKavoGUIDlg::OnPopupSettings() {
    // Client settings only: no connection needed. They are stored on the Exit path.
    GUI_Einstellungen dialog(settings_.popupEnabled, settings_.popupLevel, this);
    if (ui_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    settings_.popupLevel = dialog.Level();
    settings_.popupEnabled = dialog.Enabled();
}

}  // namespace veltrix
