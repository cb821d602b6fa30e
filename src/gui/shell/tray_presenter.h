#pragma once
// The window's side of the notification-area icon: a click on the icon shows or hides
// the window, minimising hides it there, and the host's connection changes, balloons
// and tooltips reach the icon and a screen reader.

#include <QSystemTrayIcon>
#include <string>

#include "gui/shell/tray_icon.h"
#include "session/session_types.h"
#include "session/time_source.h"

class QWidget;

namespace veltrix::shell {

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

    // Sets the tooltip and shows the balloon of a connection change, and says it.
    void AnnounceConnection(int tipId, int balloonTextId, bool connected);
    // The monitor's requests: a balloon, and a tooltip (a repeated one is dropped).
    void ShowBalloon(const std::string& title, const std::string& text, Severity severity,
                     bool connected);
    void ShowTip(const std::string& tip, bool connected);

  private:
    void ToggleWindow();

    TrayIcon tray_;
    QWidget& window_;
    TimeSource* time_ = nullptr;
    TimeSource::TimerHandle hideTimer_ = 0;
};

}  // namespace veltrix::shell
