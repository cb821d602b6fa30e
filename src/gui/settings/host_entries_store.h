#pragma once
// The hosts the window watches, in the settings file. The first is the host the
// settings of one host always held: [SettingsGUI] ServerHostname, DPPW or the
// keyring's entry, Autoconnect, and its name under ServerName (missing: its address,
// "." as "This computer"). Further hosts are the array [Hosts]: N\Name, N\Address,
// N\Autoconnect, and N\Password where no keyring keeps the password.

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/settings/client_settings.h"
#include "watch/host_entry.h"

namespace veltrix {

inline constexpr char kHostsArray[] = "Hosts";
inline constexpr char kHostNameKey[] = "ServerName";

// The keyring key of a further host's password: it follows the host's address, so
// that renaming and reordering keep it (the first host keeps password::kKeyringKey).
QString HostKeyringKey(const std::string& address);

// The name a host has when none was given: "This computer" for ".", else its address.
QString DefaultHostName(const std::string& address);

// `first` (the window's settings) with its name as the first host, then the further
// hosts the file holds, with the passwords it keeps (empty where the keyring keeps
// them). A further host without an address is left out.
std::vector<HostEntry> ReadHosts(const ClientSettings& first);

// Writes `hosts` (at least one): the first into `first` and its keys, the others as
// the array. `keyringHolds(i)`: the keyring keeps host i's password, which the file
// then does not.
void WriteHosts(const std::vector<HostEntry>& hosts, ClientSettings& first,
                const std::function<bool(std::size_t)>& keyringHolds);

// The password the file keeps for the further host at `address`, and its removal once
// the keyring keeps it.
std::optional<std::string> FileHostPassword(const std::string& address);
void RemoveFileHostPassword(const std::string& address);

}  // namespace veltrix
