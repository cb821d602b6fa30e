// What the main window shows of the session: connect and disconnect, enumeration,
// rebuild progress, events, lists refilled after changes, sleep and resume.

#include <syslog.h>

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QTabBar>
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
#include "gui/shell/sleep_watcher.h"

namespace veltrix {

void MainWindow::BindMonitor() {
    // Every connection to the shown monitor has `binding_` as its context: deleting it
    // drops them all. The monitor has taken its part of each report first.
    binding_ = new QObject(this);
    HostMonitor* m = monitor_;
    QObject* b = binding_;
    connect(m, &HostMonitor::Connected, b, [this] { OnSessionConnected(); });
    connect(m, &HostMonitor::Enumerated, b, [this](int count) { OnEnumerated(count); });
    // What the enumeration does, from the login on; gone once the lists are filled.
    ConnectProgress* progress = view_.connectProgress;
    connect(m, &HostMonitor::EnumerationProgressed, b,
            [progress](const EnumerationStep& step) { progress->ShowStep(step); });
    connect(m, &HostMonitor::Enumerated, b, [progress] { progress->hide(); });
    connect(m, &HostMonitor::Disconnected, b, [progress] { progress->hide(); });
    connect(m, &HostMonitor::Disconnecting, b, [this](bool quiet) {
        if (!quiet) {
            view_.disconnect->setText(QStringLiteral("..busy.."));
        }
    });
    connect(m, &HostMonitor::Disconnected, b, [this](bool quiet) { OnSessionDisconnected(quiet); });
    connect(m, &HostMonitor::PopupRequested, b,
            [this](const std::string& text, Severity severity, int level) {
                ReportEvent(text, severity, level);
            });
    connect(m, &HostMonitor::BalloonRequested, b,
            [this](const std::string& title, const std::string& text, Severity severity) {
                tray_.balloonTitle = title;
                tray_.balloonText = text;
                tray_.balloonSeverity = severity;
                tray_.UpdateTrayIcon(monitor_->IsConnected(), true);
            });
    connect(m, &HostMonitor::TrayTipRequested, b, [this](const std::string& tip) {
        // Quiet cycles repeat the tooltip: neither the notification area nor a screen
        // reader need hear it again every 5 s. After a connect it differs, as the tray
        // shows the connect's own.
        if (tip == tray_.trayTip) {
            return;
        }
        tray_.trayTip = tip;
        tray_.UpdateTrayIcon(monitor_->IsConnected(), false);
        platform::Announce(this, QString::fromStdString(tip));
    });
    connect(m, &HostMonitor::RebuildProgressed, b,
            [this](const RebuildView& view) { OnRebuildStep(view); });
    connect(m, &HostMonitor::EventLogged, b, [this] { heapRelease_.Note(1); });
    connect(m, &HostMonitor::ControllerReRead, b,
            [this](int controller) { OnControllerReRead(controller); });
    connect(m, &HostMonitor::EventsHandled, b, [this](bool pending, bool devices, bool sets) {
        OnEventsHandled(pending, devices, sets);
    });
    connect(m, &HostMonitor::ReconnectDue, binding_, [this] {
        HideReconnectCountdown();
        OnConnect();
    });
    connect(m, &HostMonitor::ReconnectScheduled, binding_,
            [this](int delayMs) { OnReconnectScheduled(delayMs); });
    connect(m, &HostMonitor::ReconnectCountdown, binding_,
            [this](int seconds) { ShowReconnectCountdown(seconds); });
    connect(m, &HostMonitor::ConnectionNoted, binding_,
            [this](const QString& line, bool lost) { NoteConnection(line, lost); });
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
    view_.devices->setModel(&monitor.Devices());
    view_.sets->setModel(&monitor.RaidSets());
    view_.eventLog->setModel(&monitor.Events());
    errorLog_.ShowMonitor(monitor);
    BindMonitor();
    ShowHostState();
}

void MainWindow::ShowHostState() {
    const QScopedValueRollback showingOnly(showingOnly_, true);
    OnSessionDisconnected(false, false);
    if (monitor_->IsConnected()) {
        ShowConnectButtons(true);
        OnEnumerated(static_cast<int>(monitor_->ControllerCount()));
    }
    tray_.trayTip =
        LoadString(monitor_->IsConnected() ? ids::kTipConnected : ids::kTipNotConnected);
    tray_.UpdateTrayIcon(monitor_->IsConnected(), false);
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
            tray_.trayTip = LoadString(ids::kTipDisconnected);
            tray_.UpdateTrayIcon(false, false);
        }
        return;
    }
    // While the watch waits, Disconnect ends it.
    view_.disconnect->setEnabled(true);
}

void MainWindow::ShowReconnectCountdown(int seconds) {
    const QString text =

        //% "Reconnecting in %1 s"
        qtTrId("main.reconnecting-in-1-s").arg(seconds);
    view_.reconnectStatus->setText(text);
    view_.reconnectStatus->show();
    tray_.trayTip = text.toStdString();
    tray_.UpdateTrayIcon(monitor_->IsConnected(), false);
}

void MainWindow::HideReconnectCountdown() {
    view_.reconnectStatus->hide();
    view_.reconnectStatus->clear();
    if (!monitor_->IsConnected()) {
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
    keyring_.Keep(view_.password->text().toStdString());

    UpdateDiagram(DiagramUpdate::ActivateAndDraw, DiagramSelection{.kind = SelectionKind::Connect});
    state_.selectedSet = -1;
    {
        const QSignalBlocker blocker(view_.priority);
        view_.priority->setValue(0);
    }
    TellSessionSelection();
    monitor_->Session().Connect(settings_.hostName, settings_.password);
}

void MainWindow::Disconnect() {
    monitor_->Session().Disconnect();
}

void MainWindow::OnPowerEvent(PowerEvent event) {
    monitor_->Session().Power(event);
}

void MainWindow::OnSessionConnected() {
    HideReconnectCountdown();
    AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected);
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

void MainWindow::OnEnumerated(int controllerCount) {
    toldSelection_.reset();  // the session chose its own selection while it connected
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
    tray_.UpdateTrayIcon(monitor_->IsConnected(), true);
    platform::Announce(this, QString::fromStdString(tray_.balloonText));
}

void MainWindow::OnSessionDisconnected(bool quiet, bool announce) {
    toldSelection_.reset();
    if (!quiet) {
        ShowConnectButtons(false);
    }

    {
        const QSignalBlocker blocker(view_.tabs);
        view_.tabs->setTabText(0, QStringLiteral("---"));
        view_.tabs->setCurrentIndex(0);
        while (view_.tabs->count() > 1) {
            view_.tabs->removeTab(1);
        }
    }
    state_.currentController = 0;

    SelectRow(view_.sets, -1);
    ShowRaidInfo();
    ShowRebuildControls(false);

    if (announce) {
        AnnounceConnection(ids::kTipDisconnected, ids::kBalloonDisconnected);
    }

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

void MainWindow::OnControllerReRead(int controller) {
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

void MainWindow::OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty) {
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
    if (showingOnly_) {
        return;
    }
    const std::array<int, 3> selection = {state_.currentController,
                                          monitor_->RaidSets().ObjectIndexOf(state_.selectedSet),
                                          view_.priority->value()};
    if (toldSelection_ == selection) {
        return;
    }
    toldSelection_ = selection;
    monitor_->Session().SelectController(selection[0]);
    monitor_->Session().SelectSet(selection[1]);
    monitor_->Session().SetSliderPosition(selection[2]);
}

}  // namespace veltrix
