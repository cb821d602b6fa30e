#pragma once
// The client's settings on disk: one file per user, written through QSettings in
// its native format ($XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf on Linux), group
// "SettingsGUI". Without a keyring the file holds the service password in plain text
// (see PasswordKeyring), so it and its folder are kept private to their owner.

#include "gui/settings/client_settings.h"
#include "password/password_location.h"

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
// Keeps at once where the password lives from now on (the rest is written on exit).
void StoreKeyringChoice(password::KeyringChoice choice);

}  // namespace veltrix
