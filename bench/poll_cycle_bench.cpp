// One poll cycle of the service session as the program runs it, and the same exchanges
// sent raw right after it, on the same thread over the same socket, in every iteration.
//
// The real main window owns the session, which runs on a thread of its own; the
// session's timers run on a manual clock. In the program the poll timer fires on the
// session's own thread and nobody waits for the cycle to end. One benchmark iteration
// does the same from the benchmark thread (the window's GUI thread): it hands the
// session's thread a call that advances the clock by 5000 ms there, so the poll
// timer's tick runs the cycle on that thread, waits for the call to return, and then
// delivers the session's queued reports to the window. The time of one cycle is taken
// as the program spends it: on the session's thread from the tick to the end of the
// cycle's work (the exchanges, the reports' table snapshots and their hand-over to the
// window), plus the window's handling of the reports. The benchmark's own hops between
// its thread and the session's, there and back, are counted apart, and a second line
// gives the ratio with them, for reference. Message boxes go to a stand-in that only
// records them, asked directly on the session's thread; the notification area records
// its calls and popups stay in their queue.
//
// With two controllers and nothing happening (no events, no rebuild, no error-log
// entries, no mail failures) one cycle is six exchanges: GET_REBUILD_STATUS for each
// controller, GET_CHANGE_FLAG, GET_EVENT, GET_LOG_ENTRY and GET_MAIL_STATUS. Before
// anything is measured, main() checks that sequence in the service's transcript and
// keeps the six requests as they arrived, so the raw exchanges send exactly the same
// bytes and get exactly the same replies.
//
// An exchange costs several times more when the client's and the service's threads run
// on different cores (each reply is a wake-up across cores) than when they share one,
// and the scheduler's placement holds for hundreds of milliseconds. The raw exchanges
// therefore run in the same call as the cycle, on the session's thread and its socket
// to the same service thread: both sides of an iteration meet the same placement. The
// side that runs second finds the service's thread just awake and its exchanges a few
// microseconds faster, so the two sides take turns at going first. The
// iteration's time is the cycle's; the raw exchanges' is the counter raw_us, and the
// ratio is that of the two medians. The counters also tell the placement:
// waits_per_cycle and preempted_per_cycle of the session's thread (about 12 and 0
// across cores, fewer waits and some preemptions on one core), and
// hop_waits_per_cycle of the benchmark thread (its waits for the session's thread).
// Two options of this program fix the placement: --same_core puts every thread on the
// core main() starts on; --split_cores keeps the benchmark thread and the session's
// thread there and moves the service's thread to another core, so that every exchange
// crosses cores and the hop between benchmark and session does not.
//
// The cycle's time is split in counters, in microseconds per cycle: hop_in_us from the
// benchmark's call to the tick on the session's thread, work_us the cycle there, back_us
// from its end (without the raw exchanges) until the benchmark thread runs again,
// deliver_us the window handling the reports; ends_per_cycle (1) tells that every
// cycle reached its end report.
//
// --other_hosts N (default 0) measures the cycle while N further hosts poll: N more
// simulated services in this process, each on TCP with a thread of its own, and a
// HostMonitor for each with real timers, logged in and polling every 5 s on its own
// session thread, as the program watches its further hosts. Their reports reach this
// thread with the window's in every iteration. Their exchanges per second over the
// whole measurement tell that they polled meanwhile.

#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <array>
#include <atomic>
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
#include <thread>
#include <vector>

#include "bench_support.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "gui/shell/tray_host.h"
#include "model/raid_set.h"
#include "protocol/protocol.h"
#include "protocol/transport.h"
#include "ratio_reporter.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "session/manual_time_source.h"
#include "session/service_link.h"
#include "session/text_catalogue.h"
#include "transcript_replay.h"
#include "watch/host_monitor.h"

