#pragma once
// The window's side of the notification-area icon: a click on the icon shows or hides
// the window, minimising hides it there, and the host's connection changes, balloons
// and tooltips reach the icon and a screen reader. With several hosts the icon shows
// the worst of them and its tooltip one line for each; every balloon names its host.

#include <QString>
#include <QStringList>
#include <QSystemTrayIcon>
#include <optional>
#include <string>
#include <vector>

#include "gui/shell/tray_icon.h"
#include "session/session_types.h"
#include "session/time_source.h"

class QWidget;

namespace veltrix::shell {

// One watched host as the tooltip of several lists it.
struct HostTipLine {
    QString name;
    QString stateLine;  // the host's state in words
    int rank = 0;       // the host's state in its order from best to worst: larger is worse
};

// The tooltip's lines "name: state line", worst first; hosts of equal rank keep their
// order.
QStringList HostTipLines(std::vector<HostTipLine> hosts);

class TrayPresenter {
  public:
    // The icon of `host` shows and hides `window`.
    TrayPresenter(TrayHost& host, QWidget& window);
    ~TrayPresenter();
    TrayPresenter(const TrayPresenter&) = delete;
    TrayPresenter& operator=(const TrayPresenter&) = delete;

    TrayIcon& Icon() { return tray_; }

    // A single click shows or hides the window.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    // Hides the window to the notification area, or minimises it where there is none.
    void MinimizeToTray();
    // Minimises to the notification area after `delayMs` on `time` (a start minimised).
    void MinimizeAfter(int delayMs, TimeSource& time);
    bool IsHideTimerSet() const { return hideTimer_ != 0; }

    // Sets the tooltip and shows the balloon of a connection change, and says it. With
    // several hosts (`hostName` not empty) the balloon's title and the words said name
    // the host, and the icon and tooltip stay those of ShowHosts.
    void AnnounceConnection(int tipId, int balloonTextId, bool connected,
                            const QString& hostName = {});
    // The monitor's requests: a balloon, and a tooltip (a repeated one is dropped). A
    // balloon of one of several hosts has its name before its title.
    void ShowBalloon(const std::string& title, const std::string& text, Severity severity,
                     bool connected, const QString& hostName = {});
    void ShowTip(const std::string& tip, bool connected);
    // With two or more hosts: the icon of the worst of them and a tooltip of the
    // program's name over `tooltipLines` (HostTipLines), as many whole lines as the
    // notification area takes. A repeat of what is shown is dropped.
    void ShowHosts(HostsLevel worstLevel, const QStringList& tooltipLines);

  private:
    void ToggleWindow();
    // Shows the icon with what the tray holds: the hosts' icon once ShowHosts has been
    // called for a balloon of one of them, else the connection's.
    void Update(bool connected, bool showBalloon, const QString& hostName);

    // The last level ShowHosts showed.
    std::optional<HostsLevel> hostsLevel_;

    TrayIcon tray_;
    QWidget& window_;
    TimeSource* time_ = nullptr;
    TimeSource::TimerHandle hideTimer_ = 0;
};

}  // namespace veltrix::shell
