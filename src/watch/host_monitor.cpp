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
        emit Connected();
    });
    in.Route(s, &ServiceSession::ServiceConfigRead,
             [this](const ServiceConfig& config, int version) {
                 config_ = config;
                 serviceVersion_ = version;
             });
    in.Route(s, &ServiceSession::Enumerated, [this](const TableSnapshot& table, int count) {
        Adopt(table);
        controllerCount_ = static_cast<std::uint32_t>(count);
        emit Enumerated(count);
    });
    in.Route(s, &ServiceSession::TableChanged, this, &HostMonitor::Adopt);
    in.Route(s, &ServiceSession::ControllerReRead,
             [this](int controller, const TableSnapshot& table) {
                 Adopt(table);
                 emit ControllerReRead(controller);
             });
    in.Route(s, &ServiceSession::EventsHandled,
             [this](bool pending, bool devices, bool sets, const TableSnapshot& table) {
                 Adopt(table);
                 emit EventsHandled(pending, devices, sets);
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
    in.Route(s, &ServiceSession::ConnectionLost, [this] { NoteConnection(true); });
    in.Route(s, &ServiceSession::ConnectionRegained, [this] { NoteConnection(false); });
    in.Route(s, &ServiceSession::ReconnectScheduled, this, &HostMonitor::OnReconnectScheduled);
    in.Route(s, &ServiceSession::ReconnectDue, [this] {
        StopCountdown();
        emit ReconnectDue();
    });
}

void HostMonitor::RouteRequests() {
    // Reports the monitor keeps nothing of, passed on in their order.
    ServiceSession* s = session_.get();
    ReportInbox& in = inbox_;
    in.Route(s, &ServiceSession::EnumerationProgressed, this, &HostMonitor::EnumerationProgressed);
    in.Route(s, &ServiceSession::Disconnecting, this, &HostMonitor::Disconnecting);
    in.Route(s, &ServiceSession::RebuildProgressed, this, &HostMonitor::RebuildProgressed);
    in.Route(s, &ServiceSession::PowerHandled, this, &HostMonitor::PowerHandled);
    in.Route(s, &ServiceSession::Popup, this, &HostMonitor::PopupRequested);
    in.Route(s, &ServiceSession::Balloon, this, &HostMonitor::BalloonRequested);
    in.Route(s, &ServiceSession::TrayTipChanged, this, &HostMonitor::TrayTipRequested);
}

void HostMonitor::Adopt(const TableSnapshot& table) {
    // Nothing when the session sends none (unchanged).
    if (table != nullptr) {
        table_ = table;
    }
}

void HostMonitor::OnDisconnected(bool quiet) {
    table_ = std::make_shared<const ObjectTable>();
    connected_ = false;
    controllerCount_ = 0;
    config_ = ServiceConfig{};
    devices_.Clear();
    sets_.Clear();
    emit Disconnected(quiet);
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
        return;
    }
    reconnectDueMs_ = time_->NowMs() + delayMs;
    if (countdownTimer_ == 0) {
        countdownTimer_ = time_->StartTimer(
            kCountdownStepMs, [this] { emit ReconnectCountdown(ReconnectSecondsLeft()); });
    }
    emit ReconnectScheduled(delayMs);
    emit ReconnectCountdown(ReconnectSecondsLeft());
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
