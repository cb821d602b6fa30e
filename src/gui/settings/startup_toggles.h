#pragma once
// The Configuration menu's three toggles: Autoconnect of the host shown, starting
// minimised, and starting at login (the program's XDG autostart entry).

#include <QObject>
#include <functional>
#include <string>

#include "gui/settings/client_settings.h"

namespace veltrix {

class HostMonitor;

namespace platform {
class Menu;
}

class StartupToggles : public QObject {
    Q_OBJECT

  public:
    // `monitor` gives the host shown when a toggle is chosen; `reportError` takes a
    // failure to change the login start. `settings` and `menu` must outlive this.
    StartupToggles(ClientSettings& settings, platform::Menu& menu,
                   std::function<HostMonitor&()> monitor,
                   std::function<void(const std::string&)> reportError, QObject* parent);

    // Checks the items the settings and the autostart entry turn on.
    void ShowChecks();
    void ToggleAutoconnect();
    void ToggleStartMinimized();
    void ToggleStartAtLogin();

  private:
    ClientSettings& settings_;
    platform::Menu& menu_;
    std::function<HostMonitor&()> monitor_;
    std::function<void(const std::string&)> reportError_;
};

}  // namespace veltrix
