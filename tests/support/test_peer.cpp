#include "support/test_peer.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>

#include <array>
#include <stdexcept>

namespace veltrix::testing {

namespace {
void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string("test peer: ") + what);
    }
}
}  // namespace

TempPipeDir::TempPipeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veltrix-pipe-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    path_ = pattern;
    ::setenv(transport::kPipeDirVariable, path_.c_str(), 1);
}

TempPipeDir::~TempPipeDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TestPeer::TestPeer(Transport transport, const std::string& pipeName)
    : transport_(transport), pipeName_(pipeName) {
    if (transport_ == Transport::Local) {
        dir_.emplace();
        listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        Check(listener_ != -1, "socket");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = transport::LocalSocketPath(pipeName_);
        path.copy(address.sun_path, sizeof(address.sun_path) - 1);
        Check(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0,
              "bind");
    } else {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        Check(listener_ != -1, "socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Check(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0,
              "bind");
        socklen_t length = sizeof(address);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        ::setenv(transport::kPipePortVariable, std::to_string(ntohs(address.sin_port)).c_str(), 1);
    }
    Check(::listen(listener_, 4) == 0, "listen");
}

TestPeer::~TestPeer() {
    closeClient();
    closeListener();
    ::unsetenv(transport::kPipePortVariable);
}

void TestPeer::accept() {
    client_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    Check(client_ != -1, "accept");
    if (transport_ == Transport::Tcp) {
        const int on = 1;
        ::setsockopt(client_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    }
    deframer_.Clear();
}

void TestPeer::send(const std::vector<std::uint8_t>& message) {
    const auto bytes = transport_ == Transport::Tcp ? transport::FrameTcpMessage(message) : message;
    Check(::send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
              static_cast<ssize_t>(bytes.size()),
          "send");
}

void TestPeer::sendRaw(const std::vector<std::uint8_t>& bytes) {
    Check(::send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
              static_cast<ssize_t>(bytes.size()),
          "send");
}

std::optional<std::vector<std::uint8_t>> TestPeer::receive() {
    std::array<std::uint8_t, 70000> buffer{};
    if (transport_ == Transport::Local) {
        const ssize_t got = ::recv(client_, buffer.data(), buffer.size(), 0);
        if (got <= 0) {
            return std::nullopt;
        }
        return std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + got);
    }
    while (!deframer_.HasWholeMessage()) {
        const ssize_t got = ::recv(client_, buffer.data(), buffer.size(), 0);
        if (got <= 0) {
            return std::nullopt;
        }
        deframer_.Append({buffer.data(), static_cast<std::size_t>(got)});
    }
    return deframer_.Pop();
}

void TestPeer::closeClient() {
    if (client_ != -1) {
        ::close(client_);
        client_ = -1;
    }
}

void TestPeer::closeListener() {
    if (listener_ != -1) {
        ::close(listener_);
        listener_ = -1;
    }
}

}  // namespace veltrix::testing
