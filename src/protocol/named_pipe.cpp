#include "protocol/named_pipe.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "protocol/transport.h"

namespace veltrix {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// errno <-> Win32 code pairs; the first pair of a code gives that code's text.
struct ErrnoMapping {
    int error;
    std::uint32_t code;
};
constexpr ErrnoMapping kErrnoMap[] = {
    {ENOENT, win32::ERROR_FILE_NOT_FOUND},
    {EACCES, win32::ERROR_ACCESS_DENIED},
    {EPERM, win32::ERROR_ACCESS_DENIED},
    {EBADF, win32::ERROR_INVALID_HANDLE},
    {ENOMEM, win32::ERROR_NOT_ENOUGH_MEMORY},
    {EBADMSG, win32::ERROR_INVALID_DATA},
    {EINVAL, win32::ERROR_INVALID_PARAMETER},
    {EPIPE, win32::ERROR_BROKEN_PIPE},
    {ECONNRESET, win32::ERROR_BROKEN_PIPE},
    {ENOTCONN, win32::ERROR_BROKEN_PIPE},
    {ESHUTDOWN, win32::ERROR_BROKEN_PIPE},
    {ETIMEDOUT, win32::ERROR_SEM_TIMEOUT},
    {ENAMETOOLONG, win32::ERROR_INVALID_NAME},
    {EBUSY, win32::ERROR_PIPE_BUSY},
    {EAGAIN, win32::ERROR_NO_DATA},
    {EMSGSIZE, win32::ERROR_MORE_DATA},
    {ECONNREFUSED, win32::ERROR_CONNECTION_REFUSED},
    {ENETUNREACH, win32::ERROR_NETWORK_UNREACHABLE},
    {EHOSTUNREACH, win32::ERROR_HOST_UNREACHABLE},
};

std::string ErrnoText(int error) {
    std::array<char, 256> buffer{};
    // GNU strerror_r returns the text, which may or may not live in `buffer`.
    const char* text = strerror_r(error, buffer.data(), buffer.size());
    return text != nullptr ? std::string(text) : std::string();
}

// Throws with the code mapped from `error` and the system's text for `error`.
[[noreturn]] void ThrowErrno(int error) {
    throw CNamedPipeException(Win32ErrorFromErrno(error), ErrnoText(error));
}

// Throws `code` with the system's text of the errno that stands behind it.
[[noreturn]] void ThrowCode(std::uint32_t code, int errorForText) {
    throw CNamedPipeException(code, ErrnoText(errorForText));
}

[[noreturn]] void ThrowResolveError(int gaiError) {
    if (gaiError == EAI_SYSTEM) {
        ThrowErrno(errno);
    }
    throw CNamedPipeException(win32::ERROR_BAD_NETPATH, gai_strerror(gaiError));
}

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

// A socket descriptor that closes itself unless released.
class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ != -1) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

void SetBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
}

sockaddr_un LocalAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        ThrowCode(win32::ERROR_INVALID_NAME, ENAMETOOLONG);
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

enum class ConnectResult { Connected, Refused, TimedOut };

// One non-blocking connect attempt, waiting up to `deadline` for it to complete.
// Errors other than refusal and time-out throw.
ConnectResult ConnectBefore(int fd, const sockaddr* address, socklen_t size,
                            Clock::time_point deadline) {
    if (::connect(fd, address, size) == 0) {
        return ConnectResult::Connected;
    }
    if (errno == ECONNREFUSED || errno == EAGAIN) {
        // EAGAIN: a local listener whose queue is full, which is as busy as refused.
        return ConnectResult::Refused;
    }
    if (errno != EINPROGRESS && errno != EINTR) {
        ThrowErrno(errno);
    }
    pollfd p{fd, POLLOUT, 0};
    for (;;) {
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            ThrowErrno(errno);
        }
        if (ready == 0) {
            return ConnectResult::TimedOut;
        }
        break;
    }
    int error = 0;
    socklen_t length = sizeof(error);
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error == 0) {
        return ConnectResult::Connected;
    }
    if (error == ECONNREFUSED) {
        return ConnectResult::Refused;
    }
    if (error == ETIMEDOUT) {
        return ConnectResult::TimedOut;
    }
    ThrowErrno(error);
}

// How long to wait before asking a busy local pipe again. The listener gives no
// signal when it takes clients again, so the wait is a short retry interval.
constexpr Milliseconds kBusyRetryInterval{10};