namespace {

using namespace veltrix;
using namespace std::chrono_literals;

constexpr double kTargetRatio = 1.1;
// The requests of one quiet cycle with two controllers, in order.
constexpr std::array<std::uint32_t, 6> kCycleCodes = {GET_REBUILD_STATUS, GET_REBUILD_STATUS,
                                                      GET_CHANGE_FLAG,    GET_EVENT,
                                                      GET_LOG_ENTRY,      GET_MAIL_STATUS};

// Message boxes and error reports are recorded (a quiet cycle has none); file dialogs
// and modal runs are cancelled. The session asks it on its own thread, so the record
// is locked.
class QuietUi : public platform::DialogUi {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon, MessageButtons) override {
        Record(text);
        return MessageAnswer::Ok;
    }
    void ReportError(const std::string& text) override { Record(text); }
    std::optional<std::string> GetOpenFileName(const std::string&, const std::string&,
                                               const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> GetSaveFileName(const std::string&, const std::string&,
                                               const std::string&) override {
        return std::nullopt;
    }
    int RunModal(QDialog&) override { return QDialog::Rejected; }

    bool Empty() const {
        const std::lock_guard lock(mutex_);
        return messages_.empty();
    }
    std::string First() const {
        const std::lock_guard lock(mutex_);
        return messages_.empty() ? std::string() : messages_.front();
    }

  private:
    void Record(const std::string& text) {
        const std::lock_guard lock(mutex_);
        messages_.push_back(text);
    }

    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

// A notification area without a desktop tray: counts the calls and keeps the last
// record (every cycle updates the tooltip, so a full record would grow without end).
class RecordingTrayHost : public shell::TrayHost {
  public:
    void Notify(shell::NotifyOp op, const shell::NotifyRecord& record) override {
        ++calls;
        lastOp = op;
        last = record;
    }
    bool IsAvailable() const override { return false; }

    std::size_t calls = 0;
    shell::NotifyOp lastOp = shell::NotifyOp::Add;
    shell::NotifyRecord last;
};

// The simulated service on a private pipe directory, with its clock standing still. It
// counts every message it receives.
class Service {
  public:
    Service() : sim(sim::TwoControllerScenario()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "veltrix-poll-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        dir_ = pattern;
        // The window finds the local pipe through this variable.
        ::setenv(transport::kPipeDirVariable, dir_.c_str(), 1);
        sim.SetMessageObserver([this](const sim::TranscriptEntry&) {
            // The service's thread moves to its own core at its first message.
            if (!servicePinned_ && bench::ServiceCore() >= 0) {
                servicePinned_ = bench::PinCallingThread(bench::ServiceCore());
            }
            messages.fetch_add(1, std::memory_order_relaxed);
        });
        sim::ServiceSimOptions options;
        options.pipeDir = dir_;
        options.manualClock = true;
        options.transcriptLimit = 64;  // enough for one cycle; no growth over millions
        sim.Start(options);
    }
    ~Service() {
        sim.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // Until the service has noticed every client leave, so the next one gets in.
    bool WaitUntilFree() const {
        return sim.WaitForConnectionsClosed(sim.ConnectionsAccepted(), 5s);
    }

    sim::ServiceSim sim;
    std::atomic<std::uint64_t> messages{0};

  private:
    std::string dir_;
    bool servicePinned_ = false;  // the service's thread only
};

Service& SharedService() {
    static Service service;
    return service;
}

// Context switches of one thread: voluntary (it waited) and involuntary (another task
// took the core). Counted per cycle, they tell a slow run on a busy machine from a
// slow cycle.
struct Switches {
    long waited = 0;
    long preempted = 0;
};

// The calling thread's switches.
Switches ThreadSwitches() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return {usage.ru_nvcsw, usage.ru_nivcsw};
}

// The switches of thread `tid` of this process, from /proc (zeros when unreadable).
Switches ThreadSwitches(pid_t tid) {
    Switches switches;
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/status";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return switches;
    }
    char line[256];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        long value = 0;
        if (std::sscanf(line, "voluntary_ctxt_switches: %ld", &value) == 1) {
            switches.waited = value;
        } else if (std::sscanf(line, "nonvoluntary_ctxt_switches: %ld", &value) == 1) {
            switches.preempted = value;
        }
    }
    std::fclose(file);
    return switches;
}

