#pragma once
// The floor of the benchmarks that run the program's own conversations against the
// simulated service: the same requests, as the service's transcript recorded them,
// replayed raw over a SOCK_SEQPACKET socket to the same service (send, blocking recv).
// The service then does the same work for both, and only the client's cost differs.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/protocol.h"
#include "servicesim/service_sim.h"

namespace veltrix::bench {

using RequestList = std::vector<std::vector<std::uint8_t>>;

// The request of a transcript entry as it went on the wire.
inline std::vector<std::uint8_t> RequestBytes(const sim::TranscriptEntry& entry) {
    ByteWriter writer;
    writer.U32(entry.code).U16(entry.length).Bytes(entry.data);
    return writer.Take();
}

// Sends every request over `fd`, a connection logged in (a raw client's, or the
// program's own), each followed by its reply; the number of replies that did not come.
inline int ReplayOn(int fd, std::span<const std::vector<std::uint8_t>> requests) {
    std::array<std::uint8_t, ServiceMessage::kSize> reply{};
    int failures = 0;
    for (const auto& request : requests) {
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        failures += ::recv(fd, reply.data(), reply.size(), 0) <= 0 ? 1 : 0;
    }
    return failures;
}

// A raw client logged in to the service at `socketPath`; it logs off when it goes.
class RawClient {
  public:
    explicit RawClient(const std::string& socketPath)
        : fd_(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
            std::fprintf(stderr, "benchmark: cannot connect the raw client to %s\n",
                         socketPath.c_str());
            std::exit(1);
        }
        const auto login = BuildLoginBlock("kavo");
        ::send(fd_, login.data(), login.size(), MSG_NOSIGNAL);
        ::recv(fd_, reply_.data(), reply_.size(), 0);
    }
    ~RawClient() {
        ServiceMessage logoff;
        logoff.SetRequest(LOGOFF);
        ::send(fd_, logoff.raw.data(), logoff.WireSize(), MSG_NOSIGNAL);
        ::close(fd_);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    // Sends requests [0, count), each followed by its reply.
    void Replay(const RequestList& requests, std::size_t count) {
        ReplayOn(fd_, std::span(requests).first(std::min(count, requests.size())));
    }

  private:
    int fd_;
    std::array<std::uint8_t, ServiceMessage::kSize> reply_{};
};

}  // namespace veltrix::bench
