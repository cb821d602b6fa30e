// The poll cycle: rebuild progress, changes, controller events, the error log and the
// e-mail status, every 5 s while connected; the mail-only poll while the service
// reports no controller; failure counting up to the automatic disconnect.

#include <algorithm>
#include <array>
#include <cstdint>

#include <QFlags>

#include "session/error_sites.h"
#include "session/service_session.h"
#include "session/status_requests.h"
#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

constexpr int kPollPeriodMs = 5000;
// Failures after which the next tick disconnects.
constexpr int kFailuresBeforeDisconnect = 4;
// A service that never ends its event queue or error log must not hold the window:
// what is left waits for the next tick.
constexpr int kMaxRecordsPerTick = 1000;

}  // namespace

std::string ServiceSession::SiteMessage::Text() const {
    return SiteText(textId >= 0 ? LoadString(textId) : std::string(literal), site, separator);
}

ServiceSession::ExchangeSites ServiceSession::ExchangeSites::Plain(std::uint32_t code,
                                                                   const char* separator,
                                                                   int writeSite, int readSite) {
    return {code,
            {},
            {.textId = ids::kServiceWriteError, .separator = separator, .site = writeSite},
            {.textId = ids::kServiceReadError, .separator = separator, .site = readSite}};
}

namespace {

// Popup level and severity of an event text.
struct EventPopup {
    int level;
    Severity severity;
};

// Which of the event's numbers its text shows.
enum class EventArgs : std::uint8_t { None, Controller, ControllerPort, ControllerSet, Code };

// What an event makes stale or asks for besides its text.
enum class Refresh : std::uint8_t {
    Controller = 1U << 0U,  // the controller's objects are read again
    Devices = 1U << 1U,     // the current controller's device list
    Sets = 1U << 2U,        // the current controller's RAID set list
    // Another controller than the current one: its info is read again.
    InfoIfNotCurrent = 1U << 3U,
    RebuildDoneBalloon = 1U << 4U,
};
Q_DECLARE_FLAGS(Refreshes, Refresh)
Q_DECLARE_OPERATORS_FOR_FLAGS(Refreshes)

constexpr int kNoText = -1;

// What the session does for one event code.
struct EventRule {
    std::uint32_t code;
    int textId;
    EventArgs args;
    EventPopup popup;
    Refreshes refresh;
};

constexpr EventPopup kLevel0Info{0, Severity::Information};
constexpr EventPopup kLevel1Info{1, Severity::Information};
constexpr EventPopup kLevel2Info{2, Severity::Information};
constexpr EventPopup kLevel3Error{3, Severity::Error};
constexpr Refreshes kAllLists = Refresh::Controller | Refresh::Devices | Refresh::Sets;

// The special cases EVENT_DEVICE_CHANGED (its device is asked for at once) and
// EVENT_SET_LOST (a spare set) are code in HandleEvent.
constexpr std::array kEventRules = std::to_array<EventRule>({
    {EVENT_RAID_STATUS_CHANGED, ids::kEventRaidStatusChanged, EventArgs::ControllerSet, kLevel2Info,
     kAllLists},
    {EVENT_LOGGED_3, kNoText, EventArgs::None, kLevel0Info, {}},
    {EVENT_LOGGED_17, kNoText, EventArgs::None, kLevel0Info, {}},
    {EVENT_SET_STATUS_10, kNoText, EventArgs::None, kLevel0Info, Refresh::Sets},
    {EVENT_SET_STATUS_11, kNoText, EventArgs::None, kLevel0Info, Refresh::Sets},
    {EVENT_DEVICE_CHANGED, kNoText, EventArgs::None, kLevel0Info, Refresh::Devices},
    {EVENT_DRIVE_FOUND, ids::kEventDeviceFound, EventArgs::ControllerPort, kLevel1Info,
     Refresh::Controller | Refresh::Devices},
    {EVENT_SET_FOUND, ids::kEventSetFound, EventArgs::ControllerSet, kLevel1Info,
     Refresh::Controller | Refresh::Sets},
    {EVENT_DRIVE_LOST, ids::kEventDeviceLost, EventArgs::ControllerPort, kLevel3Error,
     Refresh::Controller | Refresh::Devices},
    {EVENT_SET_LOST, ids::kEventSetLost, EventArgs::ControllerSet, kLevel3Error,
     Refresh::Controller | Refresh::Sets},
    {EVENT_SPARE_ACCESSED, ids::kEventSpareAccessed, EventArgs::Controller, kLevel1Info, {}},
    {EVENT_GENERAL, ids::kEventGeneral, EventArgs::None, kLevel0Info, {}},
    {EVENT_RAID_BROKEN, ids::kEventRaidBroken, EventArgs::ControllerSet, kLevel3Error,
     kAllLists | Refresh::InfoIfNotCurrent},
    {EVENT_REBUILD_COMPLETED_A, ids::kEventRebuildCompleted, EventArgs::ControllerSet, kLevel2Info,
     kAllLists | Refresh::RebuildDoneBalloon},
    {EVENT_REBUILD_COMPLETED_C, ids::kEventRebuildCompleted, EventArgs::ControllerSet, kLevel2Info,
     kAllLists | Refresh::RebuildDoneBalloon},
    {EVENT_REDUNDANCY_LOST, ids::kEventRedundancyLost, EventArgs::ControllerSet, kLevel3Error,
     kAllLists},
});

// A code the program does not know shows its number.
constexpr EventRule kUnknownEvent{
    0, ids::kEventErrorCode, EventArgs::Code, {0, Severity::Warning}, {}};

EventRule RuleFor(std::uint32_t code) {
    const auto* rule = std::find_if(kEventRules.begin(), kEventRules.end(),
                                    [code](const EventRule& r) { return r.code == code; });
    return rule != kEventRules.end() ? *rule : kUnknownEvent;
}

std::string EventText(const EventRule& rule, const EventRecord& event) {
    const int c = event.controller;
    switch (rule.args) {
        case EventArgs::None:
            return LoadString(rule.textId);
        case EventArgs::Controller:
            return FormatString(rule.textId, c);
        case EventArgs::ControllerPort:
            return FormatString(rule.textId, c, event.port);
        case EventArgs::ControllerSet:
            return FormatString(rule.textId, c, event.setIndex);
        case EventArgs::Code:
            return FormatString(rule.textId, event.code);
    }
    return {};
}

}  // namespace

