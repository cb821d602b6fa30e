#include "gui/settings/popup_settings_command.h"

#include "gui/platform/dialog_ui.h"
#include "gui/settings/client_settings.h"
#include "gui/settings/popup_settings_dialog.h"

namespace veltrix {

void RunPopupSettingsCommand(platform::DialogUi& ui, ClientSettings& settings, QWidget* window) {
    PopupSettingsDialog dialog(settings.popupEnabled, settings.popupLevel, window);
    if (ui.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    settings.popupLevel = dialog.Level();
    settings.popupEnabled = dialog.Enabled();
}

}  // namespace veltrix
