// Writing a 512 KiB flash ROM through the BIOS update's sequence, and the same exchanges
// sent raw right after it, on the same thread over the same socket, in every iteration.
//
// The sequence is the dialog's: FlashConversation::Run in "Update only" mode on the
// session's thread (ServiceSession::Converse), reporting through FlashSignals as queued
// signals to a progress bar and a status line on the benchmark thread (the dialog's
// GUI thread), which are delivered before the iteration ends. A run is the chip's id
// and name, the erase, FLASH_WRITE_START, 1024 blocks, FLASH_END, the read-back of the
// ROM and the parameters read again. The read-back is timed apart: BM_FlashRun's time
// is the run without it (its progress signals are still delivered in the time), its
// counter verify_ms the read-back alone. Its other counters split the rest, in ms per
// run: start_ms from the request to the write's status line (the chip's id and name,
// the image file read, the erase), blocks_ms the write blocks, end_ms from the
// read-back's result to the run's end, deliver_ms the reports' delivery here.
//
// Before anything is measured, main() runs the sequence once, checks that the ROM holds
// the image and the read-back agreed, and keeps the requests as the service received
// them. After each run, the session's thread sends exactly those bytes raw over the
// session's socket, each followed by a blocking recv of its reply: every request of the
// run except the read-back (one reply each, none for FLASH_END), counter raw_write_ms,
// then the read-back (FLASH_READ_START and the acknowledgements, the last one without
// reply), counter raw_read_ms. The ratios are those of the medians.
//
// Where the scheduler puts the session's and the service's threads (one core or two)
// changes an exchange's cost several times over and holds for hundreds of
// milliseconds; the run and its raw replay, side by side on the same threads, meet the
// same placement. --same_core puts every thread on the core main() starts on;
// --split_cores keeps the benchmark and the session there and moves the service's
// thread to another core, so that every exchange crosses cores.
//
//   build/release/bench/flash_bench --benchmark_repetitions=9

#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "protocol/protocol.h"
#include "protocol/transport.h"
#include "ratio_reporter.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "session/flash_signals.h"
#include "session/manual_time_source.h"
#include "session/service_link.h"
#include "session/service_session.h"
#include "session/text_catalogue.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "transcript_replay.h"

