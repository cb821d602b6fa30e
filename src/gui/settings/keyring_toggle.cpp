#include "gui/settings/keyring_toggle.h"

#include <optional>
#include <utility>

#include "gui/platform/dialog_ui.h"
#include "gui/platform/first_paint_gate.h"
#include "gui/platform/gui_log.h"
#include "gui/platform/menu.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/client_settings.h"
#include "gui/settings/host_entries_store.h"
#include "gui/settings/host_keyrings.h"
#include "gui/settings/password_keyring.h"
#include "gui/settings/settings_store.h"

namespace veltrix {

KeyringToggle::KeyringToggle(ClientSettings& settings, platform::DialogUi& ui,
                             std::function<void(const ClientSettings&)>& writer, QObject* parent)
    : QObject(parent), settings_(settings), ui_(ui), writer_(writer) {}

KeyringToggle::~KeyringToggle() = default;

void KeyringToggle::Start(const QString& service, QWidget& window, platform::Menu& menu) {
    menu_ = &menu;
    keyring_ = std::make_unique<PasswordKeyring>(service);
    hostKeyrings_ = std::make_unique<HostKeyrings>(service);
    connect(keyring_.get(), &PasswordKeyring::PasswordRead, this, [this](const std::string& p) {
        settings_.password = p;
        emit PasswordRead(QString::fromStdString(p));
    });
    connect(keyring_.get(), &PasswordKeyring::Moved, this, [this] {
        RemoveStoredPassword();
        settings_.keyringChoice = password::KeyringChoice::Keyring;
        StoreKeyringChoice(settings_.keyringChoice);
    });
    connect(keyring_.get(), &PasswordKeyring::Unavailable, this, &KeyringToggle::OnUnavailable);
    connect(keyring_.get(), &PasswordKeyring::Settled, this, [this] {
        menu_->CheckItem(menu_id::kKeepPasswordInKeyring, keyring_->HoldsPassword());
    });
    // Once the window has painted: asking for the session bus and the keyring must not
    // hold up the window's first picture.
    platform::FirstPaintGate::Defer(window, *keyring_, [this] {
        keyring_->Start(SettingsHoldPassword() ? std::optional(settings_.password) : std::nullopt,
                        settings_.keyringChoice);
        hostKeyrings_->Keep(ReadHosts(settings_), settings_.keyringChoice);
    });
}

void KeyringToggle::Keep(const std::string& password) {
    if (keyring_ && password != settings_.password) {
        keyring_->Store(password);
    }
    settings_.password = password;
}

bool KeyringToggle::HoldsPassword() const {
    return keyring_ && keyring_->HoldsPassword();
}

std::vector<HostEntry> KeyringToggle::KeptHosts() const {
    std::vector<HostEntry> hosts = ReadHosts(settings_);
    if (hostKeyrings_) {
        hostKeyrings_->FillPasswords(hosts);
    }
    return hosts;
}

void KeyringToggle::KeepHosts(const std::vector<HostEntry>& hosts) {
    if (hosts.empty()) {
        return;
    }
    // The keyring's writes start first: while they are under way the file keeps each
    // password, and a confirmed write removes it from there.
    Keep(hosts[0].password);
    if (hostKeyrings_) {
        hostKeyrings_->Keep(hosts, settings_.keyringChoice);
    }
    WriteHosts(hosts, settings_, [this, &hosts](std::size_t i) {
        return i == 0 ? HoldsPassword() : hostKeyrings_ && hostKeyrings_->Holds(hosts[i].address);
    });
}

void KeyringToggle::OnUnavailable(const QString& why, bool refused) {
    // The settings file keeps the password, as without a keyring.
    const QString text =
        //% "The service password stays in the settings file: %1"
        qtTrId("main.the-service-password-stays-in-the-se").arg(why);
    if (refused) {
        // The keyring refused to take it: no later start asks it again by itself.
        settings_.keyringChoice = password::KeyringChoice::File;
        StoreKeyringChoice(settings_.keyringChoice);
    }
    if (std::exchange(moveAsked_, false)) {
        ui_.ShowMessage(text.toStdString());
        return;
    }
    qCWarning(platform::GuiLog, "%s", qPrintable(text));
    emit Noted(text);
}

void KeyringToggle::Toggle() {
    if (!keyring_) {
        return;
    }
    if (keyring_->HoldsPassword()) {
        // Back to the file: written there at once, then the keyring's entry removed.
        keyring_->LeaveKeyring();
        settings_.keyringChoice = password::KeyringChoice::File;
        settings_.passwordInKeyring = false;
        if (writer_) {
            writer_(settings_);
        }
        menu_->CheckItem(menu_id::kKeepPasswordInKeyring, false);
        return;
    }
    moveAsked_ = true;
    keyring_->MoveToKeyring(settings_.password);
}

}  // namespace veltrix
