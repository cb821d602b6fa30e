#pragma once
// Where the service password lives, for the window and veltrix-status alike: the
// desktop's keyring, or the user's settings file when no keyring keeps it.
//
// The window moves a password the file holds into the keyring and then removes it from
// the file; where the keyring cannot take it (none running, no collection to write to,
// its prompt dismissed) the file keeps it, and the file says so (kKeyringChoiceKey = 0),
// so that neither program asks the keyring again until the user moves it there from
// the window's menu. A reader therefore asks the keyring first and the file after it,
// unless the file says the password stays in the file.

#include <QString>
#include <optional>
#include <string>

class QSettings;

namespace veltrix::password {

// The settings file: QSettings in its native format, user scope, no fallbacks
// ($XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf on Linux).
inline constexpr char kSettingsOrganization[] = "KavotronikVeltrix";
inline constexpr char kSettingsApplication[] = "Veltrix";
inline constexpr char kSettingsGroup[] = "SettingsGUI";
inline constexpr char kPasswordKey[] = "DPPW";
// 1: the keyring keeps the password; 0: the file keeps it, the keyring is not asked;
// missing (files of older versions): the window tries to move it once.
inline constexpr char kKeyringChoiceKey[] = "PasswordInKeyring";

// The keyring entry (a Secret Service item with the attributes server = kKeyringService,
// user = kKeyringKey, as the keychain library writes it).
inline constexpr char kKeyringService[] = "Veltrix";
inline constexpr char kKeyringKey[] = "service-password";

enum class KeyringChoice { Undecided, Keyring, File };

// "SettingsGUI/DPPW" and "SettingsGUI/PasswordInKeyring".
QString PasswordSettingsKey();
QString KeyringChoiceSettingsKey();

// The file's password, when it holds one; an unquoted comma in a hand-edited file
// makes the value a list, which is joined again.
std::optional<std::string> FilePassword(const QSettings& file);
KeyringChoice FileKeyringChoice(const QSettings& file);

// The command that reads the keyring's entry in a terminal (unlocking it if needed).
std::string KeyringLookupCommand();

}  // namespace veltrix::password
