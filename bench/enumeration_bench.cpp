// Reading every controller of a worst-case service through the request functions
// (8 controllers, port multipliers on 4 channels, 20 drives and 20 sets each), against
// the same requests replayed raw to the same simulated service, as its transcript
// recorded them: the service does the same work for both, the client's cost differs.
// Each iteration runs both, one after the other (see BenchEnumeration).

#include <benchmark/benchmark.h>
#include <unistd.h>

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

// The requests of one enumeration as the service received them, after the login.
bench::RequestList& EnumerationRequests() {
    static bench::RequestList requests;
    return requests;
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

// Reads all eight controllers; false when the service reported an error.
bool Enumerate(StatusRequests& requests, ObjectTable& table, const SilentUi& ui) {
    table.Clear();
    for (int c = 0; c < 8; ++c) {
        requests.ReadController(c);
    }
    return ui.failures == 0;
}

using Clock = std::chrono::steady_clock;
using bench::SecondsSince;

// One enumeration on a connection of its own, the service's transcript cleared before
// it (it would grow with every enumeration); its time goes to `seconds`, and with
// `record` its requests as the service received them. False when the service
// reported an error.
bool EnumerateOnce(double& seconds, bench::RequestList* record = nullptr) {
    bool ok = false;
    {
        ServiceLink link;
        LogIn(link);
        ObjectTable table;
        SilentUi ui;
        StatusRequests requests(link, table, ui);
        Service().ClearTranscript();
        const auto start = Clock::now();
        ok = Enumerate(requests, table, ui);
        seconds = SecondsSince(start);
        if (record != nullptr) {
            for (const sim::TranscriptEntry& entry : Service().Transcript()) {
                record->push_back(bench::RequestBytes(entry));
            }
        }
    }
    Settle();
    return ok;
}

// Keeps the requests of one enumeration for the raw replay, before anything is
// measured.
bool RecordEnumeration() {
    double seconds = 0;
    return EnumerateOnce(seconds, &EnumerationRequests()) && !EnumerationRequests().empty();
}

// One iteration reads all eight controllers through the request functions, then sends
// the recorded requests raw, back to back, each on a connection of its own (the
// service serves one client at a time). Where the scheduler puts the client's and the
// service's threads (one core or two) changes an exchange's cost by half and holds
// for hundreds of milliseconds; side by side, both meet the same placement. The
// iteration's time is the enumeration's; the raw replay's is the counter raw_ms.
void BenchEnumeration(benchmark::State& state) {
    double rawSeconds = 0;
    for (auto _ : state) {
        double enumerationSeconds = 0;
        const bool ok = EnumerateOnce(enumerationSeconds);
        {
            bench::RawClient client(Service().SocketPath());
            const auto start = Clock::now();
            client.Replay(EnumerationRequests(), EnumerationRequests().size());
            rawSeconds += SecondsSince(start);
        }
        Settle();
        if (!ok) {
            state.SkipWithError("the service reported errors");
            break;
        }
        state.SetIterationTime(enumerationSeconds);
    }
    state.counters["exchanges_per_enumeration"] = static_cast<double>(EnumerationRequests().size());
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
