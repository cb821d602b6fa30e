#pragma once
// Without a session bus, the D-Bus library would start one of its own (dbus-launch and
// a dbus-daemon) for the first connection, and leave both running after the program.
// The program uses the session bus only where the desktop has one.

#include <string>

namespace veltrix::app {

// The address the program connects to: DBUS_SESSION_BUS_ADDRESS as given; without it
// the user's bus socket, "unix:path=$XDG_RUNTIME_DIR/bus" (else /run/user/UID/bus),
// whether it is there or not, so that no connection ever starts a bus.
std::string SessionBusAddress(const char* givenAddress, const char* runtimeDir, unsigned uid);

// Sets DBUS_SESSION_BUS_ADDRESS to SessionBusAddress() of the environment; before
// anything in the program connects to a bus (before the application object).
void PinSessionBusAddress();

}  // namespace veltrix::app
