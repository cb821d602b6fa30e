#include "protocol/service_channel.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "protocol/transport.h"

namespace veltrix {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// A wait without a time limit (it still ends when cancelled).
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

// Keepalive of remote connections: an idle connection is probed after 20 s, every
// 5 s, and given up after 4 unanswered probes; unacknowledged data gives up after
// 45 s. A host that vanished is noticed within a minute.
constexpr int kKeepIdleSeconds = 20;
constexpr int kKeepIntervalSeconds = 5;
constexpr int kKeepProbes = 4;
constexpr unsigned kUserTimeoutMs = 45000;

constexpr char kAbortedText[] =
    "The I/O operation has been aborted because of either a thread exit or an application "
    "request.";

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
    throw ChannelError(Win32ErrorFromErrno(error), ErrnoText(error));
}

// Throws `code` with the system's text of the errno that stands behind it.
[[noreturn]] void ThrowCode(std::uint32_t code, int errorForText) {
    throw ChannelError(code, ErrnoText(errorForText));
}

// `error`: the errno of the look-up, for EAI_SYSTEM.
[[noreturn]] void ThrowResolveError(int gaiError, int error) {
    if (gaiError == EAI_SYSTEM) {
        ThrowErrno(error);
    }
    throw ChannelError(win32::ERROR_BAD_NETPATH, gai_strerror(gaiError));
}

[[noreturn]] void ThrowCancelled() {
    throw ChannelError(win32::ERROR_OPERATION_ABORTED, kAbortedText);
}

void ThrowIfCancelled(const WaitCanceller* canceller) {
    if (canceller != nullptr && canceller->IsCancelled()) {
        ThrowCancelled();
    }
}

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 24 * 3600 * 1000));
}

int PollTimeout(Clock::time_point deadline) {
    return deadline == kNoDeadline ? -1 : RemainingMs(deadline);
}

