// The poll cycle: rebuild progress, changes, controller events, the error log and the
// e-mail status, every 5 s while connected; the mail-only poll while the service
// reports no controller; failure counting up to the automatic disconnect.

#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {

namespace {

constexpr int kPollPeriodMs = 5000;
constexpr int kReconnectAfterFailuresMs = 10000;
// Failures after which the next tick disconnects.
constexpr int kFailuresBeforeDisconnect = 4;
// A service that never ends its event queue or error log must not hold the window:
// what is left waits for the next tick.
constexpr int kMaxRecordsPerTick = 1000;

constexpr int kSiteFlush = 1613;

std::string SiteText(int stringId, const char* separator, int site) {
    return LoadString(stringId) + "\nError " + separator + "KGD-" + std::to_string(site);
}

// Popup level and icon of an event text.
struct EventPopup {
    int level;
    unsigned icon;
};

}  // namespace

void CKavoGUIDlg::NoResponse() {
    link_.lastMessage = LoadString(ids::kNoResponse);
    if (link_.failureCounter >= kFailuresBeforeDisconnect) {
        ReportError(link_.lastMessage);
    }
    ++link_.failureCounter;
}

bool CKavoGUIDlg::Exchange(const ExchangeSites& sites) {
    link_.message.setRequest(sites.code, sites.data);
    try {
        link_.SendMessage();
    } catch (const CNamedPipeException&) {
        ReportError(sites.writeError);
        ++link_.failureCounter;
        return false;
    }
    try {
        if (!link_.pipe.WaitForResponse(link_.replyTimeoutMs)) {
            NoResponse();
            return false;
        }
    } catch (const CNamedPipeException&) {
        ReportError(sites.waitError.empty() ? sites.readError : sites.waitError);
        ++link_.failureCounter;
        return false;
    }
    try {
        link_.ReceiveMessage();
    } catch (const CNamedPipeException& e) {
        ReportError(sites.readErrorWithPipeState ? WithPipeState(e, sites.readError)
                                                 : sites.readError);
        ++link_.failureCounter;
        return false;
    }
    return true;
}

std::string CKavoGUIDlg::WithPipeState(const CNamedPipeException& e, const std::string& text) {
    std::size_t available = 0;
    std::size_t left = 0;
    try {
        link_.pipe.Peek(nullptr, 0, &available, &left);
    } catch (const CNamedPipeException&) {
        // Nothing to tell about a channel that is gone.
    }
    return SystemTextLine(e) + text + " 0 " + std::to_string(available) + " " +
           std::to_string(left);
}

void CKavoGUIDlg::PollCycle(int oldDeviceRows, int oldSetRows) {
    if (state_.justConnected) {
        state_.justConnected = false;
        state_.pollCount = 0;
        state_.lastPercentStep.fill(0);
        state_.lastPosition.fill(0);
        SetTimer(timer_id::kPoll, kPollPeriodMs);
    } else if (state_.pollCount == 0) {
        SetTimer(timer_id::kPoll, kPollPeriodMs);
    }

    if (link_.failureCounter > kFailuresBeforeDisconnect) {
        Disconnect();
        link_.failureCounter = 0;
        link_.ReleasePipeBusy();
        if (settings_.autoConnect) {
            SetTimer(timer_id::kReconnect, kReconnectAfterFailuresMs);
        }
        return;
    }

    try {
        link_.pipe.Flush();
    } catch (const CNamedPipeException& e) {
        ReportError(e.GetErrorMessage() + "\nError #KGD-" + std::to_string(kSiteFlush) + ".");
        link_.failureCounter = kFailuresBeforeDisconnect + 1;
        return;
    }

    std::string tip = LoadString(ids::kTipRebuildStatus);
    for (int i = 0; i < static_cast<int>(state_.controllerCount); ++i) {
        if (!RebuildStep(i, tip)) {
            return;
        }
    }
    ++state_.pollCount;
    tray_.trayTip = tip;
    tray_.UpdateTrayIcon(state_.isConnected, false);

    PriorityStep();

    if (!Exchange({GET_CHANGE_FLAG,
                   {},
                   SiteText(ids::kServiceWriteError, "'", 1808),
                   SiteText(ids::kServiceReadError, "'", 1833)})) {
        return;
    }
    if (link_.message.data()[0] != 0) {
        state_.changesPending = true;
    }

    if (!EventLoop()) {
        return;
    }
    if (state_.changesPending) {
        RefillAfterChanges(oldDeviceRows, oldSetRows);
    }
    SetSelectedRow(control_id::kDeviceList, state_.selectedDevice);
    SetSelectedRow(control_id::kSetList, state_.selectedSet);
    state_.changesPending = false;
    state_.deviceListDirty = false;
    state_.setListDirty = false;

    DrainErrorLog();
    MailStatusStep(false);
}

