#include "servicesim/service_sim.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <stdexcept>

namespace veltrix::sim {

namespace {

constexpr std::size_t kReceiveBuffer = 64 * 1024;
constexpr int kRelistenRetryMs = 100;

// Rewrites the header or the bytes of one reply as a Length, Code or Patch fault says.
void ShapeReply(const FaultSpec& fault, std::vector<std::uint8_t>& reply) {
    if (fault.kind == FaultSpec::Kind::Patch) {
        if (reply.size() < fault.offset + fault.data.size()) {
            reply.resize(fault.offset + fault.data.size(), 0);
        }
        std::copy(fault.data.begin(), fault.data.end(), reply.begin() + fault.offset);
        return;
    }
    if (reply.size() < ServiceMessage::kHeaderSize) {
        return;
    }
    if (fault.kind == FaultSpec::Kind::Length) {
        PutU16(reply, 4, static_cast<std::uint16_t>(std::min<std::uint32_t>(fault.value, 0xFFFF)));
    } else {
        PutU32(reply, 0, fault.value);
    }
}

bool IsDrop(const FaultSpec& fault) {
    return fault.kind == FaultSpec::Kind::Drop;
}

std::string ErrnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// mkdir -p.
void MakeDirectories(const std::string& dir) {
    std::string path;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = dir.find('/', at + 1);
        path = dir.substr(0, at);
        if (path.empty()) {
            continue;
        }
        if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
            throw std::runtime_error(ErrnoText("cannot create directory " + path));
        }
    }
}

bool FillUnixAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

ServiceSim::ServiceSim(Scenario scenario)
    : faults_(ActiveFaults(scenario.faults)), engine_(std::move(scenario)) {}

ServiceSim::~ServiceSim() {
    stop();
}

// ---------------------------------------------------------------- set-up

void ServiceSim::start(const ServiceSimOptions& options) {
    if (running()) {
        throw std::runtime_error("service already running");
    }
    options_ = options;
    stopping_ = false;
    {
        std::lock_guard lock(mutex_);
        manualClock_ = options.manualClock;
        startTime_ = std::chrono::steady_clock::now();
    }
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        throw std::runtime_error(ErrnoText("eventfd"));
    }
    try {
        if (options.listenLocal) {
            const std::string dir =
                options.pipeDir.empty() ? transport::PipeDirectory() : options.pipeDir;
            MakeDirectories(dir);
            socketPath_ = dir + "/" + options.pipeName;
            sockaddr_un address{};
            if (!FillUnixAddress(socketPath_, address)) {
                throw std::runtime_error("socket path too long: " + socketPath_);
            }
            struct stat st {};
            if (::lstat(socketPath_.c_str(), &st) == 0) {
                if (!S_ISSOCK(st.st_mode)) {
                    throw std::runtime_error(socketPath_ + " exists and is not a socket");
                }
                // A socket file that still accepts belongs to a running service.
                const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
                const bool live =
                    probe >= 0 &&
                    ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
                if (probe >= 0) {
                    ::close(probe);
                }
                if (live) {
                    throw std::runtime_error("another service is listening on " + socketPath_);
                }
            }
            if (!openLocalListener()) {
                throw std::runtime_error(ErrnoText("cannot listen on " + socketPath_));
            }
        }
        if (options.listenTcp) {
            boundTcpPort_ = options.tcpPort;
            if (!openTcpListener()) {
                throw std::runtime_error(ErrnoText("cannot listen on TCP " + options.tcpAddress +
                                                   ":" + std::to_string(options.tcpPort)));
            }
        }
    } catch (...) {
        closeListeners();
        if (ownsSocketFile_) {
            ::unlink(socketPath_.c_str());
            ownsSocketFile_ = false;
        }
        CloseFd(wakeFd_);
        throw;
    }
    thread_ = std::thread([this] { run(); });
}

void ServiceSim::stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_ = true;
    wake();
    thread_.join();
    if (client_ >= 0) {
        disconnect();
    }
    closeListeners();
    if (ownsSocketFile_) {
        ::unlink(socketPath_.c_str());
        ownsSocketFile_ = false;
    }
    CloseFd(wakeFd_);
}

