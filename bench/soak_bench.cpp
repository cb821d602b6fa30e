// A week of events in a few minutes: many controller events and error-log entries
// through the real poll cycle, with nothing lost and the memory bounded.
//
// The real main window owns the session, which runs on its own thread with its timers
// on a manual clock; the simulated service runs in-process with its clock moved by
// hand as well. Every tick the benchmark queues a batch of events (every popup level,
// and 15 % of them making the session read a controller again) and a batch
// of error-log entries in the service, moves both clocks 5 s on and lets the window
// handle what the session reported. The session's events also go to a journal that
// records them, wired as the program wires the system journal.
//
// After every tick it checks, and fails loudly otherwise:
//   - the journal got exactly the tick's events, in order, each with its line, its
//     priority and its controller, port, drive and code: over the run every event
//     once, in order;
//   - the window's event log ends with the tick's lines, after the last line of the
//     previous tick, and holds min(all lines, 10,000) lines;
//   - the popups queued are those of the events above the popup level (0), in order.
// At the end every error-log entry is in the error log view, in order, and the
// resident memory after the run is within 5 MB of that before it. "Before" is after a
// warm-up of 10,000 events that fills the event log to its bound; the figure from the
// connect on is printed as well, and the memory after once the heap has given its free
// memory back (malloc_trim), which tells live memory from memory the heap keeps.
//
// It prints events per second through the poll cycle (the window's handling
// included), the resident memory at connect, before and after, and the heap bytes one
// line costs in the error log view (hidden and shown) and in the event log.
//
// Usage: soak_bench [--events N] [--log_entries N] [--warmup N]
//   defaults 100000, 10000, 10000. Run from a release build.

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "gui/errorlog/error_log_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "gui/shell/event_journal.h"
#include "gui/shell/tray_host.h"
#include "model/raid_set.h"
#include "protocol/transport.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "session/manual_time_source.h"
#include "session/text_catalogue.h"
#include "texts/format.h"
#include "watch/event_history.h"

