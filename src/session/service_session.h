#pragma once
// The session with the monitoring service: it owns the channel, the shared message
// buffer with its busy flag, the object table and the status requests, and runs every
// conversation — connect and login, enumeration, the poll cycle with its timers,
// events and re-reads, the error log, the mail status, rebuild progress and priority,
// sleep and resume, disconnect and logoff — on a thread of its own.
//
// Requests come in as calls from any thread and run in order on the session's
// thread. What happened goes out as signals carrying values (never pointers into the
// table); questions that need the user's answer in the middle of a conversation go
// through UserQuestions, and the conversation waits for the answer.
//
// One conversation runs at a time, to its end: while it waits for the service or for
// the user's answer, the session's timers do not tick (a tick that fell due meanwhile
// runs once afterwards). So no poll ever interleaves with another exchange, and the
// busy flag only keeps the poll away from a BIOS update that spans several requests.
//
// A new conversation (e-mail settings, passwords, the host log file, a BIOS update)
// is a function passed to Converse(): it runs on the session's thread with the link
// and the status requests. The window starts each one as a ConversationJob, which
// brings its result back to the window's thread.

#include <QObject>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "model/object_table.h"
#include "model/records.h"
#include "protocol/wait_canceller.h"
#include "session/reconnect_backoff.h"
#include "session/service_link.h"
#include "session/session_types.h"
#include "session/status_requests.h"
#include "session/time_source.h"
#include "session/timer.h"
#include "session/user_interface.h"

namespace veltrix {

class ServiceSession : public QObject {
    Q_OBJECT

  public:
    // Bound on a reply the service's protocol reads without a time-out of its own.
    static constexpr std::uint32_t kDefaultReplyBoundMs = 30000;
    // How long the Exit path waits for a reply on its way before it cuts the wait short.
    static constexpr std::chrono::milliseconds kReplyGrace{100};

    // Starts the session's thread. `questions` must outlive the session and may be
    // called on the session's thread; `time` (tests) must outlive it too, and without
    // it the timers run on real time on the session's thread.
    explicit ServiceSession(UserQuestions& questions, TimeSource* time = nullptr);
    ~ServiceSession() override;
    ServiceSession(const ServiceSession&) = delete;
    ServiceSession& operator=(const ServiceSession&) = delete;

    // Requests, queued to the session's thread in the order they are made.
    void Connect(const std::string& host, const std::string& password);
    void Disconnect();
    void Power(PowerEvent event);
    // Arms the reconnect timer (Autoconnect at start).
    void ArmReconnect(int ms);
    // Off also ends a watch that waits for its next try.
    void SetAutoConnect(bool on);
    // Off: a message box outside a conversation the user started (an automatic connect,
    // the poll cycle) is sent as MessageInsteadOfBox instead, and nothing waits for an
    // answer. On (the default) shows every box.
    void SetBoxesAllowed(bool allowed);
    // The random source of the back-off's jitter (tests fix it).
    void SeedBackoff(std::uint32_t seed);
    // What the window shows: the controller on screen, the selected set's index (-1
    // for none) and the priority slider's position.
    void SelectController(int controller);
    void SelectSet(int setIndex);
    void SetSliderPosition(int position);

    // Runs `conversation` on the session's thread, after everything asked before and
    // before any later poll tick; its requests take the busy flag as each needs it.
    // When a BIOS update or another conversation holds the channel, `onBusy` runs
    // instead. Both run on the session's thread: the window's code goes through
    // ConversationJob; veltrix-status, which has no window, calls this itself.
    void Converse(std::function<void(ServiceLink&, StatusRequests&)> conversation,
                  std::function<void()> onBusy = {});

    // Where a conversation asks its questions: the user's, or the default answer at
    // once while the session stops.
    UserQuestions& Questions() { return reports_; }

    // The Exit path's part: lets a reply on its way in for up to kReplyGrace, then ends
    // any wait, stops the timers, logs off when the channel is usable and stops the
    // thread. Waits at most `bound` for all of it. Returns false when the thread did
    // not end in time.
    bool Shutdown(std::chrono::milliseconds bound = std::chrono::milliseconds(1500));

    // Waits until every request made so far has run (tests, and the Exit path).
    void Sync();

