#include "gui/shell/tray_presenter.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "gui/platform/accessible_announcer.h"
#include "gui/platform/message_box.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix::shell {

namespace {

// The program's name over the hosts' lines, whole lines only: the worst come first, so
// what the notification area has no room for are the best, and "…" says they are there.
std::string HostsTip(const QStringList& lines) {
    const std::string more = "\n\u2026";
    std::string tip = QGuiApplication::applicationDisplayName().toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::string line = "\n" + lines[i].toStdString();
        if (tip.size() + line.size() <= kMaxTipLength || i == 0) {
            tip += line;  // the first, too long alone, is cut by the icon
            continue;
        }
        if (tip.size() + more.size() <= kMaxTipLength) {
            tip += more;
        }
        break;
    }
    return tip;
}

}  // namespace

QStringList HostTipLines(std::vector<HostTipLine> hosts) {
    std::stable_sort(hosts.begin(), hosts.end(),
                     [](const HostTipLine& a, const HostTipLine& b) { return a.rank > b.rank; });
    QStringList lines;
    for (const HostTipLine& host : hosts) {
        lines.push_back(host.name + QStringLiteral(": ") + host.stateLine);
    }
    return lines;
}

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

void TrayPresenter::AnnounceConnection(int tipId, int balloonTextId, bool connected,
                                       const QString& hostName) {
    if (hostName.isEmpty()) {
        tray_.trayTip = LoadString(tipId);
    }
    tray_.balloonTitle =
        platform::WithHostName(hostName,
                               QString::fromStdString(LoadString(ids::kBalloonHostConnection)))
            .toStdString();
    tray_.balloonText = LoadString(balloonTextId);
    tray_.balloonSeverity = Severity::Information;
    Update(connected, true, hostName);
    platform::Announce(&window_,
                       platform::WithHostName(hostName, QString::fromStdString(tray_.balloonText)));
}

void TrayPresenter::ShowBalloon(const std::string& title, const std::string& text,
                                Severity severity, bool connected, const QString& hostName) {
    tray_.balloonTitle =
        platform::WithHostName(hostName, QString::fromStdString(title)).toStdString();
    tray_.balloonText = text;
    tray_.balloonSeverity = severity;
    Update(connected, true, hostName);
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

void TrayPresenter::ShowHosts(HostsLevel worstLevel, const QStringList& tooltipLines) {
    std::string tip = HostsTip(tooltipLines);
    // The poll cycles of every host repeat it, as they repeat a single host's tooltip.
    if (tip == tray_.trayTip && hostsLevel_ == worstLevel) {
        return;
    }
    tray_.trayTip = std::move(tip);
    hostsLevel_ = worstLevel;
    tray_.UpdateHostsIcon(worstLevel, false);
    platform::Announce(&window_, tooltipLines.join(QLatin1Char('\n')));
}

void TrayPresenter::Update(bool connected, bool showBalloon, const QString& hostName) {
    if (!hostName.isEmpty() && hostsLevel_) {
        tray_.UpdateHostsIcon(*hostsLevel_, showBalloon);
    } else {
        tray_.UpdateTrayIcon(connected, showBalloon);
    }
}

}  // namespace veltrix::shell
