#pragma once
// The menu's BIOS update: the checks of the controller, its driver and the service,
// then the update dialog over the host. A run cannot be cut short: the Exit path asks
// whether one is in progress and goes ahead once it has ended.

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace veltrix {

class BiosUpdateDialog;
class HostMonitor;

namespace platform {
class DialogUi;
}

// What the window knows of the host the update is for.
struct BiosUpdateHost {
    bool connected = false;
    std::uint32_t controllerCount = 0;
    std::uint8_t controller = 0;  // the controller shown
    std::int32_t serviceVersion = 0;
    std::string hostName;
};

class BiosUpdateCommand {
  public:
    BiosUpdateCommand(platform::DialogUi& ui, QWidget* window) : ui_(ui), window_(window) {}

    // Checks and opens the dialog modally over the window.
    void Run(HostMonitor& monitor, const BiosUpdateHost& host);
    // A run is in progress: nothing may end the session now.
    bool IsRunning() const;
    // During a run: `then` runs on the window's thread once the run has ended and its
    // dialog closed, and true is returned. Otherwise false, and `then` is dropped.
    bool DeferUntilRunEnds(std::function<void()> then);

  private:
    platform::DialogUi& ui_;
    QWidget* window_;
    // The dialog while it is open, and what waits for its run.
    BiosUpdateDialog* dialog_ = nullptr;
    std::function<void()> afterRun_;
};

}  // namespace veltrix