// Connects to the local pipe socket; waits while it is busy until `deadline`.
int ConnectLocal(const std::string& pipe, Clock::time_point deadline, bool waitWhileBusy) {
    const std::string path = transport::LocalSocketPath(pipe);
    const sockaddr_un address = LocalAddress(path);
    for (;;) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            ThrowErrno(errno);  // a missing socket is error 2 at once
        }
        Socket fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (fd.get() == -1) {
            ThrowErrno(errno);
        }
        const auto result = ConnectBefore(fd.get(), reinterpret_cast<const sockaddr*>(&address),
                                          sizeof(address), deadline);
        if (result == ConnectResult::Connected) {
            SetBlocking(fd.get());
            return fd.release();
        }
        if (!waitWhileBusy) {
            ThrowCode(win32::ERROR_PIPE_BUSY, EBUSY);
        }
        if (Clock::now() >= deadline) {
            ThrowCode(win32::ERROR_SEM_TIMEOUT, ETIMEDOUT);
        }
        std::this_thread::sleep_for(
            std::min<Clock::duration>(kBusyRetryInterval, deadline - Clock::now()));
    }
}

// Connects over TCP to `host`; refused is error 2, no answer before `deadline` 121.
int ConnectRemote(const std::string& host, Clock::time_point deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(transport::TcpPort());
    const int gai = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (gai != 0) {
        ThrowResolveError(gai);
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(found, &::freeaddrinfo);
    bool timedOut = false;
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        Socket fd(
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
        if (fd.get() == -1) {
            continue;
        }
        const auto result = ConnectBefore(fd.get(), a->ai_addr, a->ai_addrlen, deadline);
        if (result == ConnectResult::Connected) {
            SetBlocking(fd.get());
            const int on = 1;
            ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
            return fd.release();
        }
        if (result == ConnectResult::TimedOut) {
            timedOut = true;
            break;
        }
    }
    if (timedOut) {
        ThrowCode(win32::ERROR_SEM_TIMEOUT, ETIMEDOUT);
    }
    ThrowCode(win32::ERROR_FILE_NOT_FOUND, ECONNREFUSED);
}

transport::PipeAddress AddressOf(const std::string& host, const std::string& pipe) {
    const auto address = transport::ParseFullPipeName(CNamedPipe::FullName(host, pipe));
    if (!address) {
        ThrowCode(win32::ERROR_INVALID_NAME, EINVAL);
    }
    return *address;
}

// The connection that ServerAvailable made, kept for the next Open of that pipe: a
// pipe instance that was found free stays reserved for this client.
struct ReservedConnection {
    std::mutex mutex;
    std::string fullName;
    int fd = -1;

    void put(const std::string& name, int newFd) {
        std::lock_guard lock(mutex);
        if (fd != -1) {
            ::close(fd);
        }
        fullName = name;
        fd = newFd;
    }
    int take(const std::string& name) {
        std::lock_guard lock(mutex);
        if (fd == -1 || fullName != name) {
            return -1;
        }
        return std::exchange(fd, -1);
    }
};

ReservedConnection& Reserved() {
    static ReservedConnection reserved;
    return reserved;
}

// Whether the other end of a reserved connection has gone away meanwhile.
bool PeerClosed(int fd) {
    pollfd p{fd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLRDHUP)) != 0;
}

}  // namespace

std::uint32_t Win32ErrorFromErrno(int error) {
    for (const auto& m : kErrnoMap) {
        if (m.error == error) {
            return m.code;
        }
    }
    return win32::kErrnoFlag | static_cast<std::uint32_t>(error);
}

std::string SystemErrorText(std::uint32_t errorCode) {
    if (errorCode == win32::ERROR_BAD_NETPATH) {
        return gai_strerror(EAI_NONAME);
    }
    if (errorCode == win32::ERROR_SEM_TIMEOUT) {
        return ErrnoText(ETIMEDOUT);
    }
    if (errorCode == win32::ERROR_INVALID_NAME) {
        return ErrnoText(EINVAL);
    }
    for (const auto& m : kErrnoMap) {
        if (m.code == errorCode) {
            return ErrnoText(m.error);
        }
    }
    if ((errorCode & win32::kErrnoFlag) != 0) {
        const auto error = static_cast<int>(errorCode & ~win32::kErrnoFlag);
        if (error > 0 && error < 4096) {
            return ErrnoText(error);
        }
    }
    return {};
}

CNamedPipeException::CNamedPipeException(std::uint32_t code, std::string systemText)
    : errorCode(code), text_(std::move(systemText)) {}

bool CNamedPipeException::GetErrorMessage(char* buffer, std::size_t capacity,
                                          unsigned* helpContext) const {
    if (helpContext != nullptr) {
        *helpContext = 0;
    }
    if (buffer == nullptr || capacity == 0) {
        return false;
    }
    if (text_.empty()) {
        buffer[0] = '\0';
        return false;
    }
    const std::size_t n = std::min(text_.size(), capacity - 1);
    std::memcpy(buffer, text_.data(), n);
    buffer[n] = '\0';
    return true;
}