bool ServiceSim::openLocalListener() {
    // Bind under a temporary name and rename it over the pipe's name, so that the
    // socket file never disappears: a client always finds either the old (refusing)
    // socket or the new listening one.
    const auto slash = socketPath_.find_last_of('/');
    const std::string temporary = socketPath_.substr(0, slash + 1) + "." +
                                  socketPath_.substr(slash + 1) + "." + std::to_string(::getpid()) +
                                  ".new";
    sockaddr_un address{};
    const bool renaming = FillUnixAddress(temporary, address);
    if (!renaming) {
        FillUnixAddress(socketPath_, address);
        ::unlink(socketPath_.c_str());
    } else {
        ::unlink(temporary.c_str());
    }
    localListen_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (localListen_ < 0) {
        return false;
    }
    if (::bind(localListen_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(localListen_, 4) != 0 ||
        (renaming && ::rename(temporary.c_str(), socketPath_.c_str()) != 0)) {
        const int saved = errno;
        CloseFd(localListen_);
        if (renaming) {
            ::unlink(temporary.c_str());
        }
        errno = saved;
        return false;
    }
    ownsSocketFile_ = true;
    return true;
}

bool ServiceSim::openTcpListener() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(boundTcpPort_);
    if (::inet_pton(AF_INET, options_.tcpAddress.c_str(), &address.sin_addr) != 1) {
        errno = EINVAL;
        return false;
    }
    tcpListen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (tcpListen_ < 0) {
        return false;
    }
    const int on = 1;
    ::setsockopt(tcpListen_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    if (::bind(tcpListen_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(tcpListen_, 4) != 0) {
        const int saved = errno;
        CloseFd(tcpListen_);
        errno = saved;
        return false;
    }
    socklen_t size = sizeof(address);
    if (::getsockname(tcpListen_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        boundTcpPort_ = ntohs(address.sin_port);
    }
    return true;
}

void ServiceSim::closeListeners() {
    CloseFd(localListen_);
    CloseFd(tcpListen_);
}

// ---------------------------------------------------------------- the loop

void ServiceSim::run() {
    while (!stopping_) {
        std::vector<pollfd> fds;
        fds.push_back({wakeFd_, POLLIN, 0});
        const auto now = std::chrono::steady_clock::now();
        int timeoutMs = -1;
        int localIndex = -1;
        int tcpIndex = -1;
        int clientIndex = -1;
        if (client_ < 0) {
            if (localListen_ >= 0) {
                localIndex = static_cast<int>(fds.size());
                fds.push_back({localListen_, POLLIN, 0});
            }
            if (tcpListen_ >= 0) {
                tcpIndex = static_cast<int>(fds.size());
                fds.push_back({tcpListen_, POLLIN, 0});
            }
            if (relistenPending_) {
                timeoutMs = kRelistenRetryMs;
            }
        } else {
            short events = closeAfterFlush_ ? 0 : static_cast<short>(POLLIN | POLLRDHUP);
            if (!output_.empty()) {
                const Pending& front = output_.front();
                const std::uint64_t simNow = simTimeMs();
                if (replyDue(front, now, simNow)) {
                    events = static_cast<short>(events | POLLOUT);
                } else if (front.notBefore > now) {
                    const auto wait =
                        std::chrono::ceil<std::chrono::milliseconds>(front.notBefore - now);
                    timeoutMs = static_cast<int>(std::max<long long>(1, wait.count()));
                } else if (!manualClockSet()) {
                    // Waiting for simulated time that runs with the real clock; with the
                    // manual clock advanceClock wakes the loop.
                    timeoutMs = static_cast<int>(
                        std::min<std::uint64_t>(front.notBeforeSimMs - simNow, 60000));
                }
            }
            clientIndex = static_cast<int>(fds.size());
            fds.push_back({client_, events, 0});
        }

        const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
        if (ready < 0 && errno != EINTR) {
            std::cerr << ErrnoText("servicesim: poll") << '\n';
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            std::uint64_t value = 0;
            [[maybe_unused]] const auto got = ::read(wakeFd_, &value, sizeof(value));
        }
        if (stopping_) {
            break;
        }
        if (client_ < 0 && relistenPending_) {
            relistenPending_ = false;
            if (options_.listenLocal && localListen_ < 0 && !openLocalListener()) {
                relistenPending_ = true;
            }
            if (options_.listenTcp && tcpListen_ < 0 && !openTcpListener()) {
                relistenPending_ = true;
            }
            continue;
        }
        if (localIndex >= 0 && (fds[localIndex].revents & POLLIN) != 0) {
            acceptClient(localListen_, false);
        } else if (tcpIndex >= 0 && (fds[tcpIndex].revents & POLLIN) != 0) {
            acceptClient(tcpListen_, true);
        }
        if (clientIndex >= 0 && client_ >= 0) {
            const short revents = fds[clientIndex].revents;
            if ((revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0 && !closeAfterFlush_) {
                readClient(revents);
            } else if ((revents & (POLLHUP | POLLERR)) != 0) {
                disconnect();
            }
        }
        if (client_ >= 0) {
            if (!flushOutput()) {
                disconnect();
            } else if (closeAfterFlush_ && output_.empty()) {
                disconnect();
            }
        }
    }
}

void ServiceSim::acceptClient(int listenFd, bool tcp) {
    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    client_ = fd;
    clientTcp_ = tcp;
    loginDone_ = false;
    closeAfterFlush_ = false;
    deframer_.Clear();
    output_.clear();
    // One pipe instance: nobody else gets in while this client is served. The local
    // socket file stays, so a second client sees a busy pipe rather than none.
    closeListeners();
    {
        std::lock_guard lock(mutex_);
        engine_.beginSession();
        // Drop faults count the replies of each connection afresh.
        for (ActiveFault& fault : faults_) {
            fault.repliesLeft = fault.spec.after;
        }
    }
    {
        std::lock_guard lock(transcriptMutex_);
        ++accepted_;
    }
    transcriptChanged_.notify_all();
}

void ServiceSim::disconnect() {
    CloseFd(client_);
    output_.clear();
    deframer_.Clear();
    closeAfterFlush_ = false;
    {
        std::lock_guard lock(mutex_);
        engine_.endSession();
    }
    if (!stopping_) {
        if (options_.listenLocal && !openLocalListener()) {
            relistenPending_ = true;
        }
        if (options_.listenTcp && !openTcpListener()) {
            relistenPending_ = true;
        }
    }
    {
        std::lock_guard lock(transcriptMutex_);
        ++closed_;
    }
    transcriptChanged_.notify_all();
}

void ServiceSim::readClient(short revents) {
    std::vector<std::uint8_t> buffer(kReceiveBuffer);
    if (!clientTcp_) {
        // One message per receive; MSG_TRUNC reports a message's full size even when it
        // is larger than the buffer.
        const ssize_t n = ::recv(client_, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                disconnect();
            }
            return;
        }
        if (n == 0 && (revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0) {
            disconnect();  // the client has gone (or probed and left)
            return;
        }
        buffer.resize(std::min<std::size_t>(static_cast<std::size_t>(n), buffer.size()));
        handleMessage(buffer);
        return;
    }
    for (;;) {
        const ssize_t n = ::recv(client_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return;
            }
            if (errno == EINTR) {
                continue;
            }
            disconnect();
            return;
        }
        if (n == 0) {
            disconnect();
            return;
        }
        if (!deframer_.Append(std::span(buffer.data(), static_cast<std::size_t>(n)))) {
            // A length prefix no message can have: the stream is broken.
            disconnect();
            return;
        }
        while (client_ >= 0 && !closeAfterFlush_) {
            auto message = deframer_.Pop();
            if (!message) {
                break;
            }
            handleMessage(*message);
        }
        if (client_ < 0 || closeAfterFlush_) {
            return;
        }
    }
}

void ServiceSim::handleMessage(const std::vector<std::uint8_t>& bytes) {
    TranscriptEntry entry;
    entry.timeMs = realMs();
    entry.size = bytes.size();
    {
        std::lock_guard lock(transcriptMutex_);
        entry.connection = static_cast<std::uint32_t>(accepted_);
    }
    const ByteView view(bytes);
    Outcome outcome;
    std::optional<FaultSpec> fault;
    std::uint32_t faultCode = 0;
    bool isRequest = false;
    {
        std::lock_guard lock(mutex_);
        const std::uint64_t now = simNowLocked();
        if (!loginDone_) {
            outcome = engine_.login(view, now);
        } else {
            outcome = engine_.message(view, now);
        }
        faultCode = outcome.kind == Outcome::Kind::Login ? kLoginFaultCode : outcome.code;
        isRequest = outcome.kind == Outcome::Kind::Request;
        // Faults hit the login and requests, not the data messages of an exchange.
        ActiveFault* found = outcome.kind == Outcome::Kind::Login || isRequest
                                 ? findFaultLocked(faultCode, isRequest, false)
                                 : nullptr;
        if (found != nullptr) {
            fault = found->spec;
            useFaultLocked(found);
        }
    }
    loginDone_ = true;

    entry.kind = outcome.kind;
    if (outcome.kind == Outcome::Kind::Login) {
        entry.login = true;
        entry.length = static_cast<std::uint16_t>(std::min<std::size_t>(bytes.size(), 0xFFFF));
        entry.data = bytes;
    } else {
        entry.code = view.U32(0);
        entry.length = view.U16(4);
        if (bytes.size() > ServiceMessage::kHeaderSize) {
            entry.data.assign(bytes.begin() + ServiceMessage::kHeaderSize, bytes.end());
        }
    }
    record(entry);

    auto now = std::chrono::steady_clock::now();
    if (fault) {
        switch (fault->kind) {
            case FaultSpec::Kind::Silent:
                outcome.replies.clear();
                break;
            case FaultSpec::Kind::Late:
                now += std::chrono::milliseconds(fault->delayMs);
                break;
            case FaultSpec::Kind::Close:
                disconnect();
                return;
            case FaultSpec::Kind::Short:
                for (auto& reply : outcome.replies) {
                    reply.resize(std::min<std::size_t>(reply.size(), fault->bytes));
                }
                break;
            case FaultSpec::Kind::Oversized:
                for (auto& reply : outcome.replies) {
                    if (reply.size() < fault->bytes) {
                        reply.resize(fault->bytes, 0);
                    }
                    if (reply.size() >= ServiceMessage::kHeaderSize) {
                        PutU16(reply, 4,
                               static_cast<std::uint16_t>(std::min<std::size_t>(
                                   reply.size() - ServiceMessage::kHeaderSize, 0xFFFF)));
                    }
                }
                break;
            case FaultSpec::Kind::Length:
            case FaultSpec::Kind::Code:
            case FaultSpec::Kind::Patch:
                for (auto& reply : outcome.replies) {
                    ShapeReply(*fault, reply);
                }
                break;
            case FaultSpec::Kind::Drop:
                break;
        }
    }
    if (outcome.kind == Outcome::Kind::Login || isRequest) {
        // A drop fault counts the replies that actually go out; the one that reaches
        // its count sends what is left of its budget and closes the connection.
        std::lock_guard lock(mutex_);
        if (ActiveFault* drop = findFaultLocked(faultCode, isRequest, true)) {
            if (outcome.replies.size() >= drop->repliesLeft) {
                outcome.replies.resize(drop->repliesLeft);
                outcome.close = true;
                drop->repliesLeft = drop->spec.after;
                useFaultLocked(drop);
            } else {
                drop->repliesLeft -= static_cast<std::uint32_t>(outcome.replies.size());
            }
        }
    }
    for (auto& reply : outcome.replies) {
        queueReply(std::move(reply), now, outcome.notBeforeMs);
    }
    if (outcome.close) {
        closeAfterFlush_ = true;
    }
}

ServiceSim::ActiveFault* ServiceSim::findFaultLocked(std::uint32_t faultCode, bool request,
                                                     bool drop) {
    const auto find = [&](std::uint32_t code) -> ActiveFault* {
        const auto found = std::find_if(faults_.begin(), faults_.end(), [&](const ActiveFault& f) {
            return f.spec.code == code && IsDrop(f.spec) == drop;
        });
        return found != faults_.end() ? &*found : nullptr;
    };
    // A request whose code happens to be the login's fault code is still a request.
    if (ActiveFault* own = request && faultCode == kLoginFaultCode ? nullptr : find(faultCode)) {
        return own;
    }
    if (request && IsFlashWriteBlock(faultCode)) {
        if (ActiveFault* blocks = find(kFlashWriteBlockFaultCode)) {
            return blocks;
        }
    }
    return request ? find(kAnyCommandFaultCode) : nullptr;
}

std::vector<ServiceSim::ActiveFault> ServiceSim::ActiveFaults(
    const std::vector<FaultSpec>& faults) {
    std::vector<ActiveFault> active;
    for (const FaultSpec& fault : faults) {
        active.push_back({fault, fault.after});
    }
    return active;
}

void ServiceSim::useFaultLocked(ActiveFault* fault) {
    if (fault->spec.count > 0 && --fault->spec.count == 0) {
        faults_.erase(faults_.begin() + (fault - faults_.data()));
    }
}

void ServiceSim::queueReply(std::vector<std::uint8_t> message,
                            std::chrono::steady_clock::time_point at, std::uint64_t atSimMs) {
    Pending pending;
    pending.bytes = clientTcp_ ? transport::FrameTcpMessage(message) : std::move(message);
    // Replies leave in order: a late reply holds back those behind it.
    pending.notBefore = output_.empty() ? at : std::max(at, output_.back().notBefore);
    pending.notBeforeSimMs =
        output_.empty() ? atSimMs : std::max(atSimMs, output_.back().notBeforeSimMs);
    output_.push_back(std::move(pending));
}

bool ServiceSim::replyDue(const Pending& pending, std::chrono::steady_clock::time_point now,
                          std::uint64_t simNow) const {
    return pending.notBefore <= now && pending.notBeforeSimMs <= simNow;
}

bool ServiceSim::flushOutput() {
    const auto now = std::chrono::steady_clock::now();
    const std::uint64_t simNow = simTimeMs();
    while (!output_.empty() && replyDue(output_.front(), now, simNow)) {
        Pending& p = output_.front();
        const ssize_t n = ::send(client_, p.bytes.data() + p.sent, p.bytes.size() - p.sent,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                return true;
            }
            if (errno == EMSGSIZE) {
                output_.erase(output_.begin());  // cannot travel as one message
                continue;
            }
            return false;
        }
        p.sent += static_cast<std::size_t>(n);
        if (!clientTcp_ || p.sent >= p.bytes.size()) {
            output_.erase(output_.begin());
        }
    }
    return true;
}

// ---------------------------------------------------------------- time and transcript

std::uint64_t ServiceSim::realMs() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - startTime_)
                                          .count());
}