void SetSwitchCounters(benchmark::State& state, const std::string& prefix, const Switches& before,
                       const Switches& after) {
    const auto cycles = static_cast<double>(state.iterations());
    state.counters[prefix + "waits_per_cycle"] =
        static_cast<double>(after.waited - before.waited) / cycles;
    state.counters[prefix + "preempted_per_cycle"] =
        static_cast<double>(after.preempted - before.preempted) / cycles;
}

using Clock = std::chrono::steady_clock;

// The main window connected to the shared service with its first cycle done, as the
// main window tests set it up: the session on its own thread, its timers on a manual
// clock advanced from this thread.
class ConnectedWindow {
  public:
    ConnectedWindow() {
        ResetMemberCursor();
        ClientSettings settings;
        settings.password = "kavo";
        settings.autoConnect = false;
        settings.hostName = ".";
        // The session asks the stand-in directly on its own thread: a question routed
        // to this thread while it waits in a tick could never be answered.
        window_ =
            std::make_unique<MainWindow>(settings, ui_, tray_, &clock_, nullptr, nullptr, &ui_);
        window_->SetPopupWindows(false);
        window_->Initialize();
        // Every cycle that reaches its end report, counted where it is sent: a queued
        // connection of its own would post one more event per cycle than the program.
        QObject::connect(
            &window_->Session(), &ServiceSession::EventsHandled, window_.get(),
            [this] { cyclesEnded_.fetch_add(1, std::memory_order_relaxed); }, Qt::DirectConnection);
        auto* connect = platform::FindControl<QPushButton>(*window_, control_id::kConnect);
        if (connect == nullptr || !connect->isEnabled()) {
            return;
        }
        connect->click();
        Settle();
        connected_ = window_->Monitor().IsConnected();
        if (connected_) {
            clock_.Advance(500);  // the first tick after connect
            Settle();
        }
        // The session's thread, for its switch counts, and its socket.
        window_->Session().Converse([this](ServiceLink& link, StatusRequests&) {
            sessionThread_ = ::gettid();
            socket_ = link.pipe.Handle();
        });
        window_->Session().Sync();
    }
    ~ConnectedWindow() {
        window_->Disconnect();
        Settle();
        window_.reset();
    }
    ConnectedWindow(const ConnectedWindow&) = delete;
    ConnectedWindow& operator=(const ConnectedWindow&) = delete;

    // The next timer tick, run on the session's thread as the program's poll timer
    // fires there: one poll cycle, which has ended when the call returns, and its
    // reports delivered to the window. In the same call, on the same thread and the
    // session's own socket, `requests` are sent raw, each a send and a blocking recv:
    // right after the cycle, or right before it when `rawFirst`. Whichever side comes
    // second finds the service's thread just awake; taking turns gives both sides that
    // advantage equally. Returns the cycle's time as the program spends it: the work
    // on the session's thread and the window's handling of the reports, without the
    // benchmark's hops between its thread and the session's; the raw exchanges' time
    // is added to the parts.
    Clock::duration Cycle(const std::vector<std::vector<std::uint8_t>>& requests = {},
                          bool rawFirst = false) {
        const Clock::time_point begin = Clock::now();
        Clock::time_point started;
        Clock::time_point ended;
        Clock::duration raw{};
        QMetaObject::invokeMethod(
            &window_->Session(),
            [&] {
                if (rawFirst) {
                    raw = RawExchanges(requests);
                }
                started = Clock::now();
                clock_.Advance(5000);
                ended = Clock::now();
                if (!rawFirst) {
                    raw = RawExchanges(requests);
                }
            },
            Qt::BlockingQueuedConnection);
        const Clock::time_point returned = Clock::now();
        QCoreApplication::sendPostedEvents();
        const Clock::time_point delivered = Clock::now();
        const Clock::duration rawBefore = rawFirst ? raw : Clock::duration{};
        parts_.hopIn += started - begin - rawBefore;
        parts_.work += ended - started;
        parts_.raw += raw;
        parts_.back += returned - ended - (raw - rawBefore);
        parts_.deliver += delivered - returned;
        return (ended - started) + (delivered - returned);
    }