std::string CNamedPipeException::GetErrorMessage() const {
    std::array<char, 4096> buffer{};
    GetErrorMessage(buffer.data(), buffer.size());
    return std::string(buffer.data());
}

const char* CNamedPipeException::what() const noexcept {
    return text_.c_str();
}

void ThrowNamedPipeException(std::uint32_t errorCode) {
    if (errorCode == 0) {
        ThrowErrno(errno);
    }
    throw CNamedPipeException(errorCode, SystemErrorText(errorCode));
}

struct CNamedPipe::TcpState {
    transport::TcpDeframer deframer;
    bool peerClosed = false;
};

CNamedPipe::CNamedPipe() = default;

CNamedPipe::~CNamedPipe() {
    Close();
}

std::string CNamedPipe::FullName(const std::string& host, const std::string& pipe) {
    return transport::FullPipeName(host, pipe);
}

void CNamedPipe::ServerAvailable(const std::string& host, const std::string& pipe,
                                 std::uint32_t timeoutMs) {
    const auto address = AddressOf(host, pipe);
    const auto deadline = Clock::now() + Milliseconds(timeoutMs);
    const int fd = address.isLocal() ? ConnectLocal(address.pipe, deadline, true)
                                     : ConnectRemote(address.host, deadline);
    Reserved().put(FullName(host, pipe), fd);
}

void CNamedPipe::Open(const std::string& host, const std::string& pipe,
                      std::uint32_t /*desiredAccess*/, std::uint32_t /*shareMode*/,
                      const void* /*securityAttributes*/, std::uint32_t /*flagsAndAttributes*/) {
    // Access, sharing and flags have no counterpart on a socket: it always reads and
    // writes, and nobody else can share it.
    const auto address = AddressOf(host, pipe);
    int fd = Reserved().take(FullName(host, pipe));
    if (fd != -1 && PeerClosed(fd)) {
        ::close(fd);
        fd = -1;
    }
    if (fd == -1) {
        constexpr Milliseconds kOpenTimeout{5000};
        const auto deadline = Clock::now() + kOpenTimeout;
        fd = address.isLocal() ? ConnectLocal(address.pipe, deadline, false)
                               : ConnectRemote(address.host, deadline);
    }
    handle_ = fd;
    tcp_ = !address.isLocal();
    mode_ = 0;
    tcpState_ = tcp_ ? std::make_unique<TcpState>() : nullptr;
}

std::size_t CNamedPipe::Write(const void* buffer, std::size_t count) {
    if (!IsOpen()) {
        ThrowNamedPipeException(win32::ERROR_INVALID_HANDLE);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (!tcp_) {
        for (;;) {
            const ssize_t sent = ::send(handle_, bytes, count, MSG_NOSIGNAL);
            if (sent >= 0) {
                return static_cast<std::size_t>(sent);
            }
            if (errno != EINTR) {
                ThrowErrno(errno);
            }
        }
    }
    const auto framed = transport::FrameTcpMessage({bytes, count});
    std::size_t done = 0;
    while (done < framed.size()) {
        const ssize_t sent =
            ::send(handle_, framed.data() + done, framed.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0) {
            ThrowErrno(errno);
        }
        done += static_cast<std::size_t>(sent);
    }
    return count;
}

bool CNamedPipe::fillFromSocket(bool block) {
    std::array<std::uint8_t, 4096> chunk{};
    for (;;) {
        const ssize_t got = ::recv(handle_, chunk.data(), chunk.size(), block ? 0 : MSG_DONTWAIT);
        if (got > 0) {
            if (!tcpState_->deframer.append({chunk.data(), static_cast<std::size_t>(got)})) {
                ThrowCode(win32::ERROR_INVALID_DATA, EBADMSG);
            }
            return true;
        }
        if (got == 0) {
            tcpState_->peerClosed = true;
            return false;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return false;
        }
        ThrowErrno(errno);
    }
}

std::size_t CNamedPipe::Read(void* buffer, std::size_t count) {
    if (!IsOpen()) {
        ThrowNamedPipeException(win32::ERROR_INVALID_HANDLE);
    }
    const bool blocking = (mode_ & 1) == 0;
    if (!blocking) {
        std::size_t total = 0;
        Peek(nullptr, 0, &total, nullptr);
        if (total == 0) {
            ThrowCode(win32::ERROR_NO_DATA, EAGAIN);
        }
    }
    if (!tcp_) {
        for (;;) {
            const ssize_t got = ::recv(handle_, buffer, count, 0);
            if (got > 0) {
                return static_cast<std::size_t>(got);
            }
            if (got == 0) {
                ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);  // the service closed its end
            }
            if (errno != EINTR) {
                ThrowErrno(errno);
            }
        }
    }
    while (!tcpState_->deframer.hasWholeMessage()) {
        if (tcpState_->peerClosed || !fillFromSocket(true)) {
            ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
        }
    }
    const auto message = tcpState_->deframer.pop();
    const std::size_t n = std::min(count, message->size());
    std::copy_n(message->begin(), n, static_cast<std::uint8_t*>(buffer));
    return n;
}

