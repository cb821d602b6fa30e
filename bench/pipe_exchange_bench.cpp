// One request/reply exchange through the channel (Write + WaitForResponse + Read)
// against a raw SOCK_SEQPACKET ping-pong of the same sizes, in the same run.
//
// Both talk to the same answering thread: it reads a request and sends back a reply
// of a fixed size (a controller record reply: 6 + 40 bytes).

#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "ratio_reporter.h"
#include "service/named_pipe.h"
#include "service/protocol.h"
#include "service/transport.h"

namespace {

using namespace veltrix;

constexpr std::size_t kRequestSize = 10;  // GET_CONTROLLER_INFO with its controller number
constexpr std::size_t kReplySize = 46;

// Answers every message with a reply of kReplySize bytes until the client leaves.
class Answerer {
  public:
    Answerer() {
        std::string dir = (std::filesystem::temp_directory_path() / "veltrix-bench-XXXXXX");
        if (::mkdtemp(dir.data()) == nullptr) {
            std::abort();
        }
        dir_ = dir;
        ::setenv(transport::kPipeDirVariable, dir_.c_str(), 1);
        listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        transport::LocalSocketPath("BENCHPIPE")
            .copy(address.sun_path, sizeof(address.sun_path) - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(listener_, 4) != 0) {
            std::abort();
        }
        path_ = address.sun_path;
        thread_ = std::thread([this] { serve(); });
    }
    ~Answerer() {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
        std::filesystem::remove_all(dir_);
    }
    const std::string& path() const { return path_; }

  private:
    void serve() {
        for (;;) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            std::array<std::uint8_t, ServiceMessage::kSize> buffer{};
            while (::recv(client, buffer.data(), buffer.size(), 0) > 0) {
                ::send(client, buffer.data(), kReplySize, MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }
    std::string dir_;
    std::string path_;
    int listener_ = -1;
    std::thread thread_;
};

Answerer& SharedAnswerer() {
    static Answerer answerer;
    return answerer;
}

void BM_RawSeqpacketExchange(benchmark::State& state) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    SharedAnswerer().path().copy(address.sun_path, sizeof(address.sun_path) - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        state.SkipWithError("connect failed");
        return;
    }
    std::array<std::uint8_t, ServiceMessage::kSize> buffer{};
    for (auto _ : state) {
        ::send(fd, buffer.data(), kRequestSize, MSG_NOSIGNAL);
        benchmark::DoNotOptimize(::recv(fd, buffer.data(), buffer.size(), 0));
    }
    ::close(fd);
}
BENCHMARK(BM_RawSeqpacketExchange)->UseRealTime();

void BM_ChannelExchange(benchmark::State& state) {
    SharedAnswerer();
    CNamedPipe pipe;
    CNamedPipe::ServerAvailable(".", "BENCHPIPE", 1000);
    pipe.Open(".", "BENCHPIPE");
    ServiceMessage message;
    const std::uint8_t controller[] = {0, 0, 0, 0};
    for (auto _ : state) {
        message.setRequest(GET_CONTROLLER_INFO, controller);
        pipe.Write(message.raw.data(), message.wireSize());
        if (!pipe.WaitForResponse(10000)) {
            state.SkipWithError("no reply");
            break;
        }
        message.clear();
        message.received = pipe.Read(message.raw.data(), message.raw.size());
    }
}
BENCHMARK(BM_ChannelExchange)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_ChannelExchange", "BM_RawSeqpacketExchange", 1.5);
    benchmark::Shutdown();
    return 0;
}