namespace {

using namespace veltrix;
using Clock = std::chrono::steady_clock;

constexpr int kEventsPerTick = 500;  // below the session's 1000 records per tick
constexpr int kMaxLogEntriesPerTick = 1000;
constexpr double kRssBoundMb = 5.0;
constexpr int kLinesMeasured = 100000;

struct Options {
    int events = 100000;
    int logEntries = 10000;
    int warmup = 10000;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        const auto equals = arg.find('=');
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
        } else if (i + 1 < argc) {
            value = argv[++i];
        }
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || number < 0 || number > 100000000) {
            return std::nullopt;
        }
        if (arg == "--events") {
            options.events = static_cast<int>(number);
        } else if (arg == "--log_entries") {
            options.logEntries = static_cast<int>(number);
        } else if (arg == "--warmup") {
            options.warmup = static_cast<int>(number);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// What each event of the mix is: its code, whether it pops up above level 0 and the
// journal priority it gets. Every popup level; three of twenty events make the
// session read their controller again (about 80 requests each here), the others cost
// their one request.
struct Kind {
    std::uint32_t code;
    bool popup;
    int priority;
};
constexpr std::array<Kind, 20> kKinds = {{
    {EVENT_LOGGED_3, false, 6},
    {EVENT_GENERAL, false, 6},        // level 0
    {0x777, false, 4},                // an unknown code: level 0, a warning
    {EVENT_SPARE_ACCESSED, true, 6},  // level 1
    {EVENT_SET_STATUS_10, false, 6},
    {EVENT_LOGGED_17, false, 6},
    {EVENT_DRIVE_FOUND, true, 6},  // level 1, re-read
    {EVENT_GENERAL, false, 6},
    {EVENT_LOGGED_3, false, 6},
    {EVENT_SET_STATUS_11, false, 6},
    {EVENT_RAID_STATUS_CHANGED, true, 5},  // level 2, re-read
    {EVENT_GENERAL, false, 6},
    {0x778, false, 4},
    {EVENT_SPARE_ACCESSED, true, 6},
    {EVENT_LOGGED_17, false, 6},
    {EVENT_DRIVE_LOST, true, 3},  // level 3, re-read
    {EVENT_GENERAL, false, 6},
    {EVENT_SET_STATUS_10, false, 6},
    {EVENT_LOGGED_3, false, 6},
    {EVENT_GENERAL, false, 6},
}};

// The event number `n`: the kind by turn, the controller alternating, port and drive
// counting so that the lines of one tick differ (the time stamp tells the ticks).
sim::EventSpec EventNumber(std::uint64_t n) {
    const Kind& kind = kKinds[n % kKinds.size()];
    return {.controller = static_cast<std::uint8_t>(n % 2),
            .port = static_cast<std::uint8_t>(n & 0xFF),
            .drive = static_cast<std::uint8_t>((n >> 8) & 0xFF),
            .code = kind.code};
}

std::string ExpectedLine(const SystemTime& t, const sim::EventSpec& e) {
    return Format("%02d:%02d:%02d,%d   C %d, Dev %d, Dri %d, : %d", t.hour, t.minute, t.second,
                  t.milliseconds, e.controller, e.port, e.drive, e.code);
}

double RssMb() {
    long pages = 0;
    long resident = 0;
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file != nullptr) {
        if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(file);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

// Heap bytes in use (small blocks and mapped ones).
double HeapBytes() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

class QuietUi : public platform::DialogUi {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon, MessageButtons) override {
        Note(text);
        return MessageAnswer::Ok;
    }
    void ReportError(const std::string& text) override { Note(text); }
    std::optional<std::string> GetOpenFileName(const std::string&, const std::string&,
                                               const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> GetSaveFileName(const std::string&, const std::string&,
                                               const std::string&) override {
        return std::nullopt;
    }
    int RunModal(QDialog&) override { return QDialog::Rejected; }

    std::size_t Count() const {
        const std::lock_guard lock(mutex_);
        return count_;
    }
    std::string First() const {
        const std::lock_guard lock(mutex_);
        return first_;
    }

  private:
    void Note(const std::string& text) {
        const std::lock_guard lock(mutex_);
        if (count_++ == 0) {
            first_ = text;
        }
    }
    mutable std::mutex mutex_;
    std::size_t count_ = 0;
    std::string first_;
};

class LastTrayHost : public shell::TrayHost {
  public:
    void Notify(shell::NotifyOp, const shell::NotifyRecord&) override { ++calls; }
    bool IsAvailable() const override { return false; }
    std::size_t calls = 0;
};

// Written on the session's thread during a tick, taken after it.
class RecordingJournal : public shell::EventJournal {
  public:
    void Send(const shell::JournalEntry& entry) override {
        const std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    }
    std::vector<shell::JournalEntry> Take() {
        const std::lock_guard lock(mutex_);
        std::vector<shell::JournalEntry> taken;
        taken.swap(entries_);
        return taken;
    }

  private:
    std::mutex mutex_;
    std::vector<shell::JournalEntry> entries_;
};

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "soak_bench: FAILED: %s%s%s\n", what, detail.empty() ? "" : ": ",
                 detail.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

class Soak {
  public:
    Soak(sim::ServiceSim& service) : service_(service) {
        ResetMemberCursor();
        ClientSettings settings;
        settings.password = "kavo";
        settings.hostName = ".";
        settings.autoConnect = false;
        settings.popupLevel = 0;  // every level above 0 pops up
        settings.popupEnabled = true;
        window_ =
            std::make_unique<MainWindow>(settings, ui_, tray_, &clock_, nullptr, nullptr, &ui_);
        window_->SetPopupWindows(false);
        window_->SetJournal(&journal_);
        window_->Initialize();
        eventLog_ = platform::FindControl<QAbstractItemView>(*window_, control_id::kEventLog);
        auto* connect = platform::FindControl<QPushButton>(*window_, control_id::kConnect);
        if (eventLog_ == nullptr || connect == nullptr) {
            Fail("the window has no event log or Connect button");
        }
        connect->click();
        Settle();
        if (!window_->Monitor().IsConnected()) {
            Fail("the window did not connect", ui_.First());
        }
        clock_.Advance(500);  // the first tick after connect
        Settle();
    }
    ~Soak() {
        window_->Disconnect();
        Settle();
        window_.reset();
    }
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    // Runs `events` events and `logEntries` error-log entries through the poll cycle,
    // checking every tick.
    void Run(int events, int logEntries) {
        const int ticks = std::max((events + kEventsPerTick - 1) / kEventsPerTick, 1);
        const int logPerTick = std::min((logEntries + ticks - 1) / ticks, kMaxLogEntriesPerTick);
        int eventsLeft = events;
        int logLeft = logEntries;
        for (int tick = 0; tick < ticks || logLeft > 0; ++tick) {
            const int batch = std::min(eventsLeft, kEventsPerTick);
            const int logBatch = std::min(logLeft, logPerTick);
            Tick(batch, logBatch);
            eventsLeft -= batch;
            logLeft -= logBatch;
        }
    }

    // Every error-log entry arrived, once and in order.
    void CheckErrorLog() const {
        const std::vector<LogEntry>& entries = window_->Monitor().ErrorLog();
        if (entries.size() != logEntriesPushed_) {
            Fail("error log entries lost or doubled",
                 std::to_string(entries.size()) + " of " + std::to_string(logEntriesPushed_));
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].lba != i || entries[i].port != (i & 0xFF)) {
                Fail("error log entry out of order", std::to_string(i));
            }
        }
    }

    std::uint64_t Events() const { return eventsPushed_; }
    std::uint64_t Popups() const { return popups_; }
    std::size_t MessageBoxes() const { return ui_.Count(); }
    int EventLogRows() const { return eventLog_->model()->rowCount(); }
    std::string EventLogRow(int row) const {
        return eventLog_->model()->index(row, 0).data().toString().toStdString();
    }

  private:
    void Tick(int batch, int logBatch) {
        service_.AdvanceClock(std::chrono::milliseconds(5000));
        const std::uint64_t simMs = service_.SimTimeMs();
        const SystemTime stamp =
            service_.Inspect([simMs](const sim::ServiceEngine& e) { return e.WallTime(simMs); });
        std::vector<sim::EventSpec> pushed;
        pushed.reserve(static_cast<std::size_t>(batch));
        std::size_t popupsExpected = 0;
        for (int i = 0; i < batch; ++i) {
            const std::uint64_t n = eventsPushed_ + static_cast<std::uint64_t>(i);
            pushed.push_back(EventNumber(n));
            popupsExpected += kKinds[n % kKinds.size()].popup ? 1 : 0;
            service_.PushEvent(pushed.back());
        }
        for (int i = 0; i < logBatch; ++i) {
            const std::uint64_t n = logEntriesPushed_++;
            service_.PushLogEntry({.controller = static_cast<std::uint8_t>(n % 2),
                                   .port = static_cast<std::uint8_t>(n & 0xFF),
                                   .status = 0x51,
                                   .command = 0xC8,
                                   .lba = n,
                                   .sectorCount = 8});
        }

        clock_.Advance(5000);
        Settle();

        // The journal: exactly this tick's events, in order, with their fields.
        const std::vector<shell::JournalEntry> journal = journal_.Take();
        if (journal.size() != pushed.size()) {
            Fail("the journal did not get every event once",
                 std::to_string(journal.size()) + " of " + std::to_string(pushed.size()) +
                     " in the tick after event " + std::to_string(eventsPushed_) + "; " +
                     ui_.First());
        }
        std::vector<std::string> lines;
        lines.reserve(pushed.size());
        for (std::size_t i = 0; i < pushed.size(); ++i) {
            const sim::EventSpec& e = pushed[i];
            const shell::JournalEntry expected{
                .message = ExpectedLine(stamp, e),
                .priority = kKinds[(eventsPushed_ + i) % kKinds.size()].priority,
                .controller = e.controller,
                .port = e.port,
                .drive = e.drive,
                .code = e.code};
            if (!(journal[i] == expected)) {
                Fail("a journal entry differs", "event " + std::to_string(eventsPushed_ + i) +
                                                    ": " + journal[i].message + " / " +
                                                    expected.message);
            }
            lines.push_back(expected.message);
        }
        eventsPushed_ += pushed.size();

        // The event log: the newest lines, this tick's last, after the previous tick's.
        const int rows = EventLogRows();
        const auto wantRows =
            static_cast<int>(std::min<std::uint64_t>(eventsPushed_, kEventLogLines));
        if (rows != wantRows) {
            Fail("the event log holds the wrong number of lines",
                 std::to_string(rows) + ", expected " + std::to_string(wantRows));
        }
        const int first = rows - static_cast<int>(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string row = EventLogRow(first + static_cast<int>(i));
            if (row != lines[i]) {
                Fail("an event log line differs", row + " / " + lines[i]);
            }
        }
        if (first > 0 && !lastLine_.empty() && EventLogRow(first - 1) != lastLine_) {
            Fail("the event log lost the line before this tick's", lastLine_);
        }
        if (!lines.empty()) {
            lastLine_ = lines.back();
        }

        // The popups, as the presenter would take them.
        std::size_t taken = 0;
        while (window_->Popups().Pop()) {
            ++taken;
        }
        if (taken != popupsExpected) {
            Fail("popups lost or added", std::to_string(taken) + ", expected " +
                                             std::to_string(popupsExpected) + "; " + ui_.First());
        }
        popups_ += taken;
        if (ui_.Count() != 0 || !window_->Monitor().IsConnected()) {
            Fail("the session reported a failure", ui_.First());
        }
    }

    void Settle() {
        for (int round = 0; round < 4; ++round) {
            window_->Session().Sync();
            QCoreApplication::sendPostedEvents();
        }
    }

    sim::ServiceSim& service_;
    ManualTimeSource clock_;
    QuietUi ui_;
    LastTrayHost tray_;
    RecordingJournal journal_;  // outlives the window's session
    std::unique_ptr<MainWindow> window_;
    QAbstractItemView* eventLog_ = nullptr;
    std::uint64_t eventsPushed_ = 0;
    std::uint64_t logEntriesPushed_ = 0;
    std::uint64_t popups_ = 0;
    std::string lastLine_;
};