    // For tests, only while the session is idle (after Sync): its state, link and table.
    const SessionState& State() const { return state_; }
    ServiceLink& Link() { return link_; }
    const ObjectTable& Table() const { return table_; }
    // Whether that timer runs.
    bool IsTimerSet(SessionTimer which) const;
    // The bound on replies read without a time-out of their own (tests shorten it).
    void SetReplyBound(std::uint32_t ms);

  signals:
    // The login was accepted.
    void Connected();
    // The service configuration was read: its version words and version number.
    void ServiceConfigRead(veltrix::ServiceConfig config, int serviceVersion);
    // The enumeration after the login goes on to its next request (sent before it).
    void EnumerationProgressed(veltrix::EnumerationStep step);
    // Enumeration finished: the table and the number of controllers (0: none found).
    void Enumerated(veltrix::TableSnapshot table, int controllerCount);
    // Disconnect started (the window shows that it is busy unless `quiet`).
    void Disconnecting(bool quiet);
    // Disconnect finished and the display is to be reset (a suspend keeps it and
    // sends nothing); `quiet` leaves the buttons and the picture alone.
    void Disconnected(bool quiet);
    // A message outside a dialog, offered to the popup filter with its level (255
    // always shows).
    void Popup(std::string text, veltrix::Severity severity, int level);
    void Balloon(std::string title, std::string text, veltrix::Severity severity);
    void TrayTipChanged(std::string tip);
    // A poll tick begins its work.
    void PollStarted();
    void RebuildProgressed(veltrix::RebuildView view);
    // The objects changed (rebuild positions, priorities); not sent when nothing did.
    void TableChanged(veltrix::TableSnapshot table);
    // An event with its line, its record and how serious it is (the system journal
    // takes it on the session's thread).
    void EventLogged(veltrix::LoggedEvent event);
    // A controller was read again after an event.
    void ControllerReRead(int controller, veltrix::TableSnapshot table);
    // The event loop ended: refill the lists when changes are pending. `table` is
    // null when the objects did not change since the last snapshot.
    void EventsHandled(bool changesPending, bool devicesDirty, bool setsDirty,
                       veltrix::TableSnapshot table);
    void ErrorLogEntry(veltrix::LogEntry entry);
    // The reconnect timer fell due: the window connects with the host and password
    // it shows.
    void ReconnectDue();
    // With Autoconnect, the next automatic connect is tried in `delayMs`; 0: none is
    // waiting any more (connected, given up by the user, or Autoconnect turned off).
    void ReconnectScheduled(int delayMs);
    // The service refused the login's password; no automatic connect follows until the
    // user connects again.
    void LoginRefused();
    // A message that would have been a box while boxes are not allowed.
    void MessageInsteadOfBox(std::string text);
    // The connection is about to go down without the user's asking: the Disconnected
    // that follows is a lost connection, and ConnectionLost comes after it.
    void ConnectionDropping();
    // The connection went down without the user's asking (the service stopped
    // answering, the channel broke), and came back by an automatic connect.
    void ConnectionLost();
    void ConnectionRegained();
    // The steps of a power event have run (for a suspend: the logoff is written and
    // the pipe closed).
    void PowerHandled(veltrix::PowerEvent event);

  private:
    // Runs `work` on the session's thread: at once when called there, otherwise
    // queued (`wait`: and waits until it has run).
    void Post(std::function<void()> work);
    void RunHere(const std::function<void()>& work);
    // Runs `work` on the session's thread and waits until it has run (or the thread
    // has ended without running it).
    void RunBlocking(const std::function<void()>& work);
    // The oldest work Post() queued; one call for each Post().
    Q_INVOKABLE void RunPosted();
    // After the thread has ended: what it did happens before what follows.
    void AfterThreadEnd();
    void OnPollTimer();
    void OnMailOnlyTimer();
    void OnReconnectTimer();
    void Arm(const std::unique_ptr<Timer>& timer, int ms);
    void Disarm(const std::unique_ptr<Timer>& timer);
    // A copy of the table for the window; ChangedSnapshot gives none when nothing
    // changed since the last copy, so a quiet poll copies nothing.
    TableSnapshot Snapshot();
    TableSnapshot ChangedSnapshot();
    bool Stopping() const { return stopping_.load(); }