    // Where the time of the cycles so far went: from the tick to the work starting on
    // the session's thread, the work there, the way back to the benchmark thread, and
    // the window handling the reports.
    struct Parts {
        Clock::duration hopIn{};
        Clock::duration work{};
        Clock::duration back{};
        Clock::duration deliver{};
        Clock::duration raw{};  // the raw exchanges after each cycle
    };
    Parts CurrentParts() const { return parts_; }

    bool Connected() const { return connected_; }
    // Still connected, nothing reported, nothing queued for a popup.
    bool Quiet() {
        Settle();
        return window_->Monitor().IsConnected() && ui_.Empty() && window_->Popups().Size() == 0;
    }
    std::string FirstMessage() const { return ui_.First(); }
    // Cycles that reached their end report.
    std::uint64_t CyclesEnded() const { return cyclesEnded_.load(std::memory_order_relaxed); }
    Switches SessionSwitches() const { return ThreadSwitches(sessionThread_); }
    // Raw exchanges whose reply did not come.
    int RawFailures() const { return rawFailures_; }

  private:
    // On the session's thread, between two cycles: the session's socket is quiet.
    Clock::duration RawExchanges(const std::vector<std::vector<std::uint8_t>>& requests) {
        const Clock::time_point start = Clock::now();
        rawFailures_ += bench::ReplayOn(socket_, requests);
        return Clock::now() - start;
    }

    // Every request made so far has run on the session's thread and every report has
    // reached the window; a few rounds settle a report that asks the session again.
    void Settle() {
        for (int round = 0; round < 4; ++round) {
            window_->Session().Sync();
            QCoreApplication::sendPostedEvents();
        }
    }

    ManualTimeSource clock_;
    QuietUi ui_;
    RecordingTrayHost tray_;
    std::unique_ptr<MainWindow> window_;
    bool connected_ = false;
    std::atomic<std::uint64_t> cyclesEnded_{0};
    pid_t sessionThread_ = 0;
    int socket_ = -1;  // the session's, used on its thread only
    int rawFailures_ = 0;
    Parts parts_;
};

// Further hosts polling their own services in this process while the cycle is
// measured (--other_hosts): each service on a free TCP port, each host with real timers.
class OtherHosts {
  public:
    explicit OtherHosts(int count) {
        for (int i = 0; i < count; ++i) {
            auto service = std::make_unique<sim::ServiceSim>(sim::TwoControllerScenario());
            service->SetMessageObserver([this](const sim::TranscriptEntry&) {
                messages_.fetch_add(1, std::memory_order_relaxed);
            });
            sim::ServiceSimOptions options;
            options.listenLocal = false;
            options.listenTcp = true;
            options.transcriptLimit = 64;
            service->Start(options);
            HostEntry entry;
            entry.name = QStringLiteral("host %1").arg(i + 2);
            entry.address = "127.0.0.1:" + std::to_string(service->TcpPort());
            entry.password = "kavo";
            auto monitor = std::make_unique<HostMonitor>(ui_);
            monitor->SetBoxesAllowed(false);
            monitor->SetEntry(entry);
            monitor->Connect();
            services_.push_back(std::move(service));
            monitors_.push_back(std::move(monitor));
        }
    }
    ~OtherHosts() {
        for (auto& monitor : monitors_) {
            monitor->Disconnect();
        }
        monitors_.clear();
        for (auto& service : services_) {
            service->Stop();
        }
    }
    OtherHosts(const OtherHosts&) = delete;
    OtherHosts& operator=(const OtherHosts&) = delete;

    // Until every host has logged in and ended its first cycle, at most `limit`.
    bool WaitUntilPolling(std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(20ms);
            bool all = true;
            for (const auto& monitor : monitors_) {
                all = all && monitor->IsConnected() && monitor->LastReadAt().isValid();
            }
            if (all) {
                return true;
            }
        }
        return false;
    }
    std::uint64_t Messages() const { return messages_.load(std::memory_order_relaxed); }

  private:
    QuietUi ui_;
    std::atomic<std::uint64_t> messages_{0};
    std::vector<std::unique_ptr<sim::ServiceSim>> services_;
    std::vector<std::unique_ptr<HostMonitor>> monitors_;
};

