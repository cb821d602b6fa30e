#pragma once
// Reads the service password from the desktop's keyring for a program without a window
// (veltrix-status): the Secret Service on the session bus, asked directly, within one
// bound for the whole lookup. It never prompts: an entry in a locked collection is
// reported as locked, never unlocked, and a keyring that is not running is not started.

#include <chrono>
#include <string>

namespace veltrix::password {

struct KeyringAnswer {
    enum class Kind {
        Found,
        NoSessionBus,  // none in the environment: not asked
        NoKeyring,     // the session bus has no Secret Service
        NoEntry,
        Locked,
        NoAnswer,  // not within the bound
        Failed,
    };
    Kind kind = Kind::Failed;
    std::string password;  // with Found
    std::string detail;    // the bus's error text, with Failed and NoSessionBus
};

// The keyring entry kKeyringService / kKeyringKey.
KeyringAnswer LookUpKeyringPassword(std::chrono::milliseconds bound);

// What the lookup found, for a message ("locked", "no session bus", ...).
std::string Describe(const KeyringAnswer& answer, std::chrono::milliseconds bound);

}  // namespace veltrix::password
