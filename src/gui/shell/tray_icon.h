#pragma once
// The program's notification-area icon: its tooltip and balloon texts, and the three
// operations that add, update and remove it through a TrayHost.
//
// The identifier of the icon is its resource number (140 connected, 179 not
// connected; with several hosts 190, 191, 192 by the worst of them), so a change of the
// icon replaces the entry (remove, then add) while anything else modifies it in place.

#include <cstdint>
#include <string>

#include "gui/shell/tray_host.h"

namespace veltrix::shell {

// What the icon shows of several hosts: the worst among them.
enum class HostsLevel : std::uint8_t {
    Well,         // every host connected and every set well
    SetProblem,   // a set reduced, broken or rebuilding on some host
    Unreachable,  // some host not connected
};

// The program's icon of `level`: the notification area's, and the host list's rows'.
int HostsIconId(HostsLevel level);

class TrayIcon {
  public:
    explicit TrayIcon(TrayHost& host) : host_(host) {}

    // Filled by the callers before they call AddTrayIcon / UpdateTrayIcon; cut to
    // what the notification area takes when handed over.
    std::string trayTip;
    std::string balloonTitle;
    std::string balloonText;
    Severity balloonSeverity = Severity::Information;

    TrayHost& Host() const { return host_; }

    // Adds the icon for the connection state with the tooltip.
    void AddTrayIcon(bool isConnected);
    // Shows the connection state and the tooltip, and the balloon when asked.
    void UpdateTrayIcon(bool isConnected, bool showBalloon);
    // The same for several hosts: the icon of the worst of them.
    void UpdateHostsIcon(HostsLevel worst, bool showBalloon);
    // Removes the icon now in the notification area; harmless when there is none.
    void DeleteTrayIcon();

  private:
    void Update(int identifier, bool showBalloon);

    TrayHost& host_;
    int trayIconId_ = 179;
};

}  // namespace veltrix::shell
