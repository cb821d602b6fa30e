#pragma once
// The menu's change of the service password: the dialog, then the new password sent
// to the service through a conversation job.

#include <functional>
#include <string>

class QWidget;

namespace veltrix {

class HostMonitor;

namespace platform {
class DialogUi;
}

// What the command works with: the host it acts on, whether it is connected, the
// password the window logs in to it with, and where a new one is kept. `keep` is called
// before the password is sent (the window logs in with it from now on) and again once
// the service took it (`sent`).
struct ServicePasswordTarget {
    HostMonitor& monitor;
    bool connected = false;
    std::string currentPassword;
    std::function<void(const std::string& password, bool sent)> keep;
};

// Asks for the new password in a modal dialog over `window` and sends it.
void StartServicePasswordCommand(const ServicePasswordTarget& target, platform::DialogUi& ui,
                                 QWidget* window);

}  // namespace veltrix
