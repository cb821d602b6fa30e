#include "gui/shell/session_bus_address.h"

#include <unistd.h>

#include <cstdlib>

namespace veltrix::app {

std::string SessionBusAddress(const char* givenAddress, const char* runtimeDir, unsigned uid) {
    if (givenAddress != nullptr && *givenAddress != '\0') {
        return givenAddress;
    }
    const std::string folder = runtimeDir != nullptr && *runtimeDir == '/'
                                   ? std::string(runtimeDir)
                                   : "/run/user/" + std::to_string(uid);
    return "unix:path=" + folder + "/bus";
}

void PinSessionBusAddress() {
    const std::string address = SessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                                  std::getenv("XDG_RUNTIME_DIR"), ::getuid());
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
}

}  // namespace veltrix::app