void ServiceSession::NoResponse() {
    link_.lastMessage = LoadString(ids::kNoResponse);
    if (link_.failureCounter >= kFailuresBeforeDisconnect) {
        ReportError(link_.lastMessage);
    }
    ++link_.failureCounter;
    ++link_.missedReplies;
}

bool ServiceSession::Exchange(const ExchangeSites& sites) {
    if (Stopping()) {
        return false;  // on the Exit path the logoff comes next
    }
    link_.message.SetRequest(sites.code, sites.data);
    try {
        link_.SendMessage();
    } catch (const ChannelError&) {
        ReportError(sites.writeError.Text());
        ++link_.failureCounter;
        ++link_.missedReplies;
        return false;
    }
    try {
        if (!link_.pipe.WaitForResponse(link_.replyTimeoutMs)) {
            NoResponse();
            return false;
        }
    } catch (const ChannelError&) {
        ReportError(sites.waitError.value_or(sites.readError).Text());
        ++link_.failureCounter;
        ++link_.missedReplies;
        return false;
    }
    try {
        link_.ReceiveMessage();
    } catch (const ChannelError& e) {
        ReportError(sites.readErrorWithPipeState ? WithPipeState(e, sites.readError.Text())
                                                 : sites.readError.Text());
        ++link_.failureCounter;
        ++link_.missedReplies;
        return false;
    }
    return true;
}

