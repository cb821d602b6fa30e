// The change of the service password.
#include <syslog.h>

#include <QLineEdit>
#include <optional>
#include <utility>

#include "gui/mainwindow/main_window.h"
#include "gui/platform/first_paint_gate.h"
#include "gui/platform/gui_log.h"
#include "gui/platform/menu.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/password_keyring.h"
#include "gui/settings/service_password_dialog.h"
#include "gui/settings/settings_store.h"
#include "gui/shell/event_journal.h"
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
    KeepPassword(password);
    session_->Converse(
        [this, password](ServiceLink&, StatusRequests& requests) {
            // A failure shows its own messages; the field keeps its old text then.
            if (requests.SendServicePassword(password)) {
                QMetaObject::invokeMethod(
                    this,
                    [this, password] {
                        KeepPassword(password);
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

void MainWindow::KeepPassword(const std::string& password) {
    if (keyring_ && password != settings_.password) {
        keyring_->Store(password);
    }
    settings_.password = password;
}

void MainWindow::UseKeyring(const QString& service) {
    keyring_ = std::make_unique<PasswordKeyring>(service);
    connect(keyring_.get(), &PasswordKeyring::PasswordRead, this, [this](const std::string& p) {
        settings_.password = p;
        view_.password->setText(QString::fromStdString(p));
    });
    connect(keyring_.get(), &PasswordKeyring::Moved, this, [this] {
        RemoveStoredPassword();
        settings_.keyringChoice = password::KeyringChoice::Keyring;
        StoreKeyringChoice(settings_.keyringChoice);
    });
    connect(keyring_.get(), &PasswordKeyring::Unavailable, this,
            [this](const QString& why, bool refused) { OnKeyringUnavailable(why, refused); });
    connect(keyring_.get(), &PasswordKeyring::Settled, this, [this] {
        menu_->CheckItem(menu_id::kKeepPasswordInKeyring, keyring_->HoldsPassword());
    });
    // Once the window has painted: asking for the session bus and the keyring must not
    // hold up the window's first picture.
    platform::FirstPaintGate::Defer(*this, *keyring_, [this] {
        keyring_->Start(SettingsHoldPassword() ? std::optional(settings_.password) : std::nullopt,
                        settings_.keyringChoice);
    });
}

void MainWindow::OnKeyringUnavailable(const QString& why, bool refused) {
    // The settings file keeps the password, as without a keyring.
    const QString text =
        //% "The service password stays in the settings file: %1"
        qtTrId("main.the-service-password-stays-in-the-se").arg(why);
    if (refused) {
        // The keyring refused to take it: no later start asks it again by itself.
        settings_.keyringChoice = password::KeyringChoice::File;
        StoreKeyringChoice(settings_.keyringChoice);
    }
    if (std::exchange(keyringMoveAsked_, false)) {
        ui_.ShowMessage(text.toStdString());
        return;
    }
    qCWarning(platform::GuiLog, "%s", qPrintable(text));
    if (journal_ != nullptr) {
        journal_->Send({.message = text.toStdString(), .priority = LOG_NOTICE});
    }
}

void MainWindow::OnToggleKeyring() {
    if (!keyring_) {
        return;
    }
    if (keyring_->HoldsPassword()) {
        // Back to the file: written there at once, then the keyring's entry removed.
        keyring_->LeaveKeyring();
        settings_.keyringChoice = password::KeyringChoice::File;
        settings_.passwordInKeyring = false;
        if (settingsWriter_) {
            settingsWriter_(settings_);
        }
        menu_->CheckItem(menu_id::kKeepPasswordInKeyring, false);
        return;
    }
    keyringMoveAsked_ = true;
    keyring_->MoveToKeyring(settings_.password);
}

}  // namespace veltrix
