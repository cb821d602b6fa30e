// Reading every controller of a worst-case service through the request functions
// (8 controllers, port multipliers on 4 channels, 20 drives and 20 sets each), against
// the same requests replayed raw to the same simulated service, as its transcript
// recorded them: the service does the same work for both, the client's cost differs.

#include <benchmark/benchmark.h>
#include <unistd.h>

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

// Keeps the requests of one enumeration for the raw replay, before anything is
// measured: the repetitions of the two benchmarks run in random order.
bool RecordEnumeration() {
    bool ok = false;
    {
        ServiceLink link;
        LogIn(link);
        ObjectTable table;
        SilentUi ui;
        StatusRequests requests(link, table, ui);
        Service().ClearTranscript();
        ok = Enumerate(requests, table, ui);
        for (const sim::TranscriptEntry& entry : Service().Transcript()) {
            EnumerationRequests().push_back(bench::RequestBytes(entry));
        }
    }
    Settle();
    return ok && !EnumerationRequests().empty();
}

// One iteration reads all eight controllers, as the recorded one did.
void BenchEnumeration(benchmark::State& state) {
    {
        ServiceLink link;
        LogIn(link);
        ObjectTable table;
        SilentUi ui;
        StatusRequests requests(link, table, ui);
        for (auto _ : state) {
            // The service's transcript would grow with every enumeration.
            Service().ClearTranscript();
            Enumerate(requests, table, ui);
        }
        state.counters["exchanges_per_enumeration"] =
            static_cast<double>(EnumerationRequests().size());
        if (ui.failures != 0) {
            state.SkipWithError("the service reported errors");
        }
    }
    Settle();
}
BENCHMARK(BenchEnumeration)->Name("BM_Enumeration")->UseRealTime()->Unit(benchmark::kMillisecond);

// The same requests sent raw: one iteration is one enumeration's worth.
void BenchRawEnumerationRequests(benchmark::State& state) {
    {
        bench::RawClient client(Service().SocketPath());
        for (auto _ : state) {
            client.Replay(EnumerationRequests(), EnumerationRequests().size());
        }
    }
    Settle();
}
BENCHMARK(BenchRawEnumerationRequests)
    ->Name("BM_RawEnumerationRequests")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!RecordEnumeration()) {
        std::fprintf(stderr, "enumeration_bench: the worst-case enumeration failed\n");
        return 1;
    }
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double perEnumeration = reporter.Counter("BM_Enumeration", "exchanges_per_enumeration");
    if (perEnumeration > 0) {
        std::printf("enumeration: %.0f exchanges, %.0f ns per exchange, raw %.0f ns\n",
                    perEnumeration, reporter.Nanoseconds("BM_Enumeration") / perEnumeration,
                    reporter.Nanoseconds("BM_RawEnumerationRequests") / perEnumeration);
    }
    veltrix::bench::RatioReporter::PrintRatio(
        "BM_Enumeration / BM_RawEnumerationRequests", reporter.Nanoseconds("BM_Enumeration"),
        reporter.Nanoseconds("BM_RawEnumerationRequests"), 1.05);
    Service().Stop();
    benchmark::Shutdown();
    return 0;
}
