#pragma once
// Where the window keeps the service password: the settings file, or the desktop's
// keyring once it is used (see PasswordKeyring). The menu's "Keep the password in the
// keyring" moves it there or back; a keyring that cannot take it leaves it in the file.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace veltrix {

struct ClientSettings;
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
    bool moveAsked_ = false;  // the user asked for the move: a refusal is a box
};

}  // namespace veltrix
