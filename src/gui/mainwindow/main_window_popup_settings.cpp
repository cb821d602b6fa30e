// The popup settings of the client.
#include "gui/mainwindow/main_window.h"
#include "gui/settings/popup_settings_dialog.h"

namespace veltrix {

void MainWindow::OnPopupSettings() {
    // Client settings only: no connection needed. They are stored on the Exit path.
    PopupSettingsDialog dialog(settings_.popupEnabled, settings_.popupLevel, this);
    if (ui_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    settings_.popupLevel = dialog.Level();
    settings_.popupEnabled = dialog.Enabled();
}

}  // namespace veltrix
