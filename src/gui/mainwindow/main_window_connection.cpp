// What the main window shows of the session: connect and disconnect, enumeration,
// rebuild progress, events, lists refilled after changes, sleep and resume.

#include <syslog.h>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTime>
#include "texts/string_ids.h"
#include "texts/strings.h"

#include "gui/errorlog/error_log_dialog.h"
#include "gui/mainwindow/connect_progress.h"
#include "gui/mainwindow/list_rows.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/status_list.h"
#include "gui/platform/accessible_announcer.h"
#include "gui/resources/main_window_ids.h"
#include "gui/shell/event_journal.h"

namespace veltrix {

namespace {

constexpr int kCountdownStepMs = 1000;

}  // namespace

void MainWindow::ConnectSession() {
    ServiceSession* s = session_;
    // Every report reaches the window through the monitor's inbox, which keeps their
    // order; the monitor has taken its part of each one first.
    ReportInbox& in = monitor_->Reports();
    in.Route(s, &ServiceSession::Connected, this, &MainWindow::OnSessionConnected);
    in.Route(s, &ServiceSession::ServiceConfigRead,
             [this](const ServiceConfig& config, int version) {
                 state_.serviceConfig = config;
                 state_.serviceVersion = version;
             });
    in.Route(s, &ServiceSession::Enumerated, this, &MainWindow::OnEnumerated);
    // What the enumeration does, from the login on; gone once the lists are filled.
    ConnectProgress* progress = view_.connectProgress;
    in.Route(s, &ServiceSession::EnumerationProgressed, progress, &ConnectProgress::ShowStep);
    in.Route(s, &ServiceSession::Enumerated, [progress](const auto&...) { progress->hide(); });
    in.Route(s, &ServiceSession::Disconnected, [progress](bool) { progress->hide(); });
    in.Route(s, &ServiceSession::Disconnecting, [this](bool quiet) {
        if (!quiet) {
            view_.disconnect->setText(QStringLiteral("..busy.."));
        }
    });
    in.Route(s, &ServiceSession::Disconnected, this, &MainWindow::OnSessionDisconnected);
    in.Route(s, &ServiceSession::Popup,
             [this](const std::string& text, Severity severity, int level) {
                 ReportEvent(text, severity, level);
             });
    in.Route(s, &ServiceSession::Balloon,
             [this](const std::string& title, const std::string& text, Severity severity) {
                 tray_.balloonTitle = title;
                 tray_.balloonText = text;
                 tray_.balloonSeverity = severity;
                 tray_.UpdateTrayIcon(state_.isConnected, true);
             });
    in.Route(s, &ServiceSession::TrayTipChanged, [this](const std::string& tip) {
        // Quiet cycles repeat the tooltip: neither the notification area nor a screen
        // reader need hear it again every 5 s. After a connect it differs, as the tray
        // shows the connect's own.
        if (tip == tray_.trayTip) {
            return;
        }
        tray_.trayTip = tip;
        tray_.UpdateTrayIcon(state_.isConnected, false);
        platform::Announce(this, QString::fromStdString(tip));
    });
    in.Route(s, &ServiceSession::RebuildProgressed, this, &MainWindow::OnRebuildStep);
    in.Route(s, &ServiceSession::EventLogged, [this](const LoggedEvent&) { heapRelease_.Note(1); });
    in.Route(s, &ServiceSession::ControllerReRead, this, &MainWindow::OnControllerReRead);
    in.Route(s, &ServiceSession::EventsHandled, this, &MainWindow::OnEventsHandled);
    in.Route(s, &ServiceSession::ErrorLogEntry,
             [this](const LogEntry& entry) { AddErrorLogLine(entry); });
    in.Route(s, &ServiceSession::ReconnectDue, [this] {
        StopReconnectCountdown();
        OnConnect();
    });
    in.Route(s, &ServiceSession::ReconnectScheduled, this, &MainWindow::OnReconnectScheduled);
    connect(monitor_, &HostMonitor::ConnectionNoted, this, &MainWindow::NoteConnection);
}

void MainWindow::OnReconnectScheduled(int delayMs) {
    if (delayMs <= 0) {
        StopReconnectCountdown();
        if (!state_.isConnected) {
            tray_.trayTip = LoadString(ids::kTipDisconnected);
            tray_.UpdateTrayIcon(false, false);
        }
        return;
    }
    reconnectDueMs_ = time_->NowMs() + delayMs;
    if (countdownTimer_ == 0) {
        countdownTimer_ = time_->StartTimer(kCountdownStepMs, [this] { ShowReconnectCountdown(); });
    }
    // While the watch waits, Disconnect ends it.
    view_.disconnect->setEnabled(true);
    ShowReconnectCountdown();
}

void MainWindow::ShowReconnectCountdown() {
    const std::int64_t left = std::max<std::int64_t>(0, reconnectDueMs_ - time_->NowMs());
    const auto seconds = static_cast<int>((left + kCountdownStepMs - 1) / kCountdownStepMs);
    const QString text =

        //% "Reconnecting in %1 s"
        qtTrId("main.reconnecting-in-1-s").arg(seconds);
    view_.reconnectStatus->setText(text);
    view_.reconnectStatus->show();
    tray_.trayTip = text.toStdString();
    tray_.UpdateTrayIcon(state_.isConnected, false);
}

void MainWindow::StopReconnectCountdown() {
    if (countdownTimer_ != 0) {
        time_->StopTimer(countdownTimer_);
        countdownTimer_ = 0;
    }
    view_.reconnectStatus->hide();
    view_.reconnectStatus->clear();
    if (!state_.isConnected) {
        view_.disconnect->setEnabled(false);
    }
}

void MainWindow::NoteConnection(const QString& line, bool lost) {
    if (journal_ != nullptr) {
        journal_->Send(
            {.message = line.toStdString(), .priority = lost ? LOG_WARNING : LOG_NOTICE});
    }
}

void MainWindow::OnConnect() {
    settings_.hostName = view_.host->text().toStdString();
    KeepPassword(view_.password->text().toStdString());

    UpdateDiagram(DiagramUpdate::ActivateAndDraw, DiagramSelection{.kind = SelectionKind::Connect});
    state_.selectedSet = -1;
    {
        const QSignalBlocker blocker(view_.priority);
        view_.priority->setValue(0);
    }
    TellSessionSelection();
    session_->Connect(settings_.hostName, settings_.password);
}

void MainWindow::Disconnect() {
    session_->Disconnect();
}

void MainWindow::OnPowerEvent(PowerEvent event) {
    session_->Power(event);
}

void MainWindow::OnSessionConnected() {
    StopReconnectCountdown();
    state_.isConnected = true;
    AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected);
    view_.connect->setEnabled(false);
    view_.disconnect->setEnabled(true);
    view_.connect->setText(QString::fromStdString(LoadString(ids::kButtonConnected)));
    view_.disconnect->setText(QString::fromStdString(LoadString(ids::kButtonDisconnect)));
}