std::string ServiceSession::WithPipeState(const ChannelError& e, const std::string& text) {
    std::size_t available = 0;
    std::size_t left = 0;
    try {
        link_.pipe.Peek(nullptr, 0, &available, &left);
    } catch (const ChannelError&) {
        // Nothing to tell about a channel that is gone.
    }
    return SystemTextLine(e) + text + " 0 " + std::to_string(available) + " " +
           std::to_string(left);
}

void ServiceSession::PollCycle() {
    emit PollStarted();
    if (state_.justConnected) {
        state_.justConnected = false;
        state_.pollCount = 0;
        state_.lastPercentStep.fill(0);
        state_.lastPosition.fill(0);
        Arm(pollTimer_, kPollPeriodMs);
    } else if (state_.pollCount == 0) {
        Arm(pollTimer_, kPollPeriodMs);
    }

    if (link_.failureCounter > kFailuresBeforeDisconnect) {
        DisconnectAfterFailures();
        return;
    }

    try {
        link_.pipe.Flush();
    } catch (const ChannelError& e) {
        ReportError(SiteText(e.GetErrorMessage(), poll_site::kFlush) + ".");
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
    emit TrayTipChanged(tip);

    // The positions and percentages of this round, and a priority the user set.
    PriorityStep();
    if (TableSnapshot changed = ChangedSnapshot()) {
        emit TableChanged(std::move(changed));
    }

    if (!Exchange(ExchangeSites::Plain(GET_CHANGE_FLAG, "'", poll_site::kChangeFlagWrite,
                                       poll_site::kChangeFlagRead))) {
        return;
    }
    if (link_.message.Data()[0] != 0) {
        state_.changesPending = true;
    }

    if (!EventLoop()) {
        return;
    }
    emit EventsHandled(state_.changesPending, state_.deviceListDirty, state_.setListDirty,
                       ChangedSnapshot());
    state_.changesPending = false;
    state_.deviceListDirty = false;
    state_.setListDirty = false;

    DrainErrorLog();
    MailStatusStep(false);
}

std::string FormatEventLogLine(const EventRecord& event) {
    return Format("%02d:%02d:%02d,%d   C %d, Dev %d, Dri %d, : %d", event.time.hour,
                  event.time.minute, event.time.second, event.time.milliseconds, event.controller,
                  event.port, event.drive, event.code);
}

bool ServiceSession::EventLoop() {
    for (int n = 0; n < kMaxRecordsPerTick; ++n) {
        if (!Exchange(ExchangeSites::Plain(GET_EVENT, "'", poll_site::kEventWrite,
                                           poll_site::kEventRead))) {
            return false;
        }
        const EventRecord event = EventRecord::Decode(link_.message.Data());
        if (event.IsEnd()) {
            return true;
        }
        LoggedEvent logged{.record = event};
        const bool handled = HandleEvent(event, logged);
        logged.line = FormatEventLogLine(event);
        emit EventLogged(std::move(logged));
        if (!handled) {
            return false;
        }
    }
    return true;
}

bool ServiceSession::HandleEvent(const EventRecord& event, LoggedEvent& logged) {
    const int c = event.controller;
    const bool current = c == state_.currentController;
    EventRule rule = RuleFor(event.code);

    if (event.code == EVENT_DEVICE_CHANGED) {
        link_.lastMessage.clear();
        requests_.RequestDevice(c, event.deviceIndex);
        tableStale_ = true;
        if (!link_.lastMessage.empty()) {
            ++link_.failureCounter;
            return false;
        }
    } else if (event.code == EVENT_SET_LOST) {
        // A lost hot spare set is a spare taken into use, not a lost set.
        const RaidSet* set = table_.GetRaidSet(c, event.setIndex);
        if (set != nullptr && set->RaidType() == 3) {
            rule.textId = ids::kEventSpareAccessed;
            rule.args = EventArgs::Controller;
            rule.popup = {1, Severity::Information};
        }
    }

    if (rule.textId != kNoText) {
        ReportEvent(EventText(rule, event), rule.popup.severity, rule.popup.level);
        logged.severity = rule.popup.severity;
        logged.level = rule.popup.level;
    }
    link_.lastMessage.clear();
    if (rule.refresh.testFlag(Refresh::Controller)) {
        ReReadController(c);
    }
    if (rule.refresh.testFlag(Refresh::InfoIfNotCurrent) && !current && link_.lastMessage.empty()) {
        requests_.RequestControllerInfo(c);
        tableStale_ = true;
    }
    const bool channelFailed = !link_.lastMessage.empty();
    if (rule.refresh.testFlag(Refresh::RebuildDoneBalloon)) {
        emit Balloon(LoadString(ids::kBalloonRebuildDone),
                     FormatString(ids::kBalloonRebuildDoneText, c) + "%", Severity::Information);
    }
    if (current) {
        state_.deviceListDirty = state_.deviceListDirty || rule.refresh.testFlag(Refresh::Devices);
        state_.setListDirty = state_.setListDirty || rule.refresh.testFlag(Refresh::Sets);
    }
    if (channelFailed) {
        // The request has shown its message; the cycle ends here and counts it as a
        // failure, as an exchange of its own would.
        ++link_.failureCounter;
        return false;
    }
    return true;
}

void ServiceSession::ReReadController(int controller) {
    if (controller < 0 || controller >= ObjectTable::kMaxControllers) {
        // No table entry can hold it: the service named a controller that cannot exist.
        ReportEvent(LoadString(ids::kSystemError), Severity::Error, 3);
        return;
    }
    // Only controllers the service reported at connect have objects to re-read.
    if (controller >= static_cast<int>(state_.controllerCount)) {
        return;
    }
    if (requests_.ReadController(controller)) {
        emit ControllerReRead(controller, Snapshot());
    }
}

void ServiceSession::DrainErrorLog() {
    for (int n = 0; n < kMaxRecordsPerTick; ++n) {
        const LogEntry entry = requests_.RequestLogEntry();
        if (entry.controller >= LogEntry::kNoResponse) {
            return;
        }
        emit ErrorLogEntry(entry);
    }
}

bool ServiceSession::MailStatusStep(bool mailOnly) {
    const int writeSite = mailOnly ? poll_site::kMailOnlyStatusWrite : poll_site::kMailStatusWrite;
    const int readSite = mailOnly ? poll_site::kMailOnlyStatusRead : poll_site::kMailStatusRead;
    const int yearSite = mailOnly ? poll_site::kMailOnlyStatusYear : poll_site::kMailStatusYear;
    if (!Exchange(ExchangeSites::Plain(GET_MAIL_STATUS, "#", writeSite, readSite))) {
        return false;
    }
    const MailStatus status = MailStatus::Decode(link_.message.Data());
    if (status.nothingNew != 0) {
        return true;
    }
    if (!status.HasValidTime()) {
        ReportError(SiteText(std::to_string(status.time.year), yearSite));
        ++link_.failureCounter;
        return true;
    }
    ReportError(LoadString(ids::kMailSystemError) + status.text + " " +
                std::to_string(status.errorCode));
    return true;
}

void ServiceSession::DisconnectAfterFailures() {
    emit ConnectionDropping();
    DoDisconnect();
    link_.failureCounter = 0;
    link_.missedReplies = 0;
    connectionLost_ = true;
    emit ConnectionLost();
    ScheduleReconnect();
}

void ServiceSession::MailOnlyPoll() {
    // A service that stopped answering is given up as the full cycle gives it up:
    // otherwise every further tick would add one more "NO RESPONSE" popup, for ever.
    // A reply that reports a mail failure is an answer: it never counts here.
    if (link_.missedReplies > kFailuresBeforeDisconnect) {
        DisconnectAfterFailures();
        return;
    }
    link_.message.SetRequest(FLASH_END);
    try {
        link_.SendMessage();
    } catch (const ChannelError&) {
        ReportError(ErrorText(ids::kServiceWriteError, poll_site::kMailOnlyWrite));
        Disarm(mailOnlyTimer_);
        DisconnectAfterFailures();
        return;
    }
    MailStatusStep(true);
}

}  // namespace veltrix