// The six requests of one cycle as the service received them (filled by main).
std::vector<std::vector<std::uint8_t>>& CycleRequests() {
    static std::vector<std::vector<std::uint8_t>> requests;
    return requests;
}

// Connects one window, runs one more cycle and checks the transcript: exactly the six
// expected requests, nothing reported. Keeps the requests for the raw exchanges.
bool CheckOneCycle() {
    Service& service = SharedService();
    ConnectedWindow window;
    if (!window.Connected()) {
        std::fprintf(stderr, "poll_cycle_bench: the window did not connect: %s\n",
                     window.FirstMessage().c_str());
        return false;
    }
    service.sim.ClearTranscript();
    const std::uint64_t ended = window.CyclesEnded();
    window.Cycle();
    if (window.CyclesEnded() != ended + 1) {
        std::fprintf(stderr, "poll_cycle_bench: the cycle did not reach its end\n");
        return false;
    }
    const auto transcript = service.sim.Transcript();
    bool same = transcript.size() == kCycleCodes.size();
    for (std::size_t i = 0; same && i < transcript.size(); ++i) {
        same = transcript[i].code == kCycleCodes[i];
    }
    if (!same) {
        std::fprintf(stderr, "poll_cycle_bench: a cycle took %zu requests, expected %zu:",
                     transcript.size(), kCycleCodes.size());
        for (const auto& entry : transcript) {
            std::fprintf(stderr, " %u", entry.code);
        }
        std::fprintf(stderr, "\n");
        return false;
    }
    if (!window.Quiet()) {
        std::fprintf(stderr, "poll_cycle_bench: the cycle was not quiet: %s\n",
                     window.FirstMessage().c_str());
        return false;
    }
    auto& requests = CycleRequests();
    requests.clear();
    for (const auto& entry : transcript) {
        std::vector<std::uint8_t> bytes = bench::RequestBytes(entry);
        if (bytes.size() != entry.size) {
            std::fprintf(stderr, "poll_cycle_bench: request %u rebuilt with %zu bytes, not %zu\n",
                         entry.code, bytes.size(), entry.size);
            return false;
        }
        requests.push_back(std::move(bytes));
    }
    return true;
}