// Waits until `fd` reports one of `events` or `deadline` passes, watching the
// canceller alongside. With `fd` -1 only the time and the canceller end the wait
// (one of the two must be there). Returns the revents of `fd`, 0 once the deadline
// has passed; throws 995 when the canceller is cancelled, before or during the wait.
short WaitFor(int fd, short events, Clock::time_point deadline, const WaitCanceller* canceller) {
    std::array<pollfd, 2> fds{};
    nfds_t count = 0;
    if (fd != -1) {
        fds[count++] = {fd, events, 0};
    }
    const nfds_t cancelIndex = count;
    if (canceller != nullptr) {
        fds[count++] = {canceller->Fd(), POLLIN, 0};
    }
    for (;;) {
        const int ready = ::poll(fds.data(), count, PollTimeout(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            ThrowErrno(errno);
        }
        // Cancellation wins over a ready socket: the caller asked to stop.
        if (canceller != nullptr && fds[cancelIndex].revents != 0) {
            ThrowCancelled();
        }
        if (ready > 0) {
            return fds[0].revents;
        }
        if (Clock::now() >= deadline) {
            return 0;
        }
    }
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
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

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
// Errors other than refusal and time-out throw; so does cancellation (995).
ConnectResult ConnectBefore(int fd, const sockaddr* address, socklen_t size,
                            Clock::time_point deadline, const WaitCanceller* canceller) {
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
    if (WaitFor(fd, POLLOUT, deadline, canceller) == 0) {
        return ConnectResult::TimedOut;
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
int ConnectLocal(const std::string& pipe, Clock::time_point deadline, bool waitWhileBusy,
                 const WaitCanceller* canceller) {
    const std::string path = transport::LocalSocketPath(pipe);
    const sockaddr_un address = LocalAddress(path);
    for (;;) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            ThrowErrno(errno);  // a missing socket is error 2 at once
        }
        Socket fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (fd.Get() == -1) {
            ThrowErrno(errno);
        }
        const auto result = ConnectBefore(fd.Get(), reinterpret_cast<const sockaddr*>(&address),
                                          sizeof(address), deadline, canceller);
        if (result == ConnectResult::Connected) {
            SetBlocking(fd.Get());
            return fd.Release();
        }
        if (!waitWhileBusy) {
            ThrowCode(win32::ERROR_PIPE_BUSY, EBUSY);
        }
        if (Clock::now() >= deadline) {
            ThrowCode(win32::ERROR_SEM_TIMEOUT, ETIMEDOUT);
        }
        // The retry interval is spent watching the canceller.
        WaitFor(-1, 0, std::min(Clock::now() + kBusyRetryInterval, deadline), canceller);
    }
}

std::atomic<HostLookupFunction> gHostLookup{&::getaddrinfo};

// A name look-up running on its own thread. The thread and the waiter share this
// state, so either may be the last to let go of it: a waiter that gives up (time-out,
// cancellation) leaves the thread to finish alone, and the result is freed with the
// state.
struct PendingLookup {
    PendingLookup() : doneFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~PendingLookup() {
        if (result != nullptr) {
            ::freeaddrinfo(result);
        }
        if (doneFd != -1) {
            ::close(doneFd);
        }
    }
    PendingLookup(const PendingLookup&) = delete;
    PendingLookup& operator=(const PendingLookup&) = delete;

    const int doneFd;  // readable once the look-up has finished
    std::mutex mutex;
    int status = 0;
    int error = 0;  // errno of the look-up, for EAI_SYSTEM
    addrinfo* result = nullptr;
};

using AddressList = std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)>;

// The addresses of `host`. A name is looked up on a helper thread, so that the wait
// for it ends at `deadline` (121) or on cancellation (995) even when the resolver
// does not answer: getaddrinfo itself cannot be interrupted.
AddressList ResolveHost(const std::string& host, const std::string& port,
                        Clock::time_point deadline, const WaitCanceller* canceller) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // An address literal needs no look-up and no thread.
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) == 0) {
        return AddressList(found, &::freeaddrinfo);
    }
    hints.ai_flags = 0;
    auto lookup = std::make_shared<PendingLookup>();
    if (lookup->doneFd == -1) {
        ThrowErrno(errno);
    }
    try {
        std::thread([lookup, host, port, hints, function = gHostLookup.load()] {
            addrinfo* result = nullptr;
            const int status = function(host.c_str(), port.c_str(), &hints, &result);
            const int error = errno;
            {
                std::lock_guard lock(lookup->mutex);
                lookup->status = status;
                lookup->error = error;
                lookup->result = result;
            }
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(lookup->doneFd, &one, sizeof(one));
        }).detach();
    } catch (const std::system_error& e) {
        ThrowCode(win32::ERROR_NOT_ENOUGH_MEMORY, e.code().value());
    }
    if (WaitFor(lookup->doneFd, POLLIN, deadline, canceller) == 0) {
        ThrowCode(win32::ERROR_SEM_TIMEOUT, ETIMEDOUT);
    }
    std::lock_guard lock(lookup->mutex);
    if (lookup->status != 0) {
        ThrowResolveError(lookup->status, lookup->error);
    }
    return AddressList(std::exchange(lookup->result, nullptr), &::freeaddrinfo);
}

// Options of a connected remote socket: no delay for small messages, keepalive.
void SetRemoteOptions(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof(on));
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleSeconds, sizeof(kKeepIdleSeconds));
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalSeconds,
                 sizeof(kKeepIntervalSeconds));
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepProbes, sizeof(kKeepProbes));
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUserTimeoutMs, sizeof(kUserTimeoutMs));
}

