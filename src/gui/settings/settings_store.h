#pragma once
// The client's settings on disk: one file per user, written through QSettings in
// its native format ($XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf on Linux), group
// "SettingsGUI". Without a keyring the file holds the service password in plain text
// (see PasswordKeyring), so it and its folder are kept private to their owner.

#include <functional>

#include "gui/settings/client_settings.h"
#include "password/password_location.h"

class QSettings;

namespace veltrix {

inline constexpr const auto& kSettingsOrganization = password::kSettingsOrganization;
inline constexpr const auto& kSettingsApplication = password::kSettingsApplication;

// The stored settings; a value that is missing or of the wrong type reads as its
// default, and a file that cannot be read at all gives the defaults of a first run.
ClientSettings LoadSettings();

// Writes all settings, the password only when it does not live in the keyring. A
// failed write is not reported: the program runs on with the settings it holds.
void SaveSettings(const ClientSettings& settings);

// Whether the settings file holds a password (DPPW); removes it from the file (the
// keyring has confirmed it keeps it).
bool SettingsHoldPassword();
void RemoveStoredPassword();
// Reads from the settings file with `read`, only when it can be taken as settings (a
// file that is missing or cannot be taken is not read: false).
bool ReadSettingsFile(const std::function<void(QSettings&)>& read);
// Changes the settings file with `edit` and writes it at once, kept private to its
// owner and durable as SaveSettings writes it.
void EditSettingsFile(const std::function<void(QSettings&)>& edit);

// Keeps at once where the password lives from now on (the rest is written on exit).
void StoreKeyringChoice(password::KeyringChoice choice);

}  // namespace veltrix