void MainWindow::OnEnumerated(const TableSnapshot& /*table*/, int controllerCount) {
    toldSelection_.reset();  // the session chose its own selection while it connected
    state_.controllerCount = static_cast<std::uint32_t>(controllerCount);
    for (int i = 0; i < controllerCount; ++i) {
        const Controller* controller = monitor_->Table()->GetController(i);
        const std::string name = controller != nullptr ? controller->Name() : std::string();
        const QSignalBlocker blocker(view_.tabs);
        if (i == 0) {
            view_.tabs->setTabText(0, QString::fromStdString(name));
        } else {
            view_.tabs->insertTab(i, QString::fromStdString(name));
        }
        if (controller != nullptr && controller->RaidSetCount() != 0) {
            for (QWidget* control :
                 std::initializer_list<QWidget*>{view_.priority, view_.priorityHigh,
                                                 view_.priorityCaption, view_.priorityLow}) {
                control->show();
            }
        }
    }
    if (controllerCount == 0) {
        return;
    }

    state_.currentController = 0;
    ShowControllerInfo(0);
    ShowLists(0);
    const Controller* first = monitor_->Table()->GetController(0);
    if (first != nullptr && first->RaidSetCount() != 0) {
        state_.selectedSet = 0;
        SelectRow(view_.sets, 0);
        EnableRebuildControls(true);
        ShowRaidInfo();
    }
    if (state_.selectedSet == -1) {
        UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
    }
    view_.speed->setText(QStringLiteral("-"));
    TellSessionSelection();
}

void MainWindow::AnnounceConnection(int tipId, int balloonTextId) {
    tray_.trayTip = LoadString(tipId);
    tray_.balloonTitle = LoadString(ids::kBalloonHostConnection);
    tray_.balloonText = LoadString(balloonTextId);
    tray_.balloonSeverity = Severity::Information;
    tray_.UpdateTrayIcon(state_.isConnected, true);
    platform::Announce(this, QString::fromStdString(tray_.balloonText));
}

