#include "password/session_bus_address.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace veltrix::password {

std::string SessionBusAddress(const char* givenAddress, const char* runtimeDir, unsigned uid) {
    if (givenAddress != nullptr && *givenAddress != '\0') {
        return givenAddress;
    }
    const std::string folder = runtimeDir != nullptr && *runtimeDir == '/'
                                   ? std::string(runtimeDir)
                                   : "/run/user/" + std::to_string(uid);
    return "unix:path=" + folder + "/bus";
}

namespace {

std::string EnvironmentSessionBusAddress() {
    return SessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                             std::getenv("XDG_RUNTIME_DIR"), ::getuid());
}

}  // namespace

std::optional<std::string> ExistingSessionBusAddress() {
    const char* given = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string address = EnvironmentSessionBusAddress();
    if (given != nullptr && *given != '\0') {
        return address;
    }
    const std::string path = address.substr(std::string_view("unix:path=").size());
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
        return std::nullopt;
    }
    return address;
}

void PinSessionBusAddress() {
    const std::string address = EnvironmentSessionBusAddress();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
}

}  // namespace veltrix::password
