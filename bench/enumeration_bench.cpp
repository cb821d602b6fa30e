// Reading every controller of a worst-case service through the request functions
// (8 controllers, port multipliers on 4 channels, 20 drives and 20 sets each), against
// the same requests replayed raw to the same simulated service, as its transcript
// recorded them: the service does the same work for both, the client's cost differs.
// Each iteration runs both, controller by controller, in turns (see BenchEnumeration).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <chrono>

#include "bench_support.h"
#include "model/object_table.h"
#include "ratio_reporter.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "session/status_requests.h"
#include "transcript_replay.h"

namespace {

using namespace veltrix;

class SilentUi : public UserInterface {
  public:
    MessageAnswer ShowMessage(const std::string&, MessageIcon, MessageButtons) override {
        ++failures;
        return MessageAnswer::Ok;
    }
    void ReportError(const std::string&) override { ++failures; }
    int failures = 0;
};

// The worst-case service both benchmarks talk to, one client at a time.
sim::ServiceSim& Service() {
    static sim::ServiceSim* service = [] {
        auto* made = new sim::ServiceSim(sim::WorstCaseEnumerationScenario());
        sim::ServiceSimOptions options;
        options.pipeName = "SIMPIPE";
        made->Start(options);
        return made;
    }();
    return *service;
}

// Waits until the service has seen every client so far go.
void Settle() {
    Service().WaitForConnectionsClosed(Service().ConnectionsAccepted(), std::chrono::seconds(10));
}

// A link logged in to the service.
void LogIn(ServiceLink& link) {
    Service();  // started at its first use
    ServiceChannel::ServerAvailable(".", "SIMPIPE", 1000);
    link.pipe.Open(".", "SIMPIPE");
    const auto login = BuildLoginBlock("kavo");
    link.pipe.Write(login.data(), login.size());
    std::array<std::uint8_t, ServiceMessage::kSize> reply{};
    link.pipe.Read(reply.data(), reply.size());
}

constexpr int kControllers = 8;

using Clock = std::chrono::steady_clock;
using bench::SecondsSince;

// The requests of reading each controller, as the service received them.
std::array<bench::RequestList, kControllers>& ControllerRequests() {
    static std::array<bench::RequestList, kControllers> requests;
    return requests;
}

// The requests of the service's transcript since it was last cleared.
bench::RequestList TakeTranscript() {
    bench::RequestList requests;
    for (const sim::TranscriptEntry& entry : Service().Transcript()) {
        requests.push_back(bench::RequestBytes(entry));
    }
    Service().ClearTranscript();
    return requests;
}

// Keeps the requests of reading each controller for the raw replay, before anything is
// measured; false when the service reported an error.
bool RecordEnumeration() {
    {
        ServiceLink link;
        LogIn(link);
        ObjectTable table;
        SilentUi ui;
        StatusRequests requests(link, table, ui);
        Service().ClearTranscript();
        for (int c = 0; c < kControllers; ++c) {
            requests.ReadController(c);
            ControllerRequests()[static_cast<std::size_t>(c)] = TakeTranscript();
        }
        if (ui.failures != 0) {
            return false;
        }
    }
    Settle();
    for (const bench::RequestList& requests : ControllerRequests()) {
        if (requests.empty()) {
            return false;
        }
    }
    return true;
}

// One iteration reads all eight controllers through the request functions, and sends
// each controller's recorded requests raw over the same connection, from the same
// thread: controller by controller, taking turns at going first (the side that runs
// second finds the service's thread awake). Where the scheduler puts the client's and
// the service's threads (one core or two) changes an exchange's cost by half and holds
// for hundreds of milliseconds; in slices of one controller, both sides meet the same
// placement. The iteration's time is the enumeration's; the raw replay's is the
// counter raw_ms.
void BenchEnumeration(benchmark::State& state) {
    double rawSeconds = 0;
    std::size_t iteration = 0;
    std::size_t exchanges = 0;
    for (const bench::RequestList& requests : ControllerRequests()) {
        exchanges += requests.size();
    }
    for (auto _ : state) {
        double enumerationSeconds = 0;
        int failures = 0;
        {
            ServiceLink link;
            LogIn(link);
            ObjectTable table;
            SilentUi ui;
            StatusRequests requests(link, table, ui);
            for (int c = 0; c < kControllers; ++c) {
                const auto readThrough = [&] {
                    const auto start = Clock::now();
                    requests.ReadController(c);
                    enumerationSeconds += SecondsSince(start);
                };
                const auto readRaw = [&] {
                    const auto start = Clock::now();
                    failures += bench::ReplayOn(link.pipe.Handle(),
                                                ControllerRequests()[static_cast<std::size_t>(c)]);
                    rawSeconds += SecondsSince(start);
                };
                if ((iteration + static_cast<std::size_t>(c)) % 2 == 0) {
                    readThrough();
                    readRaw();
                } else {
                    readRaw();
                    readThrough();
                }
                Service().ClearTranscript();  // it would grow with every request
            }
            failures += ui.failures;
        }
        Settle();
        ++iteration;
        if (failures != 0) {
            state.SkipWithError("the service reported errors");
            break;
        }
        state.SetIterationTime(enumerationSeconds);
    }
    state.counters["exchanges_per_enumeration"] = static_cast<double>(exchanges);
    state.counters["raw_ms"] =
        benchmark::Counter(rawSeconds * 1e3, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BenchEnumeration)->Name("BM_Enumeration")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!RecordEnumeration()) {
        std::fprintf(stderr, "enumeration_bench: the worst-case enumeration failed\n");
        return 1;
    }
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double enumeration = reporter.Nanoseconds("BM_Enumeration");
    const double raw = reporter.Counter("BM_Enumeration", "raw_ms") * 1e6;
    const double perEnumeration = reporter.Counter("BM_Enumeration", "exchanges_per_enumeration");
    if (perEnumeration > 0) {
        std::printf("enumeration: %.0f exchanges, %.0f ns per exchange, raw %.0f ns\n",
                    perEnumeration, enumeration / perEnumeration, raw / perEnumeration);
    }
    veltrix::bench::RatioReporter::PrintRatio("BM_Enumeration / BM_RawEnumerationRequests",
                                              enumeration, raw, 1.05);
    Service().Stop();
    benchmark::Shutdown();
    return 0;
}
