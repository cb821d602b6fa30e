// Reading every controller of a worst-case service through the request functions
// (8 controllers, port multipliers on 4 channels, 20 drives and 20 sets each),
// reported as time per exchange against a raw SOCK_SEQPACKET exchange of the size
// that dominates the scan (a 22-byte address request, an 856-byte drive reply).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "model/object_table.h"
#include "ratio_reporter.h"
#include "raw_answerer.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "session/status_requests.h"

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

constexpr std::size_t kAddressRequest = 22;
constexpr std::size_t kDeviceReply = 856;

void BenchRawDeviceExchange(benchmark::State& state) {
    static bench::RawAnswerer answerer("RAWPIPE", kDeviceReply);
    const int fd = answerer.ConnectRaw();
    for (auto _ : state) {
        bench::RawExchange(fd, kAddressRequest);
    }
    ::close(fd);
}
BENCHMARK(BenchRawDeviceExchange)->Name("BM_RawDeviceExchange")->UseRealTime();

// One iteration reads all eight controllers; the transcript tells how many exchanges
// that took.
void BenchEnumerationPerExchange(benchmark::State& state) {
    sim::ServiceSim service(sim::WorstCaseEnumerationScenario());
    sim::ServiceSimOptions options;
    options.pipeName = "SIMPIPE";
    service.Start(options);
    ServiceLink link;
    ServiceChannel::ServerAvailable(".", "SIMPIPE", 1000);
    link.pipe.Open(".", "SIMPIPE");
    const auto login = BuildLoginBlock("kavo");
    link.pipe.Write(login.data(), login.size());
    std::array<std::uint8_t, ServiceMessage::kSize> reply{};
    link.pipe.Read(reply.data(), reply.size());

    ObjectTable table;
    SilentUi ui;
    StatusRequests requests(link, table, ui);
    std::size_t exchanges = 0;
    std::size_t enumerations = 0;
    for (auto _ : state) {
        service.ClearTranscript();
        table.Clear();
        for (int c = 0; c < 8; ++c) {
            requests.ReadController(c);
        }
        exchanges += service.Transcript().size();
        ++enumerations;
    }
    state.counters["exchanges_per_enumeration"] =
        static_cast<double>(exchanges) / static_cast<double>(enumerations);
    if (ui.failures != 0) {
        state.SkipWithError("the service reported errors");
    }
    service.Stop();
}
BENCHMARK(BenchEnumerationPerExchange)
    ->Name("BM_EnumerationPerExchange")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const std::string name = "BM_EnumerationPerExchange";
    const double perEnumeration = reporter.Counter(name, "exchanges_per_enumeration");
    if (perEnumeration > 0) {
        const double perExchange = reporter.Nanoseconds(name) / perEnumeration;
        std::printf("enumeration: %.0f exchanges, %.0f ns per exchange\n", perEnumeration,
                    perExchange);
        veltrix::bench::RatioReporter::PrintRatio(
            "enumeration exchange / raw device exchange", perExchange,
            reporter.Nanoseconds("BM_RawDeviceExchange"), 1.05);
    }
    benchmark::Shutdown();
    return 0;
}
