// What the main window shows of the session: connect and disconnect, enumeration,
// rebuild progress, events, lists refilled after changes, sleep and resume.

#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {

void CKavoGUIDlg::ConnectSession() {
    ServiceSession* s = session_.get();
    connect(s, &ServiceSession::connected, this, &CKavoGUIDlg::OnSessionConnected);
    connect(s, &ServiceSession::serviceConfigRead, this,
            [this](const ServiceConfig& config, int version) {
                state_.serviceConfig = config;
                state_.serviceVersion = version;
            });
    connect(s, &ServiceSession::enumerated, this, &CKavoGUIDlg::OnEnumerated);
    connect(s, &ServiceSession::disconnecting, this, [this](bool quiet) {
        if (!quiet) {
            SetItemText(control_id::kDisconnect, "..busy..");
        }
    });
    connect(s, &ServiceSession::disconnected, this, &CKavoGUIDlg::OnSessionDisconnected);
    connect(s, &ServiceSession::popup, this,
            [this](const std::string& text, Severity severity, int level) {
                ReportEvent(text, severity, level);
            });
    connect(s, &ServiceSession::balloon, this,
            [this](const std::string& title, const std::string& text, Severity severity) {
                tray_.balloonTitle = title;
                tray_.balloonText = text;
                tray_.balloonSeverity = severity;
                tray_.UpdateTrayIcon(state_.isConnected, true);
            });
    connect(s, &ServiceSession::trayTipChanged, this, [this](const std::string& tip) {
        tray_.trayTip = tip;
        tray_.UpdateTrayIcon(state_.isConnected, false);
    });
    connect(s, &ServiceSession::pollStarted, this, [this] {
        oldDeviceRows_ = RowCount(control_id::kDeviceList);
        oldSetRows_ = RowCount(control_id::kSetList);
    });
    connect(s, &ServiceSession::rebuildStep, this, &CKavoGUIDlg::OnRebuildStep);
    connect(s, &ServiceSession::tableChanged, this,
            [this](const TableSnapshot& table) { table_ = *table; });
    connect(s, &ServiceSession::eventLogLine, this,
            [this](const std::string& line) { AddRow(control_id::kEventLog, line); });
    connect(s, &ServiceSession::controllerReRead, this, &CKavoGUIDlg::OnControllerReRead);
    connect(s, &ServiceSession::eventsHandled, this, &CKavoGUIDlg::OnEventsHandled);
    connect(s, &ServiceSession::errorLogEntry, this,
            [this](const LogEntry& entry) { errorLog_.push_back(entry); });
    connect(s, &ServiceSession::reconnectDue, this, &CKavoGUIDlg::OnConnect);
}

void CKavoGUIDlg::OnConnect() {
    using namespace control_id;
    settings_.hostName = ItemText(kHost);
    settings_.password = ItemText(kPassword);

    UpdateDiagram(1, DiagramSelection{.kind = SelectionKind::Connect});
    state_.selectedSet = -1;
    SetPos(kPriority, 0);
    session_->SelectSet(-1);
    session_->SetSliderPosition(0);
    session_->Connect(settings_.hostName, settings_.password);
}

void CKavoGUIDlg::Disconnect() {
    session_->Disconnect();
}

void CKavoGUIDlg::OnPowerBroadcast(PowerEvent event) {
    session_->Power(event);
}

void CKavoGUIDlg::OnSessionConnected() {
    using namespace control_id;
    state_.isConnected = true;
    AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected);
    EnableItem(kConnect, false);
    EnableItem(kDisconnect, true);
    SetItemText(kConnect, LoadString(ids::kButtonConnected));
    SetItemText(kDisconnect, LoadString(ids::kButtonDisconnect));
}

void CKavoGUIDlg::OnEnumerated(const TableSnapshot& table, int controllerCount) {
    using namespace control_id;
    table_ = *table;
    state_.controllerCount = static_cast<std::uint32_t>(controllerCount);
    for (int i = 0; i < controllerCount; ++i) {
        const Controller* controller = table_.GetController(i);
        const std::string name = controller != nullptr ? controller->Name() : std::string();
        if (i == 0) {
            SetTabText(kControllerTabs, 0, name);
        } else {
            InsertTab(kControllerTabs, i, name);
        }
        if (controller != nullptr && controller->RaidSetCount() != 0) {
            for (const int id : {kPriority, kPriorityHigh, kPriorityCaption, kPriorityLow}) {
                ShowItem(id, true);
            }
        }
    }
    if (controllerCount == 0) {
        return;
    }

    state_.currentController = 0;
    ShowControllerInfo(0);
    FillDeviceList(0, 1);
    FillSetList(0, 1);
    state_.selectedDevice = -1;
    const Controller* first = table_.GetController(0);
    if (first != nullptr && first->RaidSetCount() != 0) {
        state_.selectedSet = 0;
        SetSelectedRow(kSetList, 0);
        EnableRebuildControls(true);
        ShowRaidInfo();
    }
    if (state_.selectedSet == -1) {
        UpdateDiagram(0, std::nullopt);
    }
    SetItemText(kSpeed, "-");
    TellSessionSelection();
}

void CKavoGUIDlg::AnnounceConnection(int tipId, int balloonTextId) {
    tray_.trayTip = LoadString(tipId);
    tray_.balloonTitle = LoadString(ids::kBalloonHostConnection);
    tray_.balloonText = LoadString(balloonTextId);
    tray_.balloonSeverity = Severity::Information;
    tray_.UpdateTrayIcon(state_.isConnected, true);
}

