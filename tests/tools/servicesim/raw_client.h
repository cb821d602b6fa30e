#pragma once
// A minimal client for the simulated service's tests: raw sockets, one message per
// send, receives with a time-out. Independent of the product's channel class so
// that hostile input can be sent as is.

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/protocol.h"
#include "protocol/transport.h"

namespace veltrix::sim::testing {

inline std::vector<std::uint8_t> Frame(std::uint32_t code, std::vector<std::uint8_t> data = {},
                                       std::optional<std::uint16_t> length = std::nullopt) {
    ByteWriter w;
    w.U32(code).U16(length.value_or(static_cast<std::uint16_t>(data.size()))).Bytes(data);
    return w.Take();
}

inline std::vector<std::uint8_t> U32s(std::initializer_list<std::uint32_t> values) {
    ByteWriter w;
    for (auto v : values) {
        w.U32(v);
    }
    return w.Take();
}

inline std::vector<std::uint8_t> Login(const std::string& password) {
    const auto block = BuildLoginBlock(password);
    return {block.begin(), block.end()};
}

class RawClient {
  public:
    // Connects to the local socket; check connected() / error().
    static RawClient Local(const std::string& path) {
        RawClient c;
        c.fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        if (::connect(c.fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            c.error_ = errno;
            c.close();
        }
        return c;
    }
    static RawClient Tcp(std::uint16_t port) {
        RawClient c;
        c.tcp_ = true;
        c.fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(c.fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            c.error_ = errno;
            c.close();
        }
        return c;
    }

    RawClient() = default;
    RawClient(RawClient&& other) noexcept { *this = std::move(other); }
    RawClient& operator=(RawClient&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = other.fd_;
            tcp_ = other.tcp_;
            error_ = other.error_;
            deframer_ = std::move(other.deframer_);
            other.fd_ = -1;
        }
        return *this;
    }
    ~RawClient() { close(); }

    bool connected() const { return fd_ >= 0; }
    int error() const { return error_; }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    // Sends one message (TCP: with its length prefix) as is.
    bool send(const std::vector<std::uint8_t>& message) {
        const auto bytes = tcp_ ? transport::FrameTcpMessage(message) : message;
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    // Sends raw bytes on TCP without a prefix.
    bool sendRaw(const std::vector<std::uint8_t>& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }

    // The next message, or nothing when none came within `timeout` or the peer closed
    // (closed() then tells).
    std::optional<std::vector<std::uint8_t>> receive(
        std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (tcp_) {
                if (auto m = deframer_.Pop()) {
                    return m;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() < 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            std::vector<std::uint8_t> buffer(128 * 1024);
            const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
            if (n <= 0) {
                closed_ = true;
                return std::nullopt;
            }
            buffer.resize(static_cast<std::size_t>(n));
            if (!tcp_) {
                return buffer;
            }
            deframer_.Append(buffer);
        }
    }

    // Sends a request and returns its first reply.
    std::optional<std::vector<std::uint8_t>> ask(const std::vector<std::uint8_t>& message) {
        if (!send(message)) {
            return std::nullopt;
        }
        return receive();
    }

    // True when the service closed the connection within `timeout`.
    bool closedByPeer(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!closed_ && std::chrono::steady_clock::now() < deadline) {
            receive(std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()));
        }
        return closed_;
    }

  private:
    int fd_ = -1;
    bool tcp_ = false;
    int error_ = 0;
    bool closed_ = false;
    transport::TcpDeframer deframer_;
};

}  // namespace veltrix::sim::testing
