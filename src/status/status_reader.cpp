#include "status/status_reader.h"

#include <QObject>
#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "session/error_sites.h"
#include "session/manual_time_source.h"
#include "session/service_session.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix::status {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The session's message boxes: nobody is there to answer them, so they are kept
// for the report and answered as a box that nobody can answer.
class MessageLog : public UserQuestions {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon,
                              MessageButtons buttons) override {
        const std::lock_guard lock(mutex_);
        texts_.push_back(text);
        return DefaultAnswer(buttons);
    }
    std::vector<std::string> Texts() const {
        const std::lock_guard lock(mutex_);
        return texts_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

// What the session's thread finds out, handed to the thread that waits for it. The
// plain fields are written on the session's thread before Finish() (or before the
// thread ends) and read after that.
struct RunState {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    // Set by the waiting thread when the time-out ran out: nothing more is sent.
    std::atomic<bool> abandoned{false};
    std::atomic<bool> connected{false};
    std::atomic<bool> enumerated{false};

    ServiceConfig config;
    int serviceVersion = 0;
    TableSnapshot table;
    int controllerCount = 0;
    std::array<RebuildStatus, ObjectTable::kMaxControllers> rebuilds{};
    Failure failure = Failure::None;
    std::string failureMessage;
    double connectedMs = 0;
    double enumeratedMs = 0;
    double rebuildsMs = 0;

    void Finish() {
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        changed.notify_all();
    }
};

// GET_REBUILD_STATUS once for every controller, on the session's thread with the
// logged-in link. A reply shorter than the record is no answer: read as zeros it would
// say "no rebuild" about a controller the service said nothing about.
void AskRebuilds(ServiceLink& link, RunState& state) {
    if (!state.enumerated || state.abandoned) {
        return;
    }
    const PipeBusyLock busy(link);
    if (!busy.Held()) {
        state.failure = Failure::ChannelError;
        state.failureMessage = "the session's channel is in use";
        return;
    }
    for (int c = 0; c < state.controllerCount && !state.abandoned; ++c) {
        const std::array<std::uint8_t, 1> request{static_cast<std::uint8_t>(c)};
        link.message.SetRequest(GET_REBUILD_STATUS, request);
        try {
            link.SendMessage();
            link.ReceiveMessage();
        } catch (const ChannelError& e) {
            state.failure = Failure::ChannelError;
            state.failureMessage = "rebuild status of controller " + std::to_string(c) + ": " +
                                   e.GetErrorMessage() + " (error " + std::to_string(e.errorCode) +
                                   ")";
            return;
        }
        constexpr std::size_t kExpected = ServiceMessage::kHeaderSize + RebuildStatus::kSize;
        if (link.message.received < kExpected) {
            state.failure = Failure::Protocol;
            state.failureMessage = "the rebuild status of controller " + std::to_string(c) +
                                   " came as " + std::to_string(link.message.received) +
                                   " bytes, " + std::to_string(kExpected) + " expected";
            return;
        }
        state.rebuilds[static_cast<std::size_t>(c)] = RebuildStatus::Decode(link.message.Data());
    }
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string AllOnOneLine(const std::vector<std::string>& texts);

// Whether a line of the session's messages is one of the window's own texts ("Kavotronik
// Service not available ?", "Error #KGD-715", ...) rather than what the system said.
bool IsWindowText(const std::string& line) {
    static const int kWindowTexts[] = {ids::kServiceNotAvailable, ids::kConnectionNotPossible,
                                       ids::kLineBusy, ids::kServiceWriteError};
    if (line.starts_with("Error #")) {
        return true;
    }
    for (const int id : kWindowTexts) {
        if (line == LoadString(id)) {
            return true;
        }
    }
    return false;
}

// The session's messages as one line: what the system said, the window's own texts
// left out ("; " between the rest). All of them when nothing else is left.
std::string OneLine(const std::vector<std::string>& texts) {
    std::string line;
    for (const std::string& text : texts) {
        std::size_t from = 0;
        while (from <= text.size()) {
            const std::size_t end = std::min(text.find('\n', from), text.size());
            std::string part = text.substr(from, end - from);
            while (!part.empty() && (part.back() == ' ' || part.back() == '\r')) {
                part.pop_back();
            }
            if (!part.empty() && !IsWindowText(part)) {
                line += (line.empty() ? "" : "; ") + part;
            }
            from = end + 1;
        }
    }
    return line.empty() ? AllOnOneLine(texts) : line;
}

// The session's messages as one line, every text of them.
std::string AllOnOneLine(const std::vector<std::string>& texts) {
    std::string line;
    for (const std::string& text : texts) {
        for (const char c : text) {
            const bool blank = c == '\n' || c == '\r' || c == ' ';
            if (blank && (line.empty() || line.back() == ' ')) {
                continue;
            }
            line.push_back(blank ? ' ' : c);
        }
        if (!line.empty() && line.back() != ' ') {
            line.push_back(' ');
        }
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

std::string Duration(milliseconds ms) {
    return ms.count() % 1000 == 0 ? std::to_string(ms.count() / 1000) + " s"
                                  : std::to_string(ms.count()) + " ms";
}

// Time kept back from the run's time-out for ending the session and logging off.
milliseconds ShutdownReserve(milliseconds timeout) {
    return std::clamp(timeout / 5, milliseconds(50), milliseconds(500));
}

// Milliseconds since the run started, for the timings.
struct Stopwatch {
    Clock::time_point start = Clock::now();

    double ElapsedMs() const {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
};

// What the session refers to until it ends, made in this order; the session goes first.
struct SessionParts {
    std::unique_ptr<MessageLog> messages = std::make_unique<MessageLog>();
    std::unique_ptr<ManualTimeSource> clock = std::make_unique<ManualTimeSource>();
    std::unique_ptr<RunState> state = std::make_unique<RunState>();
    std::unique_ptr<ServiceSession> session =
        std::make_unique<ServiceSession>(*messages, clock.get());

    // A wait that nothing can end holds the session's thread; it keeps what it uses.
    void Abandon() {
        static_cast<void>(session.release());
        static_cast<void>(messages.release());
        static_cast<void>(clock.release());
        static_cast<void>(state.release());
    }
};

// Connect and login: the time of the login and the service's configuration.
void WatchLogin(ServiceSession& session, RunState& run, Stopwatch stopwatch) {
    QObject::connect(
        &session, &ServiceSession::Connected, &session,
        [&run, stopwatch] {
            run.connectedMs = stopwatch.ElapsedMs();
            run.connected = true;
        },
        Qt::DirectConnection);
    QObject::connect(
        &session, &ServiceSession::ServiceConfigRead, &session,
        [&run](ServiceConfig config, int version) {
            run.config = config;
            run.serviceVersion = version;
        },
        Qt::DirectConnection);
}

// Enumeration: controllers, drives and sets as the main window reads them.
void WatchEnumeration(ServiceSession& session, RunState& run, Stopwatch stopwatch) {
    QObject::connect(
        &session, &ServiceSession::Enumerated, &session,
        [&run, stopwatch](TableSnapshot table, int count) {
            run.table = std::move(table);
            run.controllerCount = std::clamp(count, 0, ObjectTable::kMaxControllers);
            run.enumeratedMs = stopwatch.ElapsedMs();
            run.enumerated = true;
        },
        Qt::DirectConnection);
}

// No reply waits longer than the whole run may take.
void ConnectAndLogIn(ServiceSession& session, const ReadRequest& request) {
    session.SetReplyBound(static_cast<std::uint32_t>(std::max<std::int64_t>(
        1, std::min<std::int64_t>(request.timeout.count(), ServiceSession::kDefaultReplyBoundMs))));
    session.Connect(request.host, request.password);
}

// The rebuild questions follow the enumeration on the session's thread; either way
// the run is finished afterwards.
void AskRebuildsAfterEnumeration(ServiceSession& session, RunState& run, Stopwatch stopwatch) {
    session.Converse(
        [&run, stopwatch](ServiceLink& link, StatusRequests&) {
            AskRebuilds(link, run);
            run.rebuildsMs = stopwatch.ElapsedMs();
            run.Finish();
        },
        [&run] {
            run.failure = Failure::ChannelError;
            run.failureMessage = "the session's channel is in use";
            run.Finish();
        });
}

// Whether the run finished by `deadline`; if not, it is abandoned.
bool WaitForRun(RunState& run, Clock::time_point deadline) {
    bool finished = false;
    {
        std::unique_lock lock(run.mutex);
        finished = run.changed.wait_until(lock, deadline, [&run] { return run.done; });
    }
    if (!finished) {
        run.abandoned = true;
    }
    return finished;
}

// Ends any wait at once and logs off when the login went through; false when the
// session could not end within `reserve` (its parts are then left to it).
bool LogOff(SessionParts& parts, milliseconds reserve) {
    if (!parts.session->Shutdown(reserve)) {
        parts.Abandon();
        return false;
    }
    parts.session.reset();
    return true;
}

// The failure of a run whose session has ended, if it failed.
bool ReportFailure(StatusReport& report, const RunState& run, bool finished,
                   const MessageLog& messages, milliseconds timeout) {
    if (!finished) {
        report.failure = Failure::Timeout;
        const char* phase = !run.connected    ? "connecting and logging in"
                            : !run.enumerated ? "reading controllers, drives and sets"
                                              : "asking for the rebuild status";
        report.failureMessage =
            std::string("no status within ") + Duration(timeout) + " (the run was " + phase + ")";
        return true;
    }
    if (run.failure != Failure::None) {
        report.failure = run.failure;
        report.failureMessage = run.failureMessage;
        return true;
    }
    // No controllers is an answer, not a failure.
    std::vector<std::string> texts = messages.Texts();
    std::erase(texts, LoadString(ids::kDriverNotFound));
    if (!run.enumerated || !texts.empty() || run.table == nullptr) {
        report.failure = run.enumerated ? Failure::ChannelError : ClassifyMessages(texts);
        report.failureMessage =
            texts.empty() ? "the service ended the conversation without a status" : OneLine(texts);
        return true;
    }
    return false;
}

}  // namespace

Failure ClassifyMessages(const std::vector<std::string>& messages) {
    const std::string& busy = LoadString(ids::kLineBusy);
    const std::string notAvailable =
        ErrorText(ids::kServiceNotAvailable, connect_site::kNotAvailable);
    const std::string openFailed = ErrorText(ids::kConnectionNotPossible, connect_site::kOpen);
    const std::string& refused = LoadString(ids::kInvalidPassword);
    for (const std::string& message : messages) {
        if (EndsWith(message, notAvailable)) {
            return message.find(busy) != std::string::npos ? Failure::Busy : Failure::Unreachable;
        }
        if (message == openFailed) {
            return Failure::ConnectFailed;
        }
        if (message == refused) {
            return Failure::LoginRefused;
        }
    }
    return Failure::ChannelError;
}

StatusReport ReadStatus(const ReadRequest& request, RunTimings* timings) {
    const Stopwatch stopwatch;
    StatusReport report;
    report.host = request.host;

    SessionParts parts;
    RunState& run = *parts.state;
    WatchLogin(*parts.session, run, stopwatch);
    WatchEnumeration(*parts.session, run, stopwatch);
    const milliseconds reserve = ShutdownReserve(request.timeout);
    ConnectAndLogIn(*parts.session, request);
    AskRebuildsAfterEnumeration(*parts.session, run, stopwatch);

    const bool finished = WaitForRun(run, stopwatch.start + request.timeout - reserve);
    if (!LogOff(parts, reserve)) {
        report.failure = Failure::Timeout;
        report.failureMessage = "the session did not end within " + Duration(request.timeout);
        return report;
    }
    if (timings != nullptr) {
        timings->connected = run.connectedMs;
        timings->enumerated = run.enumeratedMs;
        timings->rebuilds = run.rebuildsMs;
        timings->finished = stopwatch.ElapsedMs();
    }
    if (ReportFailure(report, run, finished, *parts.messages, request.timeout)) {
        return report;
    }

    report.serviceConfig = run.config;
    report.serviceVersion = static_cast<std::uint32_t>(run.serviceVersion);
    report.controllerCount = run.controllerCount;
    report.table = *run.table;
    for (std::size_t c = 0; c < report.rebuilds.size(); ++c) {
        report.rebuilds[c].raw = run.rebuilds[c];
    }
    ResolveRebuilds(report);
    return report;
}

}  // namespace veltrix::status
