#pragma once
// Where the window keeps the service password: the settings file, or the desktop's
// keyring once it is used (see PasswordKeyring). The menu's "Keep the password in the
// keyring" moves it there or back; a keyring that cannot take it leaves it in the file.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "watch/host_entry.h"

class QWidget;

namespace veltrix {

struct ClientSettings;
class HostKeyrings;
class PasswordKeyring;

namespace platform {
class DialogUi;
class Menu;
}  // namespace platform

class KeyringToggle : public QObject {
    Q_OBJECT

  public:
    // `settings` are the window's, kept up to date here; `writer` writes them at once.
    KeyringToggle(ClientSettings& settings, platform::DialogUi& ui,
                  std::function<void(const ClientSettings&)>& writer, QObject* parent = nullptr);
    ~KeyringToggle() override;

    // Uses the keyring from now on, once `window` has painted: moves the settings
    // file's password there, or reads it from there. `menu`'s item shows the state.
    void Start(const QString& service, QWidget& window, platform::Menu& menu);
    // The password changed (the field at connect, the password dialog).
    void Keep(const std::string& password);
    // The menu item: to the keyring, or back to the file.
    void Toggle();
    bool HoldsPassword() const;

    // The hosts as the settings file and the keyring keep them: the first is the
    // window's settings, the further ones with the passwords the keyring gave.
    std::vector<HostEntry> KeptHosts() const;
    // Keeps `hosts` (at least one): the first in the window's settings, each password
    // in the keyring where it takes it and else in the file, written at once.
    void KeepHosts(const std::vector<HostEntry>& hosts);

  signals:
    // The keyring gave the password: the field shows it.
    void PasswordRead(const QString& password);
    // The keyring could not take the password, unasked: for the system journal.
    void Noted(const QString& text);

  private:
    void OnUnavailable(const QString& why, bool refused);

    ClientSettings& settings_;
    platform::DialogUi& ui_;
    std::function<void(const ClientSettings&)>& writer_;
    platform::Menu* menu_ = nullptr;
    std::unique_ptr<PasswordKeyring> keyring_;
    std::unique_ptr<HostKeyrings> hostKeyrings_;  // the further hosts' passwords
    bool moveAsked_ = false;                      // the user asked for the move: a refusal is a box
};

}  // namespace veltrix
