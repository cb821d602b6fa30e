#pragma once
// The menu's change of the service password: the dialog, then the new password sent
// to the service through a conversation job.

#include <string>

class QLineEdit;
class QWidget;

namespace veltrix {

class HostMonitor;
class KeyringToggle;
struct ClientSettings;

namespace platform {
class DialogUi;
}

// What the command works with: the host it acts on, whether it is connected, the
// window's settings and password keeping, and the password field that shows the
// password the window logs in with.
struct ServicePasswordTarget {
    HostMonitor& monitor;
    bool connected = false;
    const ClientSettings& settings;
    KeyringToggle& keeper;
    QLineEdit* field = nullptr;
};

// Asks for the new password in a modal dialog over `window` and sends it.
void StartServicePasswordCommand(const ServicePasswordTarget& target, platform::DialogUi& ui,
                                 QWidget* window);

}  // namespace veltrix
