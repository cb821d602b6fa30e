#pragma once
// One watched host as the user configured it: what the host list, its popups and the
// tray tooltip call it, where its service is, its password and whether it is connected
// by itself.

#include <QString>
#include <string>

namespace veltrix {

struct HostEntry {
    // Shown in the host list, the tooltip and every popup of the host.
    QString name;
    // "." (this machine), a host name or address, or "host:port".
    std::string address = ".";
    std::string password;
    bool autoConnect = true;

    bool operator==(const HostEntry&) const = default;
};

}  // namespace veltrix