// Connects over TCP to `host`; refused is error 2, no answer before `deadline` 121.
int ConnectRemote(const std::string& host, Clock::time_point deadline,
                  const WaitCanceller* canceller) {
    // "host:port" reaches a forwarded port (an SSH tunnel); a bare host the usual one.
    const auto target = transport::SplitHostPort(host);
    if (!target) {
        ThrowCode(win32::ERROR_INVALID_NAME, EINVAL);
    }
    const AddressList list =
        ResolveHost(target->host, std::to_string(target->port), deadline, canceller);
    bool timedOut = false;
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        Socket fd(
            ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
        if (fd.Get() == -1) {
            continue;
        }
        const auto result = ConnectBefore(fd.Get(), a->ai_addr, a->ai_addrlen, deadline, canceller);
        if (result == ConnectResult::Connected) {
            SetBlocking(fd.Get());
            SetRemoteOptions(fd.Get());
            return fd.Release();
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
    const auto address = transport::ParseFullPipeName(ServiceChannel::FullName(host, pipe));
    if (!address) {
        ThrowCode(win32::ERROR_INVALID_NAME, EINVAL);
    }
    return *address;
}

// The connections that ServerAvailable made, each kept for the next Open of its pipe:
// a pipe instance that was found free stays reserved for this client. One per pipe
// name, so that sessions with several hosts at once do not drop each other's (a
// dropped one frees the service's only instance, and the Open after it can find the
// service not yet listening again).
struct ReservedConnection {
    std::mutex mutex;
    std::map<std::string, int> fds;

    void Put(const std::string& name, int newFd) {
        std::lock_guard lock(mutex);
        auto [it, added] = fds.try_emplace(name, newFd);
        if (!added) {
            ::close(std::exchange(it->second, newFd));
        }
    }
    int Take(const std::string& name) {
        std::lock_guard lock(mutex);
        const auto it = fds.find(name);
        if (it == fds.end()) {
            return -1;
        }
        const int fd = it->second;
        fds.erase(it);
        return fd;
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

HostLookupFunction SetHostLookupForTesting(HostLookupFunction lookup) {
    return gHostLookup.exchange(lookup != nullptr ? lookup : &::getaddrinfo);
}

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
    if (errorCode == win32::ERROR_OPERATION_ABORTED) {
        return kAbortedText;
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

ChannelError::ChannelError(std::uint32_t code, std::string systemText)
    : errorCode(code), text_(std::move(systemText)) {}

bool ChannelError::GetErrorMessage(char* buffer, std::size_t capacity,
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

std::string ChannelError::GetErrorMessage() const {
    std::array<char, 4096> buffer{};
    GetErrorMessage(buffer.data(), buffer.size());
    return std::string(buffer.data());
}

const char* ChannelError::what() const noexcept {
    return text_.c_str();
}

void ThrowChannelError(std::uint32_t errorCode) {
    if (errorCode == 0) {
        ThrowErrno(errno);
    }
    throw ChannelError(errorCode, SystemErrorText(errorCode));
}

// Largest message a receive takes whole: a longer local one is cut to this.
constexpr std::size_t kReceiveCapacity = transport::kMaxTcpMessage + transport::kTcpPrefixSize;

struct ServiceChannel::TcpState {
    transport::TcpDeframer deframer;
    bool peerClosed = false;
    // Room for a whole framed message, so that one receive usually takes one reply.
    std::unique_ptr<std::uint8_t[]> chunk{new std::uint8_t[kReceiveCapacity]};
};

ServiceChannel::ServiceChannel() = default;

ServiceChannel::~ServiceChannel() {
    Close();
}

std::string ServiceChannel::FullName(const std::string& host, const std::string& pipe) {
    return transport::FullPipeName(host, pipe);
}

void ServiceChannel::ServerAvailable(const std::string& host, const std::string& pipe,
                                     std::uint32_t timeoutMs, const WaitCanceller* canceller) {
    const auto address = AddressOf(host, pipe);
    ThrowIfCancelled(canceller);
    const auto deadline = Clock::now() + Milliseconds(timeoutMs);
    const int fd = address.IsLocal() ? ConnectLocal(address.pipe, deadline, true, canceller)
                                     : ConnectRemote(address.host, deadline, canceller);
    Reserved().Put(FullName(host, pipe), fd);
}

void ServiceChannel::Open(const std::string& host, const std::string& pipe) {
    const auto address = AddressOf(host, pipe);
    ThrowIfCancelled(canceller_);
    int fd = Reserved().Take(FullName(host, pipe));
    if (fd != -1 && PeerClosed(fd)) {
        ::close(fd);
        fd = -1;
    }
    if (fd == -1) {
        constexpr Milliseconds kOpenTimeout{5000};
        const auto deadline = Clock::now() + kOpenTimeout;
        fd = address.IsLocal() ? ConnectLocal(address.pipe, deadline, false, canceller_)
                               : ConnectRemote(address.host, deadline, canceller_);
    }
    handle_ = fd;
    tcp_ = !address.IsLocal();
    mode_ = 0;
    tcpState_ = tcp_ ? std::make_unique<TcpState>() : nullptr;
    receiver_.Reset(fd);
    AttachCanceller();
}

void ServiceChannel::SetCanceller(const WaitCanceller* canceller) {
    DetachCanceller();
    canceller_ = canceller;
    AttachCanceller();
}

void ServiceChannel::AttachCanceller() {
    if (handle_ == -1) {
        return;
    }
    attached_ = canceller_ != nullptr && canceller_->Attach(handle_);
    receiver_.SetCancelAttached(attached_ || canceller_ == nullptr);
}

void ServiceChannel::DetachCanceller() {
    if (attached_) {
        canceller_->Detach(handle_);
        attached_ = false;
    }
}

Clock::time_point ServiceChannel::ReadDeadline() const {
    return readTimeoutMs_ == 0 ? kNoDeadline : Clock::now() + Milliseconds(readTimeoutMs_);
}

std::size_t ServiceChannel::Write(const void* buffer, std::size_t count) {
    if (!IsOpen()) {
        ThrowChannelError(win32::ERROR_INVALID_HANDLE);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (!tcp_) {
        for (;;) {
            const ssize_t sent = ::send(handle_, bytes, count, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent >= 0) {
                return static_cast<std::size_t>(sent);
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitWritable();
            } else if (errno != EINTR) {
                ThrowErrno(errno);
            }
        }
    }
    const auto framed = transport::FrameTcpMessage({bytes, count});
    std::size_t done = 0;
    while (done < framed.size()) {
        const ssize_t sent = ::send(handle_, framed.data() + done, framed.size() - done,
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent >= 0) {
            done += static_cast<std::size_t>(sent);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            WaitWritable();
        } else if (errno != EINTR) {
            ThrowErrno(errno);
        }
    }
    return count;
}

void ServiceChannel::WaitWritable() {
    WaitFor(handle_, POLLOUT, kNoDeadline, canceller_);
}

bool ServiceChannel::ReceiveWhole(Clock::time_point deadline, bool blocking) {
    auto& tcp = *tcpState_;
    while (!tcp.deframer.HasWholeMessage()) {
        if (tcp.peerClosed) {
            ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
        }
        // Partial messages receive again with what is left of the time.
        const auto got =
            receiver_.Receive(tcp.chunk.get(), kReceiveCapacity, blocking ? 0 : MSG_DONTWAIT,
                              deadline, blocking ? canceller_ : nullptr);
        if (got.timedOut) {
            return false;
        }
        tcp.peerClosed = got.closed;
        if (!tcp.deframer.Append({tcp.chunk.get(), got.bytes})) {
            ThrowCode(win32::ERROR_INVALID_DATA, EBADMSG);
        }
    }
    return true;
}

void ServiceChannel::DrainSocket() {
    auto& tcp = *tcpState_;
    while (!tcp.peerClosed) {
        const auto got = receiver_.Receive(tcp.chunk.get(), kReceiveCapacity, MSG_DONTWAIT,
                                           kNoDeadline, nullptr);
        if (got.timedOut) {
            return;
        }
        tcp.peerClosed = got.closed;
        if (!tcp.deframer.Append({tcp.chunk.get(), got.bytes})) {
            ThrowCode(win32::ERROR_INVALID_DATA, EBADMSG);
        }
    }
}

std::size_t ServiceChannel::Read(void* buffer, std::size_t count) {
    if (!IsOpen()) {
        ThrowChannelError(win32::ERROR_INVALID_HANDLE);
    }
    const bool blocking = (mode_ & 1) == 0;
    if (blocking) {
        ThrowIfCancelled(canceller_);
    }
    if (!tcp_) {
        if (holding_) {
            // Taken off the socket by WaitForResponse.
            holding_ = false;
            const std::size_t n = std::min(count, heldSize_);
            std::copy_n(held_.get(), n, static_cast<std::uint8_t*>(buffer));
            return n;
        }
        // One receive: it waits for the message, bounded by the socket's time-out.
        const auto got = receiver_.Receive(buffer, count, blocking ? 0 : MSG_DONTWAIT,
                                           ReadDeadline(), blocking ? canceller_ : nullptr);
        if (got.timedOut) {
            ThrowCode(blocking ? win32::ERROR_SEM_TIMEOUT : win32::ERROR_NO_DATA,
                      blocking ? ETIMEDOUT : EAGAIN);
        }
        if (got.closed) {
            ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);  // the service closed its end
        }
        return got.bytes;
    }
    if (!ReceiveWhole(ReadDeadline(), blocking)) {
        ThrowCode(blocking ? win32::ERROR_SEM_TIMEOUT : win32::ERROR_NO_DATA,
                  blocking ? ETIMEDOUT : EAGAIN);
    }
    const auto message = tcpState_->deframer.Pop();
    const std::size_t n = std::min(count, message->size());
    std::copy_n(message->begin(), n, static_cast<std::uint8_t*>(buffer));
    return n;
}

void ServiceChannel::PeekLocal(void* buffer, std::size_t size, std::size_t& total,
                               std::size_t& first) {
    pollfd p{handle_, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) {
        return;
    }
    std::array<std::uint8_t, 1> scratch{};
    void* target = (buffer != nullptr && size > 0) ? buffer : scratch.data();
    const std::size_t room = (buffer != nullptr && size > 0) ? size : 0;
    const ssize_t length = ::recv(handle_, target, room, MSG_PEEK | MSG_DONTWAIT | MSG_TRUNC);
    if (length < 0 && errno != EAGAIN && errno != EINTR) {
        ThrowErrno(errno);
    }
    if (length == 0 && (p.revents & POLLHUP) != 0) {
        ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
    }
    if (length > 0) {
        first = static_cast<std::size_t>(length);
        int queued = 0;
        total = (::ioctl(handle_, FIONREAD, &queued) == 0 && queued > 0)
                    ? std::max(first, static_cast<std::size_t>(queued))
                    : first;
    }
}

std::size_t ServiceChannel::Peek(void* buffer, std::size_t size, std::size_t* totalAvailable,
                                 std::size_t* leftThisMessage) {
    if (!IsOpen()) {
        ThrowChannelError(win32::ERROR_INVALID_HANDLE);
    }
    std::size_t total = 0;
    std::size_t first = 0;
    std::size_t copied = 0;
    if (!tcp_ && holding_) {
        // The held message comes first; what waits behind it counts to the total.
        first = heldSize_;
        copied = buffer != nullptr ? std::min(size, heldSize_) : 0;
        std::copy_n(held_.get(), copied, static_cast<std::uint8_t*>(buffer));
        int queued = 0;
        total = heldSize_ + (::ioctl(handle_, FIONREAD, &queued) == 0 && queued > 0
                                 ? static_cast<std::size_t>(queued)
                                 : 0);
    } else if (!tcp_) {
        PeekLocal(buffer, size, total, first);
        copied = std::min(first, buffer != nullptr ? size : 0);
    } else {
        DrainSocket();
        auto& deframer = tcpState_->deframer;
        total = deframer.BytesInWholeMessages();
        first = deframer.FirstMessageSize();
        if (total == 0 && tcpState_->peerClosed) {
            ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
        }
        if (buffer != nullptr && first > 0) {
            const auto message = deframer.FirstMessage();
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

void ServiceChannel::Flush() {
    if (!IsOpen()) {
        ThrowChannelError(win32::ERROR_INVALID_HANDLE);
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

void ServiceChannel::SetMode(bool byteMode, bool blocking) {
    if (!IsOpen()) {
        ThrowChannelError(win32::ERROR_INVALID_HANDLE);
    }
    mode_ = (byteMode ? 0u : 2u) | (blocking ? 0u : 1u);
}

void ServiceChannel::Close() {
    if (handle_ != -1) {
        DetachCanceller();
        ::close(handle_);
        handle_ = -1;
    }
    tcpState_.reset();
    tcp_ = false;
    mode_ = 0;
    holding_ = false;
}

bool ServiceChannel::WaitForResponse(std::uint32_t timeoutMs) {
    if (!IsOpen()) {
        ThrowChannelError(win32::ERROR_INVALID_HANDLE);
    }
    ThrowIfCancelled(canceller_);
    // Even a time-out below 10 ms waits once for about 10 ms before giving up.
    constexpr std::uint32_t kShortestWait = 10;
    const auto deadline = Clock::now() + Milliseconds(std::max(timeoutMs, kShortestWait));
    if (tcp_) {
        return ReceiveWhole(deadline, true);
    }
    if (holding_) {
        return true;
    }
    if (!held_) {
        held_.reset(new std::uint8_t[kReceiveCapacity]);
    }
    const auto got = receiver_.Receive(held_.get(), kReceiveCapacity, 0, deadline, canceller_);
    if (got.closed) {
        ThrowCode(win32::ERROR_BROKEN_PIPE, EPIPE);
    }
    holding_ = !got.timedOut;
    heldSize_ = got.bytes;
    return holding_;
}

}  // namespace veltrix
