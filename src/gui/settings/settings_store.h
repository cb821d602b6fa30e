#pragma once
// The client's settings on disk: one file per user, written through QSettings in
// its native format ($XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf on Linux), group
// "SettingsGUI". Without a keyring the file holds the service password in plain text
// (see PasswordKeyring), so it and its folder are kept private to their owner.

#include "gui/settings/client_settings.h"

namespace veltrix {

inline constexpr char kSettingsOrganization[] = "KavotronikVeltrix";
inline constexpr char kSettingsApplication[] = "Veltrix";

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

}  // namespace veltrix