bool CKavoGUIDlg::EventLoop() {
    for (int n = 0; n < kMaxRecordsPerTick; ++n) {
        if (!Exchange({GET_EVENT,
                       {},
                       SiteText(ids::kServiceWriteError, "'", 1860),
                       SiteText(ids::kServiceReadError, "'", 1885)})) {
            return false;
        }
        const EventRecord event = EventRecord::Decode(link_.message.data());
        if (event.isEnd()) {
            return true;
        }
        HandleEvent(event);
        AddRow(control_id::kEventLog,
               Format("%02d:%02d:%02d,%d   C %d, Dev %d, Dri %d, : %d", event.time.hour,
                      event.time.minute, event.time.second, event.time.milliseconds,
                      event.controller, event.port, event.drive, event.code));
    }
    return true;
}

void CKavoGUIDlg::HandleEvent(const EventRecord& event) {
    const int c = event.controller;
    const bool current = c == state_.currentController;
    bool reRead = false;
    bool devicesDirty = false;
    bool setsDirty = false;
    std::optional<std::string> text;
    EventPopup kind{0, kPopupInformation};

    switch (event.code) {
        case EVENT_RAID_STATUS_CHANGED:
            text = FormatString(ids::kEventRaidStatusChanged, c, event.setIndex);
            kind = {2, kPopupInformation};
            reRead = devicesDirty = setsDirty = true;
            break;
        case EVENT_LOGGED_3:
        case EVENT_LOGGED_17:
            break;
        case EVENT_SET_STATUS_10:
        case EVENT_SET_STATUS_11:
            setsDirty = true;
            break;
        case EVENT_DEVICE_CHANGED:
            requests_.RequestDevice(c, event.deviceIndex);
            devicesDirty = true;
            break;
        case EVENT_DRIVE_FOUND:
            text = FormatString(ids::kEventDeviceFound, c, event.port);
            kind = {1, kPopupInformation};
            reRead = devicesDirty = true;
            break;
        case EVENT_SET_FOUND:
            text = FormatString(ids::kEventSetFound, c, event.setIndex);
            kind = {1, kPopupInformation};
            reRead = setsDirty = true;
            break;
        case EVENT_DRIVE_LOST:
            text = FormatString(ids::kEventDeviceLost, c, event.port);
            kind = {3, kPopupError};
            reRead = devicesDirty = true;
            break;
        case EVENT_SET_LOST: {
            const RaidSet* set = table_.GetRaidSet(c, event.setIndex);
            if (set != nullptr && set->RaidType() == 3) {
                text = FormatString(ids::kEventSpareAccessed, c);
                kind = {1, kPopupInformation};
            } else {
                text = FormatString(ids::kEventSetLost, c, event.setIndex);
                kind = {3, kPopupError};
            }
            reRead = setsDirty = true;
            break;
        }
        case EVENT_SPARE_ACCESSED:
            text = FormatString(ids::kEventSpareAccessed, c);
            kind = {1, kPopupInformation};
            break;
        case EVENT_GENERAL:
            text = LoadString(ids::kEventGeneral);
            kind = {0, kPopupInformation};
            break;
        case EVENT_RAID_BROKEN:
            text = FormatString(ids::kEventRaidBroken, c, event.setIndex);
            kind = {3, kPopupError};
            reRead = devicesDirty = setsDirty = true;
            break;
        case EVENT_REBUILD_COMPLETED_A:
        case EVENT_REBUILD_COMPLETED_C:
            text = FormatString(ids::kEventRebuildCompleted, c, event.setIndex);
            kind = {2, kPopupInformation};
            reRead = devicesDirty = setsDirty = true;
            break;
        case EVENT_REDUNDANCY_LOST:
            text = FormatString(ids::kEventRedundancyLost, c, event.setIndex);
            kind = {3, kPopupError};
            reRead = devicesDirty = setsDirty = true;
            break;
        default:
            text = FormatString(ids::kEventErrorCode, event.code);
            kind = {0, kPopupWarning};
            break;
    }

    if (text) {
        ReportEvent(*text, kind.icon, kind.level);
    }
    if (reRead) {
        ReReadController(c);
    }
    if (event.code == EVENT_RAID_BROKEN && !current) {
        requests_.RequestControllerInfo(c);
    }
    if (event.code == EVENT_REBUILD_COMPLETED_A || event.code == EVENT_REBUILD_COMPLETED_C) {
        tray_.balloonTitle = LoadString(ids::kBalloonRebuildDone);
        tray_.balloonText = FormatString(ids::kBalloonRebuildDoneText, c) + "%";
        tray_.balloonIconKind = app::kBalloonInformation;
        tray_.UpdateTrayIcon(state_.isConnected, true);
    }
    if (current) {
        state_.deviceListDirty = state_.deviceListDirty || devicesDirty;
        state_.setListDirty = state_.setListDirty || setsDirty;
    }
}