namespace {

using namespace veltrix;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 1.1;
constexpr std::uint32_t kRomSize = 0x80000;
constexpr std::uint32_t kRomChip = 0x014F;  // 512 KiB

// Messages are recorded (a good run shows none), answered with the default.
class QuietQuestions : public UserQuestions {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon,
                              MessageButtons buttons) override {
        const std::lock_guard lock(mutex_);
        messages_.push_back(text);
        return DefaultAnswer(buttons);
    }
    std::string First() const {
        const std::lock_guard lock(mutex_);
        return messages_.empty() ? std::string() : messages_.front();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

// The simulated service with a 512 KiB ROM, and the image file. It counts every
// message it receives.
class Service {
  public:
    Service() : sim(Scenario()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "veltrix-flash-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        dir_ = pattern;
        ::setenv(transport::kPipeDirVariable, dir_.c_str(), 1);
        image = sim::MakeBiosImage(kRomSize, 0x1095, 0x3124, 0x0360);
        imagePath = dir_ + "/new.bin";
        std::ofstream(imagePath, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
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
        options.transcriptLimit = 4096;  // one run; no growth over many
        sim.Start(options);
    }
    ~Service() {
        sim.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    bool WaitUntilFree() const {
        return sim.WaitForConnectionsClosed(sim.ConnectionsAccepted(), 5s);
    }

    sim::ServiceSim sim;
    std::vector<std::uint8_t> image;
    std::string imagePath;
    std::atomic<std::uint64_t> messages{0};

  private:
    static sim::Scenario Scenario() {
        sim::ControllerSpec c;
        c.vendorId = 0x1095;
        c.deviceId = 0x3124;
        c.name = "RX-Oak 4P";
        c.biosVersion = 0x0350;
        c.channelCount = 4;
        c.flash.chipId = kRomChip;
        sim::Scenario scenario;
        scenario.controllers = {c};
        return scenario;
    }
    std::string dir_;
    bool servicePinned_ = false;  // the service's thread only
};

Service& SharedService() {
    static Service service;
    return service;
}

// Passes the run's reports on to the queued signals and notes, on the session's
// thread, when the read-back began and when its result was shown.
class TimedReports : public FlashObserver {
  public:
    explicit TimedReports(FlashSignals& reports) : signals_(reports) {}
    void ShowText(FlashLine line, const std::string& text) override {
        if (line == FlashLine::Status) {
            if (text == LoadString(ids::kWritingBios)) {
                writeBegin = Clock::now();
            } else if (text == flash_text::Verifying()) {
                verifyBegin = Clock::now();
            } else if (text.rfind(LoadString(ids::kUpdateComplete), 0) == 0) {
                verifyEnd = Clock::now();
            }
        }
        signals_.ShowText(line, text);
    }
    void ShowProgress(int percent) override { signals_.ShowProgress(percent); }
    void EnableControls(FlashControls controls, bool enable) override {
        signals_.EnableControls(controls, enable);
    }
    void ParametersRead(const FlashParameters& p) override { signals_.ParametersRead(p); }

    Clock::time_point writeBegin{};
    Clock::time_point verifyBegin{};
    Clock::time_point verifyEnd{};

  private:
    FlashSignals& signals_;
};

// The run's requests as the service received them: the write (everything but the
// read-back) and the read-back (filled by main).
struct Requests {
    struct Request {
        std::vector<std::uint8_t> bytes;
        bool replied = true;
    };
    std::vector<Request> write;
    std::vector<Request> readBack;
};

Requests& RunRequests() {
    static Requests requests;
    return requests;
}

// A session connected to the shared service, with a progress bar and a status line
// showing its flash reports on this thread.
class FlashSession {
  public:
    FlashSession() : session_(questions_, &clock_), reports_(signals_) {
        QObject::connect(&signals_, &FlashSignals::ProgressShown, &progress_,
                         &QProgressBar::setValue, Qt::QueuedConnection);
        QObject::connect(
            &signals_, &FlashSignals::TextShown, &status_,
            [this](int, const std::string& text) { status_.setText(QString::fromStdString(text)); },
            Qt::QueuedConnection);
        progress_.setRange(0, 100);
        session_.Connect(".", "kavo");
        session_.Sync();
        connected_ = session_.State().isConnected;
        plan_.mode = FlashMode::UpdateOnly;
        plan_.biosPath = SharedService().imagePath;
        plan_.parameters.flashId = kRomChip;
        plan_.parameters.flashSize = static_cast<std::int32_t>(kRomSize);
        plan_.parameters.biosVersion = 0x0350;
        plan_.controllerName = "RX-Oak 4P";
        plan_.hostName.push_back('.');  // this computer
    }
    ~FlashSession() {
        session_.Disconnect();
        session_.Sync();
    }
    FlashSession(const FlashSession&) = delete;
    FlashSession& operator=(const FlashSession&) = delete;

    bool Connected() const { return connected_; }
    std::string FirstMessage() const { return questions_.First(); }

    // One run, its reports delivered. Returns the time without the read-back; adds the
    // read-back's time to `verify`.
    Clock::duration Run(Clock::duration& verify) {
        const Clock::time_point begin = Clock::now();
        session_.Converse([this](ServiceLink& link, StatusRequests&) {
            result_ = FlashConversation(link, session_.Questions(), reports_).Run(plan_);
        });
        session_.Sync();
        const Clock::time_point returned = Clock::now();
        QCoreApplication::sendPostedEvents();
        const Clock::time_point delivered = Clock::now();
        const Clock::duration total = delivered - begin;
        start_ += reports_.writeBegin - begin;
        end_ += returned - reports_.verifyEnd;
        deliver_ += delivered - returned;
        const Clock::duration readBack = reports_.verifyEnd - reports_.verifyBegin;
        verify += readBack;
        blocks_ += reports_.verifyBegin - reports_.writeBegin;
        return total - readBack;
    }
    // `requests` sent raw right after a run, on the session's thread over its own
    // socket, each followed by a blocking recv of its reply; their time. Adds the
    // replies that did not come to RawFailures().
    Clock::duration RawReplay(const std::vector<Requests::Request>& requests) {
        Clock::duration time{};
        session_.Converse([&](ServiceLink& link, StatusRequests&) {
            std::array<std::uint8_t, ServiceMessage::kSize> reply{};
            const int fd = link.pipe.Handle();
            const Clock::time_point start = Clock::now();
            for (const auto& request : requests) {
                ::send(fd, request.bytes.data(), request.bytes.size(), MSG_NOSIGNAL);
                if (request.replied && ::recv(fd, reply.data(), reply.size(), 0) <= 0) {
                    ++rawFailures_;
                }
            }
            time = Clock::now() - start;
        });
        session_.Sync();
        return time;
    }
    int RawFailures() const { return rawFailures_; }
    const FlashRunResult& Result() const { return result_; }
    // The time of the write blocks (FLASH_WRITE_START to FLASH_END) of all runs so far.
    Clock::duration Blocks() const { return blocks_; }
    // From the run's request to the write's first status line; from the read-back's
    // result to the run's end on the session's thread; the reports' delivery here.
    Clock::duration Start() const { return start_; }
    Clock::duration End() const { return end_; }
    Clock::duration Deliver() const { return deliver_; }

  private:
    ManualTimeSource clock_;
    QuietQuestions questions_;
    ServiceSession session_;
    FlashSignals signals_;
    TimedReports reports_;
    QProgressBar progress_;
    QLabel status_;
    FlashPlan plan_;
    FlashRunResult result_;
    bool connected_ = false;
    int rawFailures_ = 0;
    Clock::duration blocks_{};
    Clock::duration start_{};
    Clock::duration end_{};
    Clock::duration deliver_{};
};

// One run of the sequence, checked: the ROM holds the image, the read-back agreed, no
// message. Keeps its requests for the raw replays.
bool CheckOneRun() {
    Service& service = SharedService();
    FlashSession session;
    if (!session.Connected()) {
        std::fprintf(stderr, "flash_bench: no connection: %s\n", session.FirstMessage().c_str());
        return false;
    }
    service.sim.ClearTranscript();
    Clock::duration verify{};
    session.Run(verify);
    if (session.Result().end != FlashRunResult::End::Completed ||
        session.Result().verification != FlashVerification::Verified ||
        service.sim.FlashContents(0) != service.image || !session.FirstMessage().empty()) {
        std::fprintf(stderr, "flash_bench: the run did not write and verify the ROM: %s\n",
                     session.FirstMessage().c_str());
        return false;
    }
    Requests& requests = RunRequests();
    bool inReadBack = false;
    for (const sim::TranscriptEntry& entry : service.sim.Transcript()) {
        if (entry.code == FLASH_READ_START) {
            inReadBack = true;
        } else if (inReadBack && entry.code != FLASH_READ_ACK) {
            inReadBack = false;
        }
        Requests::Request request{bench::RequestBytes(entry), entry.code != FLASH_END};
        (inReadBack ? requests.readBack : requests.write).push_back(std::move(request));
    }
    // The acknowledgement of the read-back's end gets no reply.
    if (requests.readBack.size() != 2 + kRomSize / 512 ||
        requests.write.size() != 4 + 1024 + 1 + 3) {
        std::fprintf(stderr, "flash_bench: %zu write and %zu read-back requests\n",
                     requests.write.size(), requests.readBack.size());
        return false;
    }
    requests.readBack.back().replied = false;
    return true;
}

void BenchFlashRun(benchmark::State& state) {
    Service& service = SharedService();
    std::optional<FlashSession> session;
    session.emplace();
    if (!session->Connected()) {
        state.SkipWithError("no connection");
        return;
    }
    Clock::duration verify{};
    Clock::duration rawWrite{};
    Clock::duration rawRead{};
    const Requests& requests = RunRequests();
    const std::uint64_t before = service.messages.load();
    for (auto _ : state) {
        const Clock::duration time = session->Run(verify);
        state.SetIterationTime(std::chrono::duration<double>(time).count());
        rawWrite += session->RawReplay(requests.write);
        rawRead += session->RawReplay(requests.readBack);
    }
    const auto runs = static_cast<double>(state.iterations());
    const auto milliseconds = [runs](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() / runs;
    };
    state.counters["verify_ms"] = milliseconds(verify);
    state.counters["raw_write_ms"] = milliseconds(rawWrite);
    state.counters["raw_read_ms"] = milliseconds(rawRead);
    state.counters["blocks_ms"] = milliseconds(session->Blocks());
    state.counters["start_ms"] = milliseconds(session->Start());
    state.counters["end_ms"] = milliseconds(session->End());
    state.counters["deliver_ms"] = milliseconds(session->Deliver());
    // The run's requests and their raw replay.
    state.counters["requests_per_run"] =
        static_cast<double>(service.messages.load() - before) / runs / 2;
    if (session->Result().verification != FlashVerification::Verified) {
        state.SkipWithError("a run was not verified");
    } else if (session->RawFailures() > 0) {
        state.SkipWithError("a raw exchange failed");
    }
    session.reset();
    if (!service.WaitUntilFree()) {
        state.SkipWithError("the service did not see the session leave");
    }
}
BENCHMARK(BenchFlashRun)->Name("BM_FlashRun")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Before any thread starts, so that every thread inherits the mask.
    if (!bench::PlaceThreads(argc, argv, "flash_bench")) {
        return 1;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    veltrix::TextCatalogue::Install(&app);
    benchmark::Initialize(&argc, argv);
    if (!CheckOneRun()) {
        return 1;
    }
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double runMs = reporter.Nanoseconds("BM_FlashRun") / 1e6;
    const double rawWriteMs = reporter.Counter("BM_FlashRun", "raw_write_ms");
    const double verifyMs = reporter.Counter("BM_FlashRun", "verify_ms");
    const double rawReadMs = reporter.Counter("BM_FlashRun", "raw_read_ms");
    std::printf("write %.2f ms, raw %.2f ms; read-back %.2f ms, raw %.2f ms\n", runMs, rawWriteMs,
                verifyMs, rawReadMs);
    bench::RatioReporter::PrintRatio("flash write / raw write exchanges", runMs, rawWriteMs,
                                     kTargetRatio);
    bench::RatioReporter::PrintRatio("read-back / raw read-out", verifyMs, rawReadMs, kTargetRatio);
    benchmark::Shutdown();
    return 0;
}
