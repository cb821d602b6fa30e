// The change of the service password.
#include <QLineEdit>

#include "gui/mainwindow/main_window.h"
#include "gui/settings/service_password_dialog.h"
#include "session/error_sites.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

void MainWindow::OnServicePassword() {
    if (!state_.isConnected) {
        ui_.ShowMessage(LoadString(ids::kHostNotConnected));
        return;
    }
    ServicePasswordDialog dialog(ui_, this);
    dialog.currentPassword = settings_.password;
    if (ui_.RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const std::string password = dialog.NewPassword();
    if (password != dialog.RepeatedPassword()) {
        ui_.ShowMessage(LoadString(ids::kPasswordReentryInvalid));
        return;
    }
    // The window logs in with the new password from now on, also when sending it
    // fails: the next login can then be refused until the old one is typed again.
    settings_.password = password;
    session_->Converse(
        [this, password](ServiceLink&, StatusRequests& requests) {
            // A failure shows its own messages; the field keeps its old text then.
            if (requests.SendServicePassword(password)) {
                QMetaObject::invokeMethod(
                    this,
                    [this, password] {
                        settings_.password = password;
                        view_.password->setText(QString::fromStdString(password));
                    },
                    Qt::QueuedConnection);
            }
        },
        [this] {
            // A BIOS update holds the channel: the write could not take place.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    ui_.ShowMessage(
                        ErrorText(ids::kServiceWriteError, request_site::kPasswordWrite));
                },
                Qt::QueuedConnection);
        });
}

}  // namespace veltrix