    // Connect and login.
    enum class LoginResult { Accepted, Failed, Refused };
    void DoConnect(const std::string& host, const std::string& password);
    LoginResult Login(const std::string& host, const std::string& password);
    // The service refused the password: trying it again cannot help, so the watch ends.
    void EndWatchAfterRefusal();
    // A connect failed: a box for the user's own connect, otherwise (an automatic
    // connect nobody may be watching) a popup for the first try and the event log
    // for later ones, so nothing waits for an answer between tries.
    void ConnectFailed(const std::string& text);
    void ShowConnectFailure(const ChannelError& e, int stringId, int site);
    bool ConnectionEstablished();
    // With Autoconnect: the next automatic connect of the back-off.
    void ScheduleReconnect();
    void CancelReconnect();
    bool Enumerate();
    void ReadServiceVersion();
    void ShowChannelFailure(const ChannelError& e, int stringId, int site);
    void DoDisconnect();
    void DoPower(PowerEvent event);
    void ExitWork();

    // The poll cycle.
    // An exchange's error message: its text (or a literal) and the site, made only when
    // the error happens; a cycle's exchanges almost never need theirs.
    struct SiteMessage {
        int textId = -1;  // -1: `literal` instead
        const char* literal = "";
        const char* separator = "#";
        int site = 0;
        std::string Text() const;
    };
    struct ExchangeSites {
        std::uint32_t code;
        std::span<const std::uint8_t> data;
        SiteMessage writeError;
        SiteMessage readError;
        std::optional<SiteMessage> waitError = {};
        bool readErrorWithPipeState = false;

        // A request without data whose failures are the service's write and read errors
        // at `writeSite` and `readSite`.
        static ExchangeSites Plain(std::uint32_t code, const char* separator, int writeSite,
                                   int readSite);
    };
    void PollCycle();
    void MailOnlyPoll();
    // Too many replies did not come: disconnect, and reconnect later with Autoconnect.
    void DisconnectAfterFailures();
    bool MailStatusStep(bool mailOnly);
    bool Exchange(const ExchangeSites& sites);
    std::string WithPipeState(const ChannelError& e, const std::string& text);
    void NoResponse();
    bool EventLoop();
    // False when a read it asked for failed on the channel: the cycle ends. Puts the
    // severity and level of the event's message into `logged`.
    bool HandleEvent(const EventRecord& event, LoggedEvent& logged);
    void ReReadController(int controller);
    void DrainErrorLog();
    void ReportEvent(const std::string& text, Severity severity, int level);
    void ReportError(const std::string& text);

    // Rebuild progress and priority.
    bool RebuildStep(int controller, std::string& tip);
    bool PriorityStep();
    void SendPriority(int controller, int setIndex, int priority);

    // The requests' message boxes go to the user's questions (none while the session
    // stops); their error reports become popups.
    class RequestReports : public UserInterface {
      public:
        explicit RequestReports(ServiceSession& session) : session_(session) {}
        MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                                  MessageButtons buttons) override;
        void ReportError(const std::string& text) override { session_.ReportError(text); }

      private:
        ServiceSession& session_;
    };

    UserQuestions& questions_;
    TimeSource* externalTime_;
    std::unique_ptr<TimeSource> ownTime_;
    // Timer 1: 500 ms once after connect, then 5000 ms; timer 2: the mail-only poll
    // while the service reports no controller; timer 99: connect again.
    std::unique_ptr<Timer> pollTimer_;
    std::unique_ptr<Timer> mailOnlyTimer_;
    std::unique_ptr<Timer> reconnectTimer_;
    ReconnectBackoff backoff_;
    // The connect under way was started by the reconnect timer, not the user.
    bool automaticConnect_ = false;
    // The connection was lost without the user's asking and has not come back yet.
    bool connectionLost_ = false;
    // Whether a box may be shown outside a conversation the user started, and whether
    // one of those runs now.
    bool boxesAllowed_ = true;
    bool userConversation_ = false;
    WaitCanceller canceller_;
    RequestReports reports_{*this};
    ServiceLink link_;
    ObjectTable table_;
    StatusRequests requests_;
    SessionState state_;
    std::uint32_t replyBoundMs_ = kDefaultReplyBoundMs;
    // The table changed since the window got its last copy.
    bool tableStale_ = false;
    std::atomic<bool> stopping_{false};
    // Work for the session's thread. It travels through this lock rather than inside
    // Qt's event, which only wakes the thread: Debian's Qt is not built with
    // ThreadSanitizer, which would not see the event queue's lock order the hand-off.
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    QThread thread_;
};

}  // namespace veltrix