void BenchPollCycle(benchmark::State& state) {
    Service& service = SharedService();
    std::optional<ConnectedWindow> window;
    window.emplace();
    if (!window->Connected()) {
        state.SkipWithError("the window did not connect");
        return;
    }
    const std::uint64_t before = service.messages.load();
    const std::uint64_t endedBefore = window->CyclesEnded();
    const Switches hop = ThreadSwitches();
    const Switches session = window->SessionSwitches();
    const ConnectedWindow::Parts partsBefore = window->CurrentParts();
    const auto& requests = CycleRequests();
    bool rawFirst = false;
    for (auto _ : state) {
        state.SetIterationTime(
            std::chrono::duration<double>(window->Cycle(requests, rawFirst)).count());
        rawFirst = !rawFirst;
    }
    const ConnectedWindow::Parts parts = window->CurrentParts();
    SetSwitchCounters(state, "hop_", hop, ThreadSwitches());
    SetSwitchCounters(state, "", session, window->SessionSwitches());
    const auto cycles = static_cast<double>(state.iterations());
    // The cycle's exchanges and the raw ones.
    const std::uint64_t exchanges = service.messages.load() - before;
    state.counters["exchanges_per_cycle"] = static_cast<double>(exchanges) / cycles / 2;
    state.counters["ends_per_cycle"] =
        static_cast<double>(window->CyclesEnded() - endedBefore) / cycles;
    const auto microseconds = [cycles](Clock::duration total) {
        return std::chrono::duration<double, std::micro>(total).count() / cycles;
    };
    state.counters["hop_in_us"] = microseconds(parts.hopIn - partsBefore.hopIn);
    state.counters["work_us"] = microseconds(parts.work - partsBefore.work);
    state.counters["back_us"] = microseconds(parts.back - partsBefore.back);
    state.counters["deliver_us"] = microseconds(parts.deliver - partsBefore.deliver);
    state.counters["raw_us"] = microseconds(parts.raw - partsBefore.raw);
    // The whole iteration with the benchmark's hops, for the reference ratio.
    state.counters["with_hops_us"] =
        microseconds(parts.hopIn - partsBefore.hopIn + parts.work - partsBefore.work + parts.back -
                     partsBefore.back + parts.deliver - partsBefore.deliver);
    if (window->RawFailures() > 0) {
        state.SkipWithError("a raw exchange failed");
    } else if (!window->Quiet()) {
        state.SkipWithError(("the cycle was not quiet: " + window->FirstMessage()).c_str());
    }
    window.reset();
    if (!service.WaitUntilFree()) {
        state.SkipWithError("the service did not see the window leave");
    }
}
BENCHMARK(BenchPollCycle)->Name("BM_PollCycle")->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Before any thread starts, so that every thread inherits the mask.
    if (!bench::PlaceThreads(argc, argv, "poll_cycle_bench")) {
        return 1;
    }
    // The window needs a QApplication; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // The program's texts, as the program has them.
    veltrix::TextCatalogue::Install(&app);

    const int otherHosts = veltrix::bench::TakeCountOption(argc, argv, "other_hosts", 0, 64);
    if (otherHosts < 0) {
        std::fprintf(stderr, "poll_cycle_bench: --other_hosts takes a count from 0 to 64\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (!CheckOneCycle()) {
        return 1;
    }
    std::optional<OtherHosts> others;
    if (otherHosts > 0) {
        others.emplace(otherHosts);
        if (!others->WaitUntilPolling(60s)) {
            std::fprintf(stderr, "poll_cycle_bench: the %d further hosts did not all log in\n",
                         otherHosts);
            return 1;
        }
        std::printf("%d further hosts logged in and polling every 5 s\n", otherHosts);
    }
    std::printf("one cycle: %zu exchanges, request bytes", CycleRequests().size());
    for (const auto& request : CycleRequests()) {
        std::printf(" %zu", request.size());
    }
    std::printf("\n");

    veltrix::bench::RatioReporter reporter;
    const std::uint64_t othersBefore = others ? others->Messages() : 0;
    const auto measureStart = std::chrono::steady_clock::now();
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double measured = veltrix::bench::SecondsSince(measureStart);

    const double cycle = reporter.Nanoseconds("BM_PollCycle");
    const double raw = reporter.Counter("BM_PollCycle", "raw_us") * 1e3;
    const double perCycle = static_cast<double>(kCycleCodes.size());
    if (cycle > 0 && raw > 0) {
        std::printf("median per exchange: session cycle %.0f ns, raw %.0f ns\n", cycle / perCycle,
                    raw / perCycle);
    }
    const std::string what = otherHosts > 0 ? "poll cycle while " + std::to_string(otherHosts) +
                                                  " further hosts poll / raw exchanges"
                                            : std::string("poll cycle / raw exchanges");
    veltrix::bench::RatioReporter::PrintRatio(what, cycle, raw, kTargetRatio);
    // For reference: the benchmark's whole iteration, its hops included.
    const double withHops = reporter.Counter("BM_PollCycle", "with_hops_us") * 1e3;
    if (withHops > 0 && raw > 0) {
        std::printf("for reference, with the benchmark's hops: %.2f\n", withHops / raw);
    }
    if (otherHosts > 0) {
        const std::uint64_t exchanges = others->Messages() - othersBefore;
        std::printf("further hosts' exchanges while measured: %llu in %.1f s, %.1f per second\n",
                    static_cast<unsigned long long>(exchanges), measured,
                    static_cast<double>(exchanges) / measured);
    }
    benchmark::Shutdown();
    return 0;
}
