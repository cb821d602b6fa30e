// The menu's e-mail settings: the command of the mail feature, once connected.
#include "gui/mail/mail_settings_command.h"
#include "gui/mainwindow/main_window.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

void MainWindow::OnMailSettings() {
    if (!state_.isConnected) {
        ui_.ShowMessage(LoadString(ids::kHostNotConnected));
        return;
    }
    StartMailSettingsCommand(*session_, ui_, static_cast<std::uint32_t>(state_.serviceVersion),
                             this);
}

}  // namespace veltrix