std::size_t CNamedPipe::Peek(void* buffer, std::size_t size, std::size_t* totalAvailable,
                             std::size_t* leftThisMessage) {
    if (!IsOpen()) {
        ThrowNamedPipeException(win32::ERROR_INVALID_HANDLE);
    }
    std::size_t total = 0;
    std::size_t first = 0;
    std::size_t copied = 0;
    if (!tcp_) {
        pollfd p{handle_, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0) {
            std::array<std::uint8_t, 1> scratch{};
            void* target = (buffer != nullptr && size > 0) ? buffer : scratch.data();
            const std::size_t room = (buffer != nullptr && size > 0) ? size : 0;
            const ssize_t length =
                ::recv(handle_, target, room, MSG_PEEK | MSG_DONTWAIT | MSG_TRUNC);
            if (length < 0 && errno != EAGAIN && errno != EINTR) {
                ThrowErrno(errno);
            }
            if (length == 0 && (p.revents & POLLHUP) != 0) {
                ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
            }
            if (length > 0) {
                first = static_cast<std::size_t>(length);
                copied = std::min(first, room);
                int queued = 0;
                total = (::ioctl(handle_, FIONREAD, &queued) == 0 && queued > 0)
                            ? std::max(first, static_cast<std::size_t>(queued))
                            : first;
            }
        }
    } else {
        while (!tcpState_->peerClosed && fillFromSocket(false)) {
        }
        auto& deframer = tcpState_->deframer;
        total = deframer.bytesInWholeMessages();
        first = deframer.firstMessageSize();
        if (total == 0 && tcpState_->peerClosed) {
            ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
        }
        if (buffer != nullptr && first > 0) {
            const auto message = deframer.firstMessage();
            copied = std::min(size, message.size());
            std::copy_n(message.begin(), copied, static_cast<std::uint8_t*>(buffer));
        }
    }
    if (totalAvailable != nullptr) {
        *totalAvailable = total;
    }
    if (leftThisMessage != nullptr) {
        *leftThisMessage = first;
    }
    return copied;
}

void CNamedPipe::Flush() {
    if (!IsOpen()) {
        ThrowNamedPipeException(win32::ERROR_INVALID_HANDLE);
    }
    // Sockets have nothing to flush; what the caller learns from a flush is whether
    // the service is still there.
    pollfd p{handle_, static_cast<short>(tcp_ ? POLLRDHUP : 0), 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLRDHUP)) != 0) {
        ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
    }
    if (tcp_ && tcpState_->peerClosed) {
        ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
    }
}

void CNamedPipe::SetMode(bool byteMode, bool blocking) {
    if (!IsOpen()) {
        ThrowNamedPipeException(win32::ERROR_INVALID_HANDLE);
    }
    mode_ = (byteMode ? 0u : 2u) | (blocking ? 0u : 1u);
}

void CNamedPipe::Close() {
    if (handle_ != -1) {
        ::close(handle_);
        handle_ = -1;
    }
    tcpState_.reset();
    tcp_ = false;
    mode_ = 0;
}

bool CNamedPipe::WaitForResponse(std::uint32_t timeoutMs) {
    if (!IsOpen()) {
        ThrowNamedPipeException(win32::ERROR_INVALID_HANDLE);
    }
    // Even a time-out below 10 ms waits once for about 10 ms before giving up.
    constexpr std::uint32_t kShortestWait = 10;
    const auto deadline = Clock::now() + Milliseconds(std::max(timeoutMs, kShortestWait));
    for (;;) {
        if (tcp_ && tcpState_->deframer.hasWholeMessage()) {
            return true;  // already taken off the socket by an earlier peek
        }
        pollfd p{handle_, POLLIN, 0};
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready < 0 && errno != EINTR) {
            ThrowErrno(errno);
        }
        if (ready > 0) {
            // A local message is whole once it is readable; a closed end or TCP bytes
            // need a closer look (a peek throws for a closed end with nothing left).
            if (!tcp_ && (p.revents & (POLLHUP | POLLERR)) == 0) {
                return true;
            }
            std::size_t total = 0;
            Peek(nullptr, 0, &total, nullptr);
            if (total > 0) {
                return true;
            }
        }
        if (Clock::now() >= deadline) {
            return false;
        }
    }
}

}  // namespace veltrix