void CKavoGUIDlg::ReReadController(int controller) {
    // Only controllers the service reported at connect have objects to re-read.
    if (controller >= static_cast<int>(state_.controllerCount)) {
        return;
    }
    table_.DestroyDrivesAndSets(controller);
    requests_.ReadController(controller);
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

void CKavoGUIDlg::RefillAfterChanges(int oldDeviceRows, int oldSetRows) {
    using namespace control_id;
    const int current = state_.currentController;
    if (state_.deviceListDirty) {
        const int selected = state_.selectedDevice;
        FillDeviceList(current, 0);
        state_.selectedDevice = selected;
        if (selected != -1) {
            state_.selectedDevice = ReselectAfterRefill(kDeviceList, selected, oldDeviceRows);
            OnDeviceListSelChange();
        }
        if (state_.selectedSet != -1) {
            ShowRaidInfo();
        }
    }
    if (state_.setListDirty) {
        const int selected = state_.selectedSet;
        FillSetList(current, 0);
        state_.selectedSet = selected;
        if (selected != -1) {
            state_.selectedSet = ReselectAfterRefill(kSetList, selected, oldSetRows);
            EnableRebuildControls(true);
            ShowRaidInfo();
        } else {
            ClearSetDisplay();
        }
    }
    ShowControllerInfo(current);
}

void CKavoGUIDlg::DrainErrorLog() {
    for (int n = 0; n < kMaxRecordsPerTick; ++n) {
        const LogEntry entry = requests_.RequestLogEntry();
        if (entry.controller >= LogEntry::kNoResponse) {
            return;
        }
        errorLog_.push_back(entry);
    }
}

bool CKavoGUIDlg::MailStatusStep(bool mailOnly) {
    const int writeSite = mailOnly ? 1646 : 2161;
    const int readSite = mailOnly ? 1671 : 2186;
    const int yearSite = mailOnly ? 1685 : 2200;
    if (!Exchange({GET_MAIL_STATUS,
                   {},
                   SiteText(ids::kServiceWriteError, "#", writeSite),
                   SiteText(ids::kServiceReadError, "#", readSite)})) {
        return false;
    }
    const MailStatus status = MailStatus::Decode(link_.message.data());
    if (status.nothingNew != 0) {
        return true;
    }
    if (!status.hasValidTime()) {
        ReportError(std::to_string(status.time.year) + "\nError #KGD-" + std::to_string(yearSite));
        ++link_.failureCounter;
        return true;
    }
    ReportError(LoadString(ids::kMailSystemError) + status.text + " " +
                std::to_string(status.errorCode));
    return true;
}

void CKavoGUIDlg::MailOnlyPoll() {
    link_.message.setRequest(FLASH_END);
    try {
        link_.SendMessage();
    } catch (const CNamedPipeException&) {
        ReportError(SiteText(ids::kServiceWriteError, "#", 1625));
        KillTimer(timer_id::kMailOnly);
        Disconnect();
        link_.failureCounter = 0;
        return;
    }
    MailStatusStep(true);
}

}  // namespace veltrix
