#include "watch/host_monitor.h"

#include <QTime>

namespace veltrix {

HostMonitor::HostMonitor(UserQuestions& questions, TimeSource* time, QObject* parent)
    : QObject(parent), session_(std::make_unique<ServiceSession>(questions, time)) {
    // Routed first, so each report has changed the snapshot and the history before any
    // other handler of the inbox sees it.
    ServiceSession* s = session_.get();
    ReportInbox& in = inbox_;
    in.Route(s, &ServiceSession::Enumerated,
             [this](const TableSnapshot& table, int) { Adopt(table); });
    in.Route(s, &ServiceSession::TableChanged, this, &HostMonitor::Adopt);
    in.Route(s, &ServiceSession::ControllerReRead,
             [this](int, const TableSnapshot& table) { Adopt(table); });
    in.Route(s, &ServiceSession::EventsHandled,
             [this](bool, bool, bool, const TableSnapshot& table) { Adopt(table); });
    in.Route(s, &ServiceSession::Disconnected,
             [this](bool) { table_ = std::make_shared<const ObjectTable>(); });
    in.Route(s, &ServiceSession::EventLogged,
             [this](const LoggedEvent& event) { events_.Append(event.record); });
    in.Route(s, &ServiceSession::ErrorLogEntry, [this](const LogEntry& entry) {
        errorLog_.push_back(entry);
        emit ErrorLogAdded(entry);
    });
    in.Route(s, &ServiceSession::ConnectionLost, [this] { NoteConnection(true); });
    in.Route(s, &ServiceSession::ConnectionRegained, [this] { NoteConnection(false); });
}

HostMonitor::~HostMonitor() {
    session_->Shutdown();
}

void HostMonitor::Adopt(const TableSnapshot& table) {
    // Nothing when the session sends none (unchanged).
    if (table != nullptr) {
        table_ = table;
    }
}

void HostMonitor::NoteConnection(bool lost) {
    events_.AppendConnectionNote(lost, QTime::currentTime().msecsSinceStartOfDay() / 1000);
    emit ConnectionNoted(events_.LastLine(), lost);
}

}  // namespace veltrix