std::uint64_t ServiceSim::simNowLocked() const {
    if (manualClock_) {
        return clockOffsetMs_;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - startTime_);
    return static_cast<std::uint64_t>(elapsed.count()) + clockOffsetMs_;
}

std::uint64_t ServiceSim::simTimeMs() const {
    std::lock_guard lock(mutex_);
    return simNowLocked();
}

void ServiceSim::advanceClock(std::chrono::milliseconds by) {
    {
        std::lock_guard lock(mutex_);
        clockOffsetMs_ += static_cast<std::uint64_t>(std::max<long long>(0, by.count()));
        engine_.advanceTo(simNowLocked());
    }
    wake();
}

bool ServiceSim::manualClockSet() const {
    std::lock_guard lock(mutex_);
    return manualClock_;
}

void ServiceSim::wake() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof(one));
    }
}

void ServiceSim::record(TranscriptEntry entry) {
    std::function<void(const TranscriptEntry&)> observer;
    {
        std::lock_guard lock(transcriptMutex_);
        if (options_.transcriptLimit > 0 && transcript_.size() >= options_.transcriptLimit) {
            transcript_.pop_front();
        }
        transcript_.push_back(entry);
        observer = observer_;
    }
    transcriptChanged_.notify_all();
    if (observer) {
        observer(entry);
    }
}

