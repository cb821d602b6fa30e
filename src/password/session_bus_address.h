#pragma once
// Without a session bus, the D-Bus library would start one of its own (dbus-launch and
// a dbus-daemon) for the first connection, and leave both running after the program.
// The programs use the session bus only where the desktop has one.

#include <optional>
#include <string>

namespace veltrix::password {

// The address the program connects to: DBUS_SESSION_BUS_ADDRESS as given; without it
// the user's bus socket, "unix:path=$XDG_RUNTIME_DIR/bus" (else /run/user/UID/bus),
// whether it is there or not, so that no connection ever starts a bus.
std::string SessionBusAddress(const char* givenAddress, const char* runtimeDir, unsigned uid);

// The same for this process's environment, or nothing where no session bus can be
// there: no address given and no socket at the user's bus path (a systemd unit, SSH
// without a desktop).
std::optional<std::string> ExistingSessionBusAddress();

// Sets DBUS_SESSION_BUS_ADDRESS to SessionBusAddress() of the environment; before
// anything in the program connects to a bus (before the application object).
void PinSessionBusAddress();

}  // namespace veltrix::password
