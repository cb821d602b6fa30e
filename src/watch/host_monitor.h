#pragma once
// One host watched without the user: its session with the service (which runs every
// conversation on a thread of its own), the connection's state, Autoconnect's wait for
// its next try, the session's last table snapshot, the drive and RAID set lists and the
// event history as models, and the notes of a lost and a regained connection. The
// session's reports reach this object's thread through its inbox, in the order the
// session sent them; the monitor takes its part of each report first and then tells a
// window that shows it through its own signals, on its own thread.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "session/service_session.h"
#include "session/session_types.h"
#include "watch/device_table_model.h"
#include "watch/event_history.h"
#include "watch/host_entry.h"
#include "watch/host_state.h"
#include "watch/raid_set_table_model.h"
#include "watch/report_inbox.h"

namespace veltrix {

// The popup level of a message that shows whatever the popup settings say.
inline constexpr int kAlwaysShownLevel = 255;

class HostMonitor : public QObject {
    Q_OBJECT

  public:
    // The session asks its questions through `questions`, which must outlive the
    // monitor; `time` null runs real timers.
    explicit HostMonitor(UserQuestions& questions, TimeSource* time = nullptr,
                         QObject* parent = nullptr);
    ~HostMonitor() override;

    ServiceSession& Session() { return *session_; }

    // The host as the user configured it; the session is not told until Connect().
    void SetEntry(const HostEntry& entry);
    const HostEntry& Entry() const { return entry_; }
    const QString& Name() const { return entry_.name; }
    // The user's connect with the entry's address and password; it ends a refusal.
    void Connect();
    // The user's disconnect: it also lets go of what a lost connection kept.
    void Disconnect();
    // Off: what the session would show as a box outside a conversation the user
    // started becomes a warning popup request and a line of the event history. On by
    // default.
    void SetBoxesAllowed(bool allowed);

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

    // The connection as the reports told it: logged in, the controllers enumerated, the
    // service's version and configuration as read at the login (the version stays
    // after a logoff, the configuration does not).
    bool IsConnected() const { return connected_; }
    std::uint32_t ControllerCount() const { return controllerCount_; }
    // The last rebuild figures of `controller` since the login; null when none runs.
    const RebuildView* LastRebuild(int controller) const;
    std::int32_t ServiceVersion() const { return serviceVersion_; }
    const ServiceConfig& Config() const { return config_; }
    // Whole seconds until Autoconnect's next try; -1 while none is waiting.
    int ReconnectSecondsLeft() const;

    // The host's state and its line; StateChanged tells when either changed.
    HostState State() const;
    QString StateLine() const;
    // After a lost connection (not the user's Disconnect) the table, the lists and the
    // controller count stay as they were last read until a new enumeration replaces
    // them or the user disconnects; meanwhile this is true.
    bool IsStale() const { return stale_; }
    // When the service last answered a read (enumeration or poll cycle); null before.
    const QDateTime& LastReadAt() const { return lastReadAt_; }

  signals:
    // The session's reports, after the monitor has taken its part of each.
    void Connected();
    void EnumerationProgressed(veltrix::EnumerationStep step);
    void Enumerated(int controllerCount);
    void Disconnecting(bool quiet);
    void Disconnected(bool quiet);
    void RebuildProgressed(const veltrix::RebuildView& view);
    void EventLogged(const veltrix::LoggedEvent& event);
    void ControllerReRead(int controller);
    void EventsHandled(bool changesPending, bool devicesDirty, bool setsDirty);
    void PowerHandled(veltrix::PowerEvent event);
    // What a window shows of the host without being asked: a message offered to its
    // popup filter with its level (255 always shows), a balloon, a tray tooltip.
    // `level` kAlwaysShownLevel: the host's own message (a failed automatic connect,
    // a box it could not show), shown whatever the popup settings say.
    void PopupRequested(const std::string& text, veltrix::Severity severity, int level);
    void BalloonRequested(const std::string& title, const std::string& text,
                          veltrix::Severity severity);
    void TrayTipRequested(const std::string& tip);
    // Autoconnect's next try is waiting `delayMs` (0: none waits any more); while it
    // waits, the seconds left every second; when it falls due, the window connects.
    void ReconnectScheduled(int delayMs);
    void ReconnectCountdown(int secondsLeft);
    void ReconnectDue();
    // The event history noted a lost (or regained) connection as `line`.
    void ConnectionNoted(const QString& line, bool lost);
    // A line was appended to ErrorLog().
    void ErrorLogAdded(const veltrix::LogEntry& entry);
    // State() or StateLine() changed.
    void StateChanged();
    // SetEntry() changed the entry.
    void EntryChanged();
    // The service refused the password; no automatic connect follows until Connect().
    void LoginRefused();

  private:
    static RebuildPercents FreshRebuilds();
    void RouteState();
    void RouteRequests();
    void Adopt(const TableSnapshot& table);
    void OnDisconnected(bool quiet);
    void OnReconnectScheduled(int delayMs);
    void StopCountdown();
    void NoteConnection(bool lost);
    void NoteRead();
    void OnRebuildProgressed(const RebuildView& view);
    void OnPopup(const std::string& text, Severity severity, int level);
    void OnMessageInsteadOfBox(const std::string& text);
    void ClearHostState();
    HostState Evaluate(int& percent) const;
    // Emits StateChanged when the state or its line differ from the last told ones.
    void NoteState();

    // The reports' inbox outlives the session that sends to it.
    ReportInbox inbox_;
    TableSnapshot table_ = std::make_shared<const ObjectTable>();
    DeviceTableModel devices_;
    RaidSetTableModel sets_;
    EventHistory events_;
    std::vector<LogEntry> errorLog_;
    bool connected_ = false;
    std::uint32_t controllerCount_ = 0;
    std::int32_t serviceVersion_ = 0;
    ServiceConfig config_;
    std::unique_ptr<TimeSource> ownTime_;
    TimeSource* time_;
    // Ticks every second while Autoconnect waits for its next try, due at that time.
    TimeSource::TimerHandle countdownTimer_ = 0;
    std::int64_t reconnectDueMs_ = 0;
    HostEntry entry_;
    bool refused_ = false;
    // The next Disconnected is a lost connection's (ConnectionDropping came first).
    bool dropping_ = false;
    bool stale_ = false;
    QDateTime lastReadAt_;
    bool boxesAllowed_ = true;
    RebuildPercents rebuilds_ = FreshRebuilds();
    std::array<RebuildView, ObjectTable::kMaxControllers> lastRebuilds_{};
    HostState toldState_ = HostState::NotConnected;
    QString toldLine_;
    // Last: the session's thread ends before the monitor's parts go.
    std::unique_ptr<ServiceSession> session_;
};

}  // namespace veltrix