void MainWindow::OnSessionDisconnected(bool quiet) {
    toldSelection_.reset();
    if (!quiet) {
        view_.connect->setText(QString::fromStdString(LoadString(ids::kButtonConnect)));
        view_.disconnect->setText(QString::fromStdString(LoadString(ids::kButtonDisconnected)));
        view_.connect->setEnabled(true);
        view_.disconnect->setEnabled(false);
    }

    {
        const QSignalBlocker blocker(view_.tabs);
        view_.tabs->setTabText(0, QStringLiteral("---"));
        view_.tabs->setCurrentIndex(0);
        while (view_.tabs->count() > 1) {
            view_.tabs->removeTab(1);
        }
    }
    state_.controllerCount = 0;
    state_.currentController = 0;

    SelectRow(view_.sets, -1);
    ShowRaidInfo();
    ShowRebuildControls(false);

    state_.isConnected = false;
    state_.serviceConfig = ServiceConfig{};
    AnnounceConnection(ids::kTipDisconnected, ids::kBalloonDisconnected);

    monitor_->Devices().Clear();
    monitor_->RaidSets().Clear();
    for (QLabel* value :
         {view_.controllerNumber, view_.driverVersion, view_.biosVersion, view_.chipset,
          view_.raid5Support, view_.jbodSupport, view_.pmSupport, view_.duration, view_.speed}) {
        value->setText(QStringLiteral("-"));
    }
    view_.percent->setText(QStringLiteral("0%"));
    view_.progress->setValue(0);
    for (QLabel* value : view_.infoValues) {
        value->setText(QStringLiteral("-"));
    }
    if (!quiet) {
        UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
    }
}

void MainWindow::OnRebuildStep(const RebuildView& view) {
    if (view.controller != state_.currentController) {
        return;  // the user switched controllers meanwhile
    }
    if (!view.active) {
        view_.percent->setText(QStringLiteral(" "));
        view_.progress->setValue(0);
        view_.duration->setText(QStringLiteral("-"));
        return;
    }
    if (view.showControls) {
        ShowRebuildControls(true);
    }
    if (view.durationText) {
        view_.duration->setText(QString::fromStdString(*view.durationText));
    }
    view_.speed->setText(QString::fromStdString(view.speedText));
    view_.percent->setText(QString::fromStdString(view.percentText));
    view_.progress->setValue(view.percent);
    platform::Announce(view_.progress, view_.percent->text());
}

void MainWindow::OnControllerReRead(int controller, const TableSnapshot& /*table*/) {
    if (controller != state_.currentController) {
        return;
    }
    // The selected set stays selected where it moved to, or the row stays selected.
    const int keptKey = monitor_->RaidSets().KeyOf(state_.selectedSet);
    int keptSet = state_.selectedSet;
    ShowLists(controller);
    if (const int moved = monitor_->RaidSets().RowOf(keptKey); keptKey >= 0 && moved >= 0) {
        keptSet = moved;
    }
    const Controller* c = monitor_->Table()->GetController(controller);
    const int sets = c != nullptr ? c->RaidSetCount() : 0;
    if (keptSet != -1 && keptSet < sets) {
        state_.selectedSet = keptSet;
        EnableRebuildControls(true);
        SelectRow(view_.sets, keptSet);
    } else {
        state_.selectedSet = -1;
        ClearSetDisplay();
    }
    UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
    TellSessionSelection();
}

void MainWindow::OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty,
                                 const TableSnapshot& /*table*/) {
    heapRelease_.ReleaseIfDue();
    if (changesPending) {
        const int current = state_.currentController;
        // Each list keeps its selected object selected where it moved to.
        if (devicesDirty) {
            const int selected = state_.selectedDevice;
            state_.selectedDevice =
                monitor_->Devices().Refresh(*monitor_->Table(), current, selected);
            state_.lastDeviceRow = -1;
            SelectRow(view_.devices, state_.selectedDevice);
            if (selected != -1) {
                OnDeviceSelectionChanged();
            }
            if (state_.selectedSet != -1) {
                ShowRaidInfo();
            }
        }
        if (setsDirty) {
            const int selected = state_.selectedSet;
            state_.selectedSet =
                monitor_->RaidSets().Refresh(*monitor_->Table(), current, selected);
            SelectRow(view_.sets, state_.selectedSet);
            if (selected != -1) {
                EnableRebuildControls(true);
                ShowRaidInfo();
            } else {
                ClearSetDisplay();
            }
        }
        ShowControllerInfo(current);
    }
    SelectRow(view_.devices, state_.selectedDevice);
    SelectRow(view_.sets, state_.selectedSet);
    TellSessionSelection();
}

void MainWindow::TellSessionSelection() {
    const std::array<int, 3> selection = {state_.currentController,
                                          monitor_->RaidSets().ObjectIndexOf(state_.selectedSet),
                                          view_.priority->value()};
    if (toldSelection_ == selection) {
        return;
    }
    toldSelection_ = selection;
    session_->SelectController(selection[0]);
    session_->SelectSet(selection[1]);
    session_->SetSliderPosition(selection[2]);
}

}  // namespace veltrix
