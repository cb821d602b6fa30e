#pragma once
// The client's own settings as the main window holds them, with the values a first
// run starts from.

#include <string>

#include "password/password_location.h"

namespace veltrix {

struct ClientSettings {
    std::string password = "qernu";
    std::string hostName = ".";  // "." is this machine
    int popupLevel = 2;          // 0 all events, 1 errors and warnings, 2 errors only
    bool popupEnabled = true;
    bool autoConnect = true;
    bool startMinimized = false;
    // The password lives in the keyring: the settings file keeps none (not stored).
    bool passwordInKeyring = false;
    // Whether the keyring is asked at all (see password/password_location.h).
    password::KeyringChoice keyringChoice = password::KeyringChoice::Undecided;

    bool operator==(const ClientSettings&) const = default;
};

}  // namespace veltrix
