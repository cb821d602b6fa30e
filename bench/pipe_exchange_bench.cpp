// One request/reply exchange through the channel (Write + WaitForResponse + Read)
// against a raw SOCK_SEQPACKET ping-pong of the same sizes, in the same run.
//
// Both talk to the same answering thread, which sends back a reply of a fixed size;
// each iteration runs a block of each, one after the other (see BenchChannelExchange).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "bench_support.h"
#include "protocol/protocol.h"
#include "protocol/service_channel.h"
#include "ratio_reporter.h"
#include "raw_answerer.h"

namespace {

using namespace veltrix;

constexpr std::size_t kRequestSize = 10;  // GET_CONTROLLER_INFO with its controller number
constexpr std::size_t kReplySize = 46;    // a controller record reply

bench::RawAnswerer& SharedAnswerer() {
    static bench::RawAnswerer answerer("BENCHPIPE", kReplySize);
    return answerer;
}

using Clock = std::chrono::steady_clock;
using bench::SecondsSince;

// Exchanges per side in one iteration.
constexpr int kBlock = 256;

// One iteration: a block of exchanges through the channel, then a block of raw ones,
// each on a connection of its own (the answerer serves one client at a time). Where
// the scheduler puts the client's and the answerer's threads (one core or two) changes
// an exchange's cost by half and holds for hundreds of milliseconds; side by side, both
// blocks meet the same placement. The iteration's time is the channel's block; the raw
// block's is the counter raw_us; the program prints both per exchange.
void BenchChannelExchange(benchmark::State& state) {
    SharedAnswerer();
    const std::uint8_t controller[] = {0, 0, 0, 0};
    double rawSeconds = 0;
    for (auto _ : state) {
        double channelSeconds = 0;
        {
            ServiceChannel pipe;
            ServiceChannel::ServerAvailable(".", "BENCHPIPE", 1000);
            pipe.Open(".", "BENCHPIPE");
            ServiceMessage message;
            const auto start = Clock::now();
            for (int i = 0; i < kBlock; ++i) {
                message.SetRequest(GET_CONTROLLER_INFO, controller);
                pipe.Write(message.raw.data(), message.WireSize());
                if (!pipe.WaitForResponse(10000)) {
                    state.SkipWithError("no reply");
                    return;
                }
                message.Clear();
                message.received = pipe.Read(message.raw.data(), message.raw.size());
            }
            channelSeconds = SecondsSince(start);
        }
        const int fd = SharedAnswerer().ConnectRaw();
        if (fd == -1) {
            state.SkipWithError("connect failed");
            return;
        }
        const auto start = Clock::now();
        for (int i = 0; i < kBlock; ++i) {
            bench::RawExchange(fd, kRequestSize);
        }
        rawSeconds += SecondsSince(start);
        ::close(fd);
        state.SetIterationTime(channelSeconds);
    }
    state.counters["raw_us"] =
        benchmark::Counter(rawSeconds * 1e6, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BenchChannelExchange)
    ->Name("BM_ChannelExchange")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double channel = reporter.Nanoseconds("BM_ChannelExchange");
    const double raw = reporter.Counter("BM_ChannelExchange", "raw_us") * 1e3;
    if (channel > 0 && raw > 0) {
        std::printf("one exchange: channel %.0f ns, raw %.0f ns (medians)\n", channel / kBlock,
                    raw / kBlock);
    }
    veltrix::bench::RatioReporter::PrintRatio("BM_ChannelExchange / BM_RawSeqpacketExchange",
                                              channel, raw, 1.05);
    benchmark::Shutdown();
    return 0;
}
