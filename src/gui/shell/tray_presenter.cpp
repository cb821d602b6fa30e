#include "gui/shell/tray_presenter.h"

#include <QWidget>

#include "gui/platform/accessible_announcer.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix::shell {

TrayPresenter::TrayPresenter(TrayHost& host, QWidget& window) : tray_(host), window_(window) {
    host.onActivated = [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); };
}

TrayPresenter::~TrayPresenter() {
    tray_.Host().onActivated = nullptr;
    if (hideTimer_ != 0) {
        time_->StopTimer(hideTimer_);
    }
}

void TrayPresenter::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) {
        ToggleWindow();
    }
}

void TrayPresenter::ToggleWindow() {
    if (window_.isVisible() && !window_.isMinimized()) {
        window_.hide();
        return;
    }
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
}

void TrayPresenter::MinimizeToTray() {
    if (tray_.Host().IsAvailable()) {
        window_.hide();
    } else {
        // Without a notification area a hidden window could not be brought back.
        window_.showMinimized();
    }
}

void TrayPresenter::MinimizeAfter(int delayMs, TimeSource& time) {
    time_ = &time;
    hideTimer_ = time.StartTimer(delayMs, [this] {
        time_->StopTimer(hideTimer_);
        hideTimer_ = 0;
        MinimizeToTray();
    });
}

void TrayPresenter::AnnounceConnection(int tipId, int balloonTextId, bool connected) {
    tray_.trayTip = LoadString(tipId);
    tray_.balloonTitle = LoadString(ids::kBalloonHostConnection);
    tray_.balloonText = LoadString(balloonTextId);
    tray_.balloonSeverity = Severity::Information;
    tray_.UpdateTrayIcon(connected, true);
    platform::Announce(&window_, QString::fromStdString(tray_.balloonText));
}

void TrayPresenter::ShowBalloon(const std::string& title, const std::string& text,
                                Severity severity, bool connected) {
    tray_.balloonTitle = title;
    tray_.balloonText = text;
    tray_.balloonSeverity = severity;
    tray_.UpdateTrayIcon(connected, true);
}

void TrayPresenter::ShowTip(const std::string& tip, bool connected) {
    // Quiet cycles repeat the tooltip: neither the notification area nor a screen
    // reader need hear it again every 5 s. After a connect it differs, as the tray
    // shows the connect's own.
    if (tip == tray_.trayTip) {
        return;
    }
    tray_.trayTip = tip;
    tray_.UpdateTrayIcon(connected, false);
    platform::Announce(&window_, QString::fromStdString(tip));
}

}  // namespace veltrix::shell