struct LineCost {
    double hidden = 0;
    double shown = 0;
};

// Heap bytes per line of the error log view, filled while hidden and then shown.
LineCost ErrorLogBytesPerLine() {
    ErrorLogDialog view;
    const double before = HeapBytes();
    for (int i = 0; i < kLinesMeasured; ++i) {
        LogEntry entry;
        entry.controller = static_cast<std::uint8_t>(i % 2);
        entry.lba = static_cast<std::uint64_t>(i);
        view.AddLogLine(entry);
    }
    const double hidden = HeapBytes();
    view.show();
    QCoreApplication::processEvents();
    const double shown = HeapBytes();
    view.hide();
    return {(hidden - before) / kLinesMeasured, (shown - before) / kLinesMeasured};
}

// Heap bytes per line of a full event log.
// Targets: heap bytes per event-log line, and RSS growth from the connect over the run.
constexpr double kEventLogLineTarget = 64;
constexpr double kGrowthSinceConnectTargetMb = 2;

double EventLogBytesPerLine() {
    const double before = HeapBytes();
    EventHistory list;
    for (int i = 0; i < kEventLogLines; ++i) {
        list.Append({.time = {.hour = 12, .minute = 34, .second = 56, .milliseconds = 789},
                     .controller = 1,
                     .port = 200,
                     .drive = 3,
                     .code = static_cast<std::uint32_t>(i)});
    }
    return (HeapBytes() - before) / kEventLogLines;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: %s [--events N] [--log_entries N] [--warmup N]\n", argv[0]);
        return 2;
    }
    bench::PrivateFolder folder("veltrix-soak");
    ::chmod(folder.Path().c_str(), 0700);
    ::setenv(transport::kPipeDirVariable, folder.Path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // The program's texts, as the program has them.
    veltrix::TextCatalogue::Install(&app);
    QApplication::setQuitOnLastWindowClosed(false);

    sim::ServiceSim service(sim::TwoControllerScenario());
    std::uint64_t requests = 0;  // counted on the service's thread, read after a tick
    std::mutex requestsMutex;
    service.SetMessageObserver([&](const sim::TranscriptEntry&) {
        const std::lock_guard lock(requestsMutex);
        ++requests;
    });
    sim::ServiceSimOptions simOptions;
    simOptions.pipeDir = folder.Path();
    simOptions.manualClock = true;
    simOptions.transcriptLimit = 16;  // the observer counts; no growth over the run
    service.Start(simOptions);
    const auto requestsSoFar = [&] {
        const std::lock_guard lock(requestsMutex);
        return requests;
    };

    double rssConnected = 0;
    double rssBefore = 0;
    double rssAfter = 0;
    double rssTrimmed = 0;  // after, with the heap's free memory given back
    double seconds = 0;
    std::uint64_t soakRequests = 0;
    std::uint64_t popups = 0;
    std::uint64_t events = 0;
    int rows = 0;
    {
        Soak soak(service);
        rssConnected = RssMb();
        soak.Run(options->warmup, 0);
        rssBefore = RssMb();
        const std::uint64_t requestsBefore = requestsSoFar();
        const Clock::time_point begin = Clock::now();
        soak.Run(options->events, options->logEntries);
        seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        soakRequests = requestsSoFar() - requestsBefore;
        rssAfter = RssMb();
        ::malloc_trim(0);
        rssTrimmed = RssMb();
        soak.CheckErrorLog();
        popups = soak.Popups();
        events = soak.Events();
        rows = soak.EventLogRows();
    }
    service.Stop();
    const LineCost errorLog = ErrorLogBytesPerLine();
    const double eventLogLine = EventLogBytesPerLine();

    const double perSecond = seconds > 0 ? options->events / seconds : 0;
    std::printf(
        "soak: %d events and %d error-log entries through the poll cycle after a "
        "warm-up of %d events\n",
        options->events, options->logEntries, options->warmup);
    std::printf(
        "  %.0f events/s through the poll cycle (%.1f s, %.2f requests per event, "
        "window handling included)\n",
        perSecond, seconds,
        options->events > 0 ? static_cast<double>(soakRequests) / options->events : 0.0);
    std::printf(
        "  checked: %llu events in the journal and the event log, in order, once each; "
        "%llu popups; event log %d lines\n",
        static_cast<unsigned long long>(events), static_cast<unsigned long long>(popups), rows);
    std::printf(
        "  RSS: %.1f MB connected, %.1f MB before, %.1f MB after (%+.2f MB; %+.2f MB "
        "since connect)\n",
        rssConnected, rssBefore, rssAfter, rssAfter - rssBefore, rssAfter - rssConnected);
    std::printf(
        "  RSS after, the heap's free memory given back: %.1f MB (%+.2f MB since connect)\n",
        rssTrimmed, rssTrimmed - rssConnected);
    std::printf(
        "  error log view: %.1f heap bytes per line hidden, %.1f shown (LogEntry %zu "
        "bytes; %d lines)\n",
        errorLog.hidden, errorLog.shown, sizeof(LogEntry), kLinesMeasured);
    std::printf("  event log: %.1f heap bytes per line (%d lines; target at most %.0f) %s\n",
                eventLogLine, kEventLogLines, kEventLogLineTarget,
                eventLogLine <= kEventLogLineTarget ? "ok" : "ABOVE TARGET");
    const double growth = rssAfter - rssConnected;
    std::printf("  RSS growth since connect %+.2f MB (target at most %.0f MB) %s\n", growth,
                kGrowthSinceConnectTargetMb,
                growth <= kGrowthSinceConnectTargetMb ? "ok" : "ABOVE TARGET");
    if (rssAfter - rssBefore > kRssBoundMb) {
        Fail("resident memory grew by more than 5 MB");
    }
    std::printf("soak ok\n");
    return 0;
}