void ServiceSim::setMessageObserver(std::function<void(const TranscriptEntry&)> observer) {
    std::lock_guard lock(transcriptMutex_);
    observer_ = std::move(observer);
}

std::vector<TranscriptEntry> ServiceSim::transcript() const {
    std::lock_guard lock(transcriptMutex_);
    return {transcript_.begin(), transcript_.end()};
}

void ServiceSim::clearTranscript() {
    std::lock_guard lock(transcriptMutex_);
    transcript_.clear();
}

bool ServiceSim::waitForEntries(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(transcriptMutex_);
    return transcriptChanged_.wait_for(lock, timeout, [&] { return transcript_.size() >= count; });
}

std::optional<TranscriptEntry> ServiceSim::waitForCode(std::uint32_t code,
                                                       std::chrono::milliseconds timeout) const {
    std::unique_lock lock(transcriptMutex_);
    std::optional<TranscriptEntry> found;
    transcriptChanged_.wait_for(lock, timeout, [&] {
        for (const TranscriptEntry& e : transcript_) {
            if (!e.login && e.code == code) {
                found = e;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::size_t ServiceSim::connectionsAccepted() const {
    std::lock_guard lock(transcriptMutex_);
    return accepted_;
}

std::size_t ServiceSim::connectionsClosed() const {
    std::lock_guard lock(transcriptMutex_);
    return closed_;
}

bool ServiceSim::waitForConnectionsClosed(std::size_t count,
                                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(transcriptMutex_);
    return transcriptChanged_.wait_for(lock, timeout, [&] { return closed_ >= count; });
}

// ---------------------------------------------------------------- hooks

void ServiceSim::pushEvent(const EventSpec& event) {
    std::lock_guard lock(mutex_);
    engine_.pushEvent(event, simNowLocked());
}

void ServiceSim::pushLogEntry(const LogEntrySpec& entry) {
    std::lock_guard lock(mutex_);
    engine_.pushLogEntry(entry, simNowLocked());
}

void ServiceSim::pushMailFailure(const MailFailureSpec& failure) {
    std::lock_guard lock(mutex_);
    engine_.pushMailFailure(failure, simNowLocked());
}

void ServiceSim::setChangeFlag(bool on) {
    std::lock_guard lock(mutex_);
    engine_.setChangeFlag(on);
}

void ServiceSim::setFault(const FaultSpec& fault) {
    std::lock_guard lock(mutex_);
    std::erase_if(faults_, [&](const ActiveFault& f) {
        return f.spec.code == fault.code && IsDrop(f.spec) == IsDrop(fault);
    });
    if (fault.count != 0) {
        faults_.push_back({fault, fault.after});
    }
}

void ServiceSim::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<std::uint8_t> ServiceSim::flashContents(std::uint8_t controller) const {
    std::lock_guard lock(mutex_);
    return engine_.flashRom(controller);
}

FlashCounters ServiceSim::flashCounters(std::uint8_t controller) const {
    std::lock_guard lock(mutex_);
    return engine_.flashCounters(controller);
}

void ServiceSim::setFlashContents(std::uint8_t controller, std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    engine_.setFlashRom(controller, bytes);
}

void ServiceSim::setFlashFaults(std::uint8_t controller, const FlashFaults& faults) {
    std::lock_guard lock(mutex_);
    engine_.setFlashFaults(controller, faults);
}

}  // namespace veltrix::sim
