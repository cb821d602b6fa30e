#pragma once
// The reference for the exchange benchmarks: a thread that answers every message on
// a local SOCK_SEQPACKET socket with a reply of a fixed size, and a raw client
// exchange against it (send, then a blocking recv).

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "protocol/protocol.h"
#include "protocol/transport.h"

namespace veltrix::bench {

class RawAnswerer {
  public:
    RawAnswerer(const std::string& pipeName, std::size_t replySize) : replySize_(replySize) {
        std::string dir = (std::filesystem::temp_directory_path() / "veltrix-bench-XXXXXX");
        if (::mkdtemp(dir.data()) == nullptr) {
            std::abort();
        }
        dir_ = dir;
        ::setenv(transport::kPipeDirVariable, dir_.c_str(), 1);
        listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        address_.sun_family = AF_UNIX;
        transport::LocalSocketPath(pipeName).copy(address_.sun_path, sizeof(address_.sun_path) - 1);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address_), sizeof(address_)) != 0 ||
            ::listen(listener_, 4) != 0) {
            std::abort();
        }
        thread_ = std::thread([this] { Serve(); });
    }
    ~RawAnswerer() {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
        std::filesystem::remove_all(dir_);
    }
    RawAnswerer(const RawAnswerer&) = delete;
    RawAnswerer& operator=(const RawAnswerer&) = delete;

    // A raw client socket connected to the answerer (-1 on failure).
    int ConnectRaw() const {
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address_), sizeof(address_)) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

  private:
    void Serve() {
        for (;;) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            std::array<std::uint8_t, ServiceMessage::kSize> buffer{};
            while (::recv(client, buffer.data(), buffer.size(), 0) > 0) {
                ::send(client, buffer.data(), replySize_, MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }
    std::size_t replySize_;
    std::string dir_;
    sockaddr_un address_{};
    int listener_ = -1;
    std::thread thread_;
};

// One raw exchange: `requestSize` bytes out, one reply back.
inline void RawExchange(int fd, std::size_t requestSize) {
    std::array<std::uint8_t, ServiceMessage::kSize> buffer{};
    ::send(fd, buffer.data(), requestSize, MSG_NOSIGNAL);
    ::recv(fd, buffer.data(), buffer.size(), 0);
}

}  // namespace veltrix::bench
