// What the main window shows of the session: connect and disconnect, enumeration,
// rebuild progress, events, lists refilled after changes, sleep and resume.

#include <syslog.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "texts/string_ids.h"
#include "texts/strings.h"

#include "gui/errorlog/error_log_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/accessible_announcer.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/host_entries_store.h"
#include "gui/shell/event_journal.h"
#include "gui/shell/sleep_watcher.h"

namespace veltrix {

void MainWindow::BindMonitor() {
    // Every connection to the shown monitor has `binding_` as its context: deleting it
    // drops them all. The monitor has taken its part of each report first, the body
    // (bound before the window) its part next.
    binding_ = new QObject(this);
    HostMonitor* m = monitor_;
    QObject* b = binding_;
    connect(m, &HostMonitor::Connected, b, [this] { OnSessionConnected(); });
    connect(m, &HostMonitor::Disconnecting, b, [this](bool quiet) {
        if (!quiet) {
            view_.disconnect->setText(QStringLiteral("..busy.."));
        }
    });
    connect(m, &HostMonitor::Disconnected, b, [this](bool quiet) { OnSessionDisconnected(quiet); });
    // Popups and balloons reach the window from every host (WireHost); the one host's
    // tooltip would put its icon back over the icon of several.
    connect(m, &HostMonitor::TrayTipRequested, b, [this](const std::string& tip) {
        if (!SeveralHosts()) {
            tray_.ShowTip(tip, monitor_->IsConnected());
        }
    });
    connect(m, &HostMonitor::ReconnectDue, binding_, [this] {
        HideReconnectCountdown();
        OnConnect();
    });
    connect(m, &HostMonitor::ReconnectScheduled, binding_,
            [this](int delayMs) { OnReconnectScheduled(delayMs); });
    connect(m, &HostMonitor::ReconnectCountdown, binding_,
            [this](int seconds) { ShowReconnectCountdown(seconds); });
    shell::SleepWatcher* sleep = sleep_;
    connect(m, &HostMonitor::Connected, binding_, [sleep] { sleep->SetLoggedIn(true); });
    connect(m, &HostMonitor::Disconnected, binding_, [sleep] { sleep->SetLoggedIn(false); });
    connect(m, &HostMonitor::PowerHandled, binding_,
            [sleep](PowerEvent event) { sleep->PowerHandled(event); });
}

void MainWindow::ShowMonitor(HostMonitor& monitor) {
    if (&monitor == monitor_) {
        return;
    }
    delete binding_;
    monitor_ = &monitor;
    body_->ShowMonitor(monitor);
    errorLog_.ShowMonitor(monitor);
    BindMonitor();
    ShowHostState();
}

void MainWindow::ShowHostState() {
    // The body has shown the host's lists already.
    ShowConnectButtons(monitor_->IsConnected());
    ShowOneHostTip(
        LoadString(monitor_->IsConnected() ? ids::kTipConnected : ids::kTipNotConnected));
    if (const int seconds = monitor_->ReconnectSecondsLeft(); seconds >= 0) {
        view_.disconnect->setEnabled(true);
        ShowReconnectCountdown(seconds);
    } else {
        HideReconnectCountdown();
    }
}

void MainWindow::OnReconnectScheduled(int delayMs) {
    if (delayMs <= 0) {
        HideReconnectCountdown();
        if (!monitor_->IsConnected()) {
            ShowOneHostTip(LoadString(ids::kTipDisconnected));
        }
        return;
    }
    // While the watch waits, Disconnect ends it.
    view_.disconnect->setEnabled(true);
}

void MainWindow::ShowReconnectCountdown(int seconds) {
    const QString text = ReconnectCountdownText(seconds);
    view_.reconnectStatus->setText(text);
    view_.reconnectStatus->show();
    ShowOneHostTip(text.toStdString());
}

void MainWindow::ShowOneHostTip(const std::string& tip) {
    // With several hosts the icon and tooltip are all hosts' (ShowHostsInTray).
    if (!SeveralHosts()) {
        tray_.Icon().trayTip = tip;
        tray_.Icon().UpdateTrayIcon(monitor_->IsConnected(), false);
    }
}

void MainWindow::HideReconnectCountdown() {
    // A lost host's lists stay as last read: the line says since when.
    if (monitor_->IsStale() && !monitor_->IsConnected()) {
        view_.reconnectStatus->setText(
            StaleHostText(monitor_->LastReadAt().time().toString(QStringLiteral("HH:mm:ss"))));
        view_.reconnectStatus->show();
    } else {
        view_.reconnectStatus->hide();
        view_.reconnectStatus->clear();
    }
    if (!monitor_->IsConnected()) {
        view_.disconnect->setEnabled(false);
    }
}

void MainWindow::NoteConnection(const HostMonitor& monitor, const QString& line, bool lost) {
    if (journal_ != nullptr) {
        journal_->Send({.message = line.toStdString(),
                        .priority = lost ? LOG_WARNING : LOG_NOTICE,
                        .host = HostNameOf(monitor)});
    }
}

void MainWindow::OnConnect() {
    // The fields are the shown host's; the settings' host keeps them in the settings.
    HostEntry entry = monitor_->Entry();
    if (monitor_ == hostList_.At(0)) {
        settings_.hostName = view_.host->text().toStdString();
        keyring_.Keep(view_.password->text().toStdString());
        entry.address = settings_.hostName;
        entry.password = settings_.password;
    } else {
        entry.address = view_.host->text().toStdString();
        entry.password = view_.password->text().toStdString();
    }
    // A host named after its address is named after the address it now has.
    if (entry.name == DefaultHostName(monitor_->Entry().address)) {
        entry.name = DefaultHostName(entry.address);
    }
    body_->ShowConnecting();
    monitor_->SetEntry(entry);
    monitor_->Connect();
}

void MainWindow::Disconnect() {
    monitor_->Disconnect();
}

void MainWindow::OnPowerEvent(PowerEvent event) {
    // Every host's session sleeps and wakes with the system; the shown one's logoff is
    // the one the sleep waits for.
    for (int row = 0; row < hostList_.Count(); ++row) {
        hostList_.At(row)->Session().Power(event);
    }
}

void MainWindow::OnSessionConnected() {
    HideReconnectCountdown();
    tray_.AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected, monitor_->IsConnected(),
                             QString::fromStdString(HostNameOf(*monitor_)));
    ShowConnectButtons(true);
}

void MainWindow::ShowConnectButtons(bool connected) {
    view_.connect->setEnabled(!connected);
    view_.disconnect->setEnabled(connected);
    view_.connect->setText(QString::fromStdString(
        LoadString(connected ? ids::kButtonConnected : ids::kButtonConnect)));
    view_.disconnect->setText(QString::fromStdString(
        LoadString(connected ? ids::kButtonDisconnect : ids::kButtonDisconnected)));
}

void MainWindow::OnSessionDisconnected(bool quiet) {
    if (!quiet) {
        ShowConnectButtons(false);
    }
    body_->ShowLoggedOff();
    tray_.AnnounceConnection(ids::kTipDisconnected, ids::kBalloonDisconnected,
                             monitor_->IsConnected(),
                             QString::fromStdString(HostNameOf(*monitor_)));
    body_->DashValues(quiet);
    if (monitor_->IsStale() && monitor_->ReconnectSecondsLeft() < 0) {
        HideReconnectCountdown();
    }
}

}  // namespace veltrix
