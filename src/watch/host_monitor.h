#pragma once
// One host watched without the user: its session with the service (which runs every
// conversation on a thread of its own), the session's last table snapshot, the drive
// and RAID set lists and the event history as models, and the notes of a lost and a
// regained connection. The session's reports reach this object's thread through its
// inbox, in the order the session sent them; the monitor takes its part of each report
// before a window that shows it is told.

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "session/service_session.h"
#include "session/session_types.h"
#include "watch/device_table_model.h"
#include "watch/event_history.h"
#include "watch/raid_set_table_model.h"
#include "watch/report_inbox.h"

namespace veltrix {

class HostMonitor : public QObject {
    Q_OBJECT

  public:
    // The session asks its questions through `questions`, which must outlive the
    // monitor; `time` null runs real timers.
    explicit HostMonitor(UserQuestions& questions, TimeSource* time = nullptr,
                         QObject* parent = nullptr);
    ~HostMonitor() override;

    ServiceSession& Session() { return *session_; }
    // The session's reports on this object's thread, in order.
    ReportInbox& Reports() { return inbox_; }
    // The session's last snapshot (empty while not connected); shared, never copied or
    // changed here.
    const TableSnapshot& Table() const { return table_; }
    DeviceTableModel& Devices() { return devices_; }
    RaidSetTableModel& RaidSets() { return sets_; }
    EventHistory& Events() { return events_; }
    // The controller error log lines the poll cycle drained, in arrival order and
    // without limit: the host's, whether a window shows them or not.
    const std::vector<LogEntry>& ErrorLog() const { return errorLog_; }

  signals:
    // The event history noted a lost (or regained) connection as `line`.
    void ConnectionNoted(const QString& line, bool lost);
    // A line was appended to ErrorLog().
    void ErrorLogAdded(const veltrix::LogEntry& entry);

  private:
    void Adopt(const TableSnapshot& table);
    void NoteConnection(bool lost);

    // The reports' inbox outlives the session that sends to it.
    ReportInbox inbox_;
    TableSnapshot table_ = std::make_shared<const ObjectTable>();
    DeviceTableModel devices_;
    RaidSetTableModel sets_;
    EventHistory events_;
    std::vector<LogEntry> errorLog_;
    // Last: the session's thread ends before the monitor's parts go.
    std::unique_ptr<ServiceSession> session_;
};

}  // namespace veltrix
