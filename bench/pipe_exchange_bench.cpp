// One request/reply exchange through the channel (Write + WaitForResponse + Read)
// against a raw SOCK_SEQPACKET ping-pong of the same sizes, in the same run.
//
// Both talk to the same answering thread, which sends back a reply of a fixed size.

#include <benchmark/benchmark.h>
#include <unistd.h>

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

void BenchRawSeqpacketExchange(benchmark::State& state) {
    const int fd = SharedAnswerer().ConnectRaw();
    if (fd == -1) {
        state.SkipWithError("connect failed");
        return;
    }
    for (auto _ : state) {
        bench::RawExchange(fd, kRequestSize);
    }
    ::close(fd);
}
BENCHMARK(BenchRawSeqpacketExchange)->Name("BM_RawSeqpacketExchange")->UseRealTime();

void BenchChannelExchange(benchmark::State& state) {
    SharedAnswerer();
    ServiceChannel pipe;
    ServiceChannel::ServerAvailable(".", "BENCHPIPE", 1000);
    pipe.Open(".", "BENCHPIPE");
    ServiceMessage message;
    const std::uint8_t controller[] = {0, 0, 0, 0};
    for (auto _ : state) {
        message.SetRequest(GET_CONTROLLER_INFO, controller);
        pipe.Write(message.raw.data(), message.WireSize());
        if (!pipe.WaitForResponse(10000)) {
            state.SkipWithError("no reply");
            break;
        }
        message.Clear();
        message.received = pipe.Read(message.raw.data(), message.raw.size());
    }
}
BENCHMARK(BenchChannelExchange)->Name("BM_ChannelExchange")->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("BM_ChannelExchange", "BM_RawSeqpacketExchange", 1.05);
    benchmark::Shutdown();
    return 0;
}