void CKavoGUIDlg::OnSessionDisconnected(bool quiet, bool /*keepDisplay*/) {
    using namespace control_id;
    if (!quiet) {
        SetItemText(kConnect, LoadString(ids::kButtonConnect));
        SetItemText(kDisconnect, LoadString(ids::kButtonDisconnected));
        EnableItem(kConnect, true);
        EnableItem(kDisconnect, false);
    }

    SetTabText(kControllerTabs, 0, "---");
    SelectTab(kControllerTabs, 0);
    while (TabCount(kControllerTabs) > 1) {
        DeleteTab(kControllerTabs, 1);
    }
    table_.Clear();
    state_.controllerCount = 0;
    state_.currentController = 0;

    SetSelectedRow(kSetList, -1);
    ShowRaidInfo();
    ShowRebuildControls(false);

    state_.isConnected = false;
    state_.serviceConfig = ServiceConfig{};
    AnnounceConnection(ids::kTipDisconnected, ids::kBalloonDisconnected);

    ClearRows(kDeviceList);
    ClearRows(kSetList);
    for (const int id : {kControllerNumber, kDriverVersion, kBiosVersion, kChipset, kRaid5Support,
                         kJbodSupport, kPmSupport, kDuration, kSpeed}) {
        SetItemText(id, "-");
    }
    SetItemText(kPercent, "0%");
    SetPos(kProgress, 0);
    for (const int id :
         {kRow1Value, kRow2Value, kRow3Value, kRow4Value, kRow5Value, kRow6Value, kRow7Value}) {
        SetItemText(id, "-");
    }
    if (!quiet) {
        UpdateDiagram(0, std::nullopt);
    }
}

void CKavoGUIDlg::OnRebuildStep(const RebuildView& view) {
    using namespace control_id;
    if (view.controller != state_.currentController) {
        return;  // the user switched controllers meanwhile
    }
    if (!view.active) {
        SetItemText(kPercent, " ");
        SetPos(kProgress, 0);
        SetItemText(kDuration, "-");
        return;
    }
    if (view.showControls) {
        ShowRebuildControls(true);
    }
    if (view.durationText) {
        SetItemText(kDuration, *view.durationText);
    }
    SetItemText(kSpeed, view.speedText);
    SetItemText(kPercent, view.percentText);
    SetPos(kProgress, view.percent);
}

void CKavoGUIDlg::OnControllerReRead(int controller, const TableSnapshot& table) {
    table_ = *table;
    if (controller != state_.currentController) {
        return;
    }
    const int keptSet = state_.selectedSet;
    FillDeviceList(controller, 1);
    FillSetList(controller, 1);
    const Controller* c = table_.GetController(controller);
    const int sets = c != nullptr ? c->RaidSetCount() : 0;
    if (keptSet != -1 && keptSet < sets) {
        state_.selectedSet = keptSet;
        EnableRebuildControls(true);
        SetSelectedRow(control_id::kSetList, keptSet);
    } else {
        state_.selectedSet = -1;
        ClearSetDisplay();
    }
    UpdateDiagram(0, std::nullopt);
    TellSessionSelection();
}

int CKavoGUIDlg::ReselectAfterRefill(int listId, int selected, int oldRows) {
    const int rows = RowCount(listId);
    if (rows >= oldRows || (rows > 0 && selected < rows)) {
        SetSelectedRow(listId, selected);
        return selected;
    }
    if (rows > 0) {
        SetSelectedRow(listId, 0);
        return 0;
    }
    return selected;
}

void CKavoGUIDlg::OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty,
                                  const TableSnapshot& table) {
    using namespace control_id;
    table_ = *table;
    if (changesPending) {
        const int current = state_.currentController;
        if (devicesDirty) {
            const int selected = state_.selectedDevice;
            FillDeviceList(current, 0);
            state_.selectedDevice = selected;
            if (selected != -1) {
                state_.selectedDevice = ReselectAfterRefill(kDeviceList, selected, oldDeviceRows_);
                OnDeviceListSelChange();
            }
            if (state_.selectedSet != -1) {
                ShowRaidInfo();
            }
        }
        if (setsDirty) {
            const int selected = state_.selectedSet;
            FillSetList(current, 0);
            state_.selectedSet = selected;
            if (selected != -1) {
                state_.selectedSet = ReselectAfterRefill(kSetList, selected, oldSetRows_);
                EnableRebuildControls(true);
                ShowRaidInfo();
            } else {
                ClearSetDisplay();
            }
        }
        ShowControllerInfo(current);
    }
    SetSelectedRow(kDeviceList, state_.selectedDevice);
    SetSelectedRow(kSetList, state_.selectedSet);
    TellSessionSelection();
}

void CKavoGUIDlg::TellSessionSelection() {
    const int row = state_.selectedSet;
    const int setIndex = row >= 0 && row < ObjectTable::kMaxRaidSets
                             ? state_.setRowMap[static_cast<std::size_t>(row)]
                             : -1;
    session_->SelectController(state_.currentController);
    session_->SelectSet(setIndex);
    session_->SetSliderPosition(Pos(control_id::kPriority));
}

}  // namespace veltrix
