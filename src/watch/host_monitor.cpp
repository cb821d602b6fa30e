#include "watch/host_monitor.h"

#include <QDateTime>
#include <algorithm>

#include "session/qt_time_source.h"

namespace veltrix {

namespace {

constexpr int kCountdownStepMs = 1000;

}  // namespace

HostMonitor::HostMonitor(UserQuestions& questions, TimeSource* time, QObject* parent)
    : QObject(parent),
      ownTime_(time == nullptr ? std::make_unique<QtTimeSource>() : nullptr),
      time_(time == nullptr ? ownTime_.get() : time),
      session_(std::make_unique<ServiceSession>(questions, time)) {
    // Routed first, so each report has changed the monitor before its window hears it.
    RouteState();
    RouteRequests();
    toldState_ = State();
    toldLine_ = StateLine();
}

RebuildPercents HostMonitor::FreshRebuilds() {
    RebuildPercents none;
    none.fill(-1);
    return none;
}

HostMonitor::~HostMonitor() {
    StopCountdown();
    session_->Shutdown();
}

void HostMonitor::RouteState() {
    ServiceSession* s = session_.get();
    ReportInbox& in = inbox_;
    in.Route(s, &ServiceSession::Connected, [this] {
        StopCountdown();
        connected_ = true;
        refused_ = false;
        emit Connected();
        NoteState();
    });
    in.Route(s, &ServiceSession::ServiceConfigRead,
             [this](const ServiceConfig& config, int version) {
                 config_ = config;
                 serviceVersion_ = version;
             });
    in.Route(s, &ServiceSession::Enumerated, [this](const TableSnapshot& table, int count) {
        Adopt(table);
        stale_ = false;
        controllerCount_ = static_cast<std::uint32_t>(count);
        NoteRead();
        emit Enumerated(count);
        NoteState();
    });
    in.Route(s, &ServiceSession::TableChanged, [this](const TableSnapshot& table) {
        Adopt(table);
        NoteState();
    });
    in.Route(s, &ServiceSession::ControllerReRead,
             [this](int controller, const TableSnapshot& table) {
                 Adopt(table);
                 emit ControllerReRead(controller);
                 NoteState();
             });
    in.Route(s, &ServiceSession::EventsHandled,
             [this](bool pending, bool devices, bool sets, const TableSnapshot& table) {
                 Adopt(table);
                 NoteRead();
                 emit EventsHandled(pending, devices, sets);
                 NoteState();
             });
    in.Route(s, &ServiceSession::Disconnected, this, &HostMonitor::OnDisconnected);
    in.Route(s, &ServiceSession::EventLogged, [this](const LoggedEvent& event) {
        events_.Append(event.record, event.severity);
        emit EventLogged(event);
    });
    in.Route(s, &ServiceSession::ErrorLogEntry, [this](const LogEntry& entry) {
        errorLog_.push_back(entry);
        emit ErrorLogAdded(entry);
    });
    in.Route(s, &ServiceSession::ConnectionDropping, [this] { dropping_ = true; });
    in.Route(s, &ServiceSession::ConnectionLost, [this] { NoteConnection(true); });
    in.Route(s, &ServiceSession::ConnectionRegained, [this] { NoteConnection(false); });
    in.Route(s, &ServiceSession::ReconnectScheduled, this, &HostMonitor::OnReconnectScheduled);
    in.Route(s, &ServiceSession::ReconnectDue, [this] {
        StopCountdown();
        emit ReconnectDue();
        NoteState();
    });
    in.Route(s, &ServiceSession::LoginRefused, [this] {
        StopCountdown();
        refused_ = true;
        emit LoginRefused();
        NoteState();
    });
}

void HostMonitor::RouteRequests() {
    // Reports the monitor keeps nothing of, passed on in their order.
    ServiceSession* s = session_.get();
    ReportInbox& in = inbox_;
    in.Route(s, &ServiceSession::EnumerationProgressed, this, &HostMonitor::EnumerationProgressed);
    in.Route(s, &ServiceSession::Disconnecting, this, &HostMonitor::Disconnecting);
    in.Route(s, &ServiceSession::RebuildProgressed, this, &HostMonitor::OnRebuildProgressed);
    in.Route(s, &ServiceSession::PowerHandled, this, &HostMonitor::PowerHandled);
    in.Route(s, &ServiceSession::Popup, this, &HostMonitor::OnPopup);
    in.Route(s, &ServiceSession::Balloon, this, &HostMonitor::BalloonRequested);
    in.Route(s, &ServiceSession::TrayTipChanged, this, &HostMonitor::TrayTipRequested);
    in.Route(s, &ServiceSession::MessageInsteadOfBox, this, &HostMonitor::OnMessageInsteadOfBox);
}

void HostMonitor::SetEntry(const HostEntry& entry) {
    if (entry != entry_) {
        entry_ = entry;
        emit EntryChanged();
    }
}

void HostMonitor::Connect() {
    refused_ = false;
    NoteState();
    session_->Connect(entry_.address, entry_.password);
}

void HostMonitor::Disconnect() {
    if (stale_) {
        ClearHostState();
        NoteState();
    }
    session_->Disconnect();
}

void HostMonitor::SetBoxesAllowed(bool allowed) {
    boxesAllowed_ = allowed;
    session_->SetBoxesAllowed(allowed);
}

void HostMonitor::Adopt(const TableSnapshot& table) {
    // Nothing when the session sends none (unchanged).
    if (table != nullptr) {
        table_ = table;
    }
}

void HostMonitor::OnDisconnected(bool quiet) {
    connected_ = false;
    rebuilds_ = FreshRebuilds();
    lastRebuilds_ = {};
    if (dropping_ || stale_) {
        // Lost (or lost again while reconnecting): the last known state stays.
        dropping_ = false;
        stale_ = true;
    } else {
        ClearHostState();
    }
    emit Disconnected(quiet);
    NoteState();
}

void HostMonitor::ClearHostState() {
    stale_ = false;
    table_ = std::make_shared<const ObjectTable>();
    controllerCount_ = 0;
    config_ = ServiceConfig{};
    devices_.Clear();
    sets_.Clear();
}

void HostMonitor::NoteRead() {
    lastReadAt_ = QDateTime::currentDateTime();
}

const RebuildView* HostMonitor::LastRebuild(int controller) const {
    if (controller < 0 || controller >= ObjectTable::kMaxControllers) {
        return nullptr;
    }
    const RebuildView& view = lastRebuilds_[static_cast<std::size_t>(controller)];
    return view.active ? &view : nullptr;
}

void HostMonitor::OnRebuildProgressed(const RebuildView& view) {
    if (view.controller >= 0 && view.controller < ObjectTable::kMaxControllers) {
        rebuilds_[static_cast<std::size_t>(view.controller)] = view.active ? view.percent : -1;
        lastRebuilds_[static_cast<std::size_t>(view.controller)] = view;
    }
    emit RebuildProgressed(view);
    NoteState();
}

void HostMonitor::OnMessageInsteadOfBox(const std::string& text) {
    OnPopup(text, Severity::Warning, kAlwaysShownLevel);
}

void HostMonitor::OnPopup(const std::string& text, Severity severity, int level) {
    // Without boxes (several hosts watched) the host's own messages, which always show,
    // are kept in its event history too: a notification passes, the history stays.
    if (level == kAlwaysShownLevel && !boxesAllowed_) {
        events_.AppendMessage(QString::fromStdString(text), QDateTime::currentDateTime());
    }
    emit PopupRequested(text, severity, level);
}

HostState HostMonitor::Evaluate(int& percent) const {
    if (connected_) {
        return SetsState(*table_, rebuilds_, percent);
    }
    if (refused_) {
        return HostState::PasswordRefused;
    }
    return countdownTimer_ != 0 ? HostState::Reconnecting : HostState::NotConnected;
}

HostState HostMonitor::State() const {
    int percent = 0;
    return Evaluate(percent);
}

QString HostMonitor::StateLine() const {
    int percent = 0;
    const HostState state = Evaluate(percent);
    return StateLineOf(state, percent, ReconnectSecondsLeft());
}

void HostMonitor::NoteState() {
    const HostState state = State();
    QString line = StateLine();
    if (state == toldState_ && line == toldLine_) {
        return;
    }
    toldState_ = state;
    toldLine_ = std::move(line);
    emit StateChanged();
}

int HostMonitor::ReconnectSecondsLeft() const {
    if (countdownTimer_ == 0) {
        return -1;
    }
    const std::int64_t left = std::max<std::int64_t>(0, reconnectDueMs_ - time_->NowMs());
    return static_cast<int>((left + kCountdownStepMs - 1) / kCountdownStepMs);
}

void HostMonitor::OnReconnectScheduled(int delayMs) {
    if (delayMs <= 0) {
        StopCountdown();
        emit ReconnectScheduled(0);
        NoteState();
        return;
    }
    reconnectDueMs_ = time_->NowMs() + delayMs;
    if (countdownTimer_ == 0) {
        countdownTimer_ = time_->StartTimer(kCountdownStepMs, [this] {
            emit ReconnectCountdown(ReconnectSecondsLeft());
            NoteState();
        });
    }
    emit ReconnectScheduled(delayMs);
    emit ReconnectCountdown(ReconnectSecondsLeft());
    NoteState();
}

void HostMonitor::StopCountdown() {
    if (countdownTimer_ != 0) {
        time_->StopTimer(countdownTimer_);
        countdownTimer_ = 0;
    }
}

void HostMonitor::NoteConnection(bool lost) {
    events_.AppendConnectionNote(lost, QDateTime::currentDateTime());
    emit ConnectionNoted(events_.LastLine(), lost);
}

}  // namespace veltrix
