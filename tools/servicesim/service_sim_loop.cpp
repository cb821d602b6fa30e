// The simulated service's thread: waits on its sockets, takes a client, reads its
// messages, has the engine answer them with the faults applied, and sends the replies
// when they are due.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>

#include "servicesim/posix_util.h"
#include "servicesim/service_sim.h"

namespace veltrix::sim {

namespace {

constexpr std::size_t kReceiveBuffer = 64 * 1024;
constexpr int kRelistenRetryMs = 100;

// The code faults are looked up under: the login's own, or the request's.
std::uint32_t FaultCode(const Outcome& outcome) {
    return outcome.kind == Outcome::Kind::Login ? kLoginFaultCode : outcome.code;
}

// Faults hit the login and requests, not the data messages of an exchange.
bool FaultsApply(const Outcome& outcome) {
    return outcome.kind == Outcome::Kind::Login || outcome.kind == Outcome::Kind::Request;
}

TranscriptEntry MakeEntry(const std::vector<std::uint8_t>& bytes, Outcome::Kind kind) {
    TranscriptEntry entry;
    entry.size = bytes.size();
    entry.kind = kind;
    if (kind == Outcome::Kind::Login) {
        entry.login = true;
        entry.length = static_cast<std::uint16_t>(std::min<std::size_t>(bytes.size(), 0xFFFF));
        entry.data = bytes;
        return entry;
    }
    const ByteView view(bytes);
    entry.code = view.U32(0);
    entry.length = view.U16(4);
    if (bytes.size() > ServiceMessage::kHeaderSize) {
        entry.data.assign(bytes.begin() + ServiceMessage::kHeaderSize, bytes.end());
    }
    return entry;
}

}  // namespace

struct ServiceSim::PollSet {
    std::vector<pollfd> fds;
    int timeoutMs = -1;
    int localIndex = -1;
    int tcpIndex = -1;
    int clientIndex = -1;
};

void ServiceSim::Run() {
    while (!stopping_) {
        const auto now = std::chrono::steady_clock::now();
        PollSet set = BuildPollSet(now);
        if (const std::optional<int> outage = OutageWaitMs(now)) {
            set.timeoutMs = set.timeoutMs < 0 ? *outage : std::min(set.timeoutMs, *outage);
        }
        const int ready = ::poll(set.fds.data(), set.fds.size(), set.timeoutMs);
        if (ready < 0 && errno != EINTR) {
            std::cerr << ErrnoText("servicesim: poll") << '\n';
            break;
        }
        if ((set.fds[0].revents & POLLIN) != 0) {
            std::uint64_t value = 0;
            [[maybe_unused]] const auto got = ::read(wakeFd_, &value, sizeof(value));
        }
        if (stopping_) {
            break;
        }
        ApplyOutage(std::chrono::steady_clock::now());
        if (away_) {
            continue;
        }
        if (client_ < 0 && relistenPending_) {
            Relisten();
            continue;
        }
        ServeReady(set);
    }
}

ServiceSim::PollSet ServiceSim::BuildPollSet(std::chrono::steady_clock::time_point now) {
    PollSet set;
    set.fds.push_back({wakeFd_, POLLIN, 0});
    if (away_) {
        return set;  // Run() adds the wait for the outage's end
    }
    if (client_ < 0) {
        if (localListen_ >= 0) {
            set.localIndex = static_cast<int>(set.fds.size());
            set.fds.push_back({localListen_, POLLIN, 0});
        }
        if (tcpListen_ >= 0) {
            set.tcpIndex = static_cast<int>(set.fds.size());
            set.fds.push_back({tcpListen_, POLLIN, 0});
        }
        if (relistenPending_) {
            set.timeoutMs = kRelistenRetryMs;
        }
        return set;
    }
    short events = closeAfterFlush_ ? 0 : static_cast<short>(POLLIN | POLLRDHUP);
    set.timeoutMs = ReplyWaitMs(now, events);
    set.clientIndex = static_cast<int>(set.fds.size());
    set.fds.push_back({client_, events, 0});
    return set;
}

// Adds POLLOUT to `events` when the first waiting reply is due; otherwise the
// milliseconds until it may be (-1: until something else happens).
int ServiceSim::ReplyWaitMs(std::chrono::steady_clock::time_point now, short& events) {
    if (output_.empty()) {
        return -1;
    }
    const Pending& front = output_.front();
    const std::uint64_t simNow = SimTimeMs();
    if (ReplyDue(front, now, simNow)) {
        events = static_cast<short>(events | POLLOUT);
        return -1;
    }
    if (front.notBefore > now) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(front.notBefore - now);
        return static_cast<int>(std::max<long long>(1, wait.count()));
    }
    if (!ManualClockSet()) {
        // Waiting for simulated time that runs with the real clock; with the manual
        // clock AdvanceClock wakes the loop.
        return static_cast<int>(std::min<std::uint64_t>(front.notBeforeSimMs - simNow, 60000));
    }
    return -1;
}

void ServiceSim::ServeReady(const PollSet& set) {
    if (set.localIndex >= 0 && (set.fds[set.localIndex].revents & POLLIN) != 0) {
        AcceptClient(localListen_, false);
    } else if (set.tcpIndex >= 0 && (set.fds[set.tcpIndex].revents & POLLIN) != 0) {
        AcceptClient(tcpListen_, true);
    }
    if (set.clientIndex >= 0 && client_ >= 0) {
        const short revents = set.fds[set.clientIndex].revents;
        if ((revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0 && !closeAfterFlush_) {
            ReadClient(revents);
        } else if ((revents & (POLLHUP | POLLERR)) != 0) {
            Disconnect();
        }
    }
    if (client_ >= 0) {
        if (!FlushOutput()) {
            Disconnect();
        } else if (closeAfterFlush_ && output_.empty()) {
            Disconnect();
        }
    }
}

void ServiceSim::AcceptClient(int listenFd, bool tcp) {
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
    CloseListeners();
    {
        std::lock_guard lock(mutex_);
        engine_.BeginSession();
        faults_.StartConnection();
    }
    transcript_.CountAccepted();
}

void ServiceSim::Disconnect() {
    CloseFd(client_);
    output_.clear();
    deframer_.Clear();
    closeAfterFlush_ = false;
    {
        std::lock_guard lock(mutex_);
        engine_.EndSession();
    }
    if (!stopping_ && !away_) {
        if (options_.listenLocal && !OpenLocalListener()) {
            relistenPending_ = true;
        }
        if (options_.listenTcp && !OpenTcpListener()) {
            relistenPending_ = true;
        }
    }
    transcript_.CountClosed();
}

void ServiceSim::ReadClient(short revents) {
    std::vector<std::uint8_t> buffer(kReceiveBuffer);
    if (!clientTcp_) {
        ReadLocalMessage(revents, buffer);
        return;
    }
    while (ReadTcpStream(buffer)) {
    }
}

// One message per receive; MSG_TRUNC reports a message's full size even when it is
// larger than the buffer.
void ServiceSim::ReadLocalMessage(short revents, std::vector<std::uint8_t>& buffer) {
    const ssize_t n = ::recv(client_, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            Disconnect();
        }
        return;
    }
    if (n == 0 && (revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0) {
        Disconnect();  // the client has gone (or probed and left)
        return;
    }
    buffer.resize(std::min<std::size_t>(static_cast<std::size_t>(n), buffer.size()));
    HandleMessage(buffer);
}

// One receive of the TCP stream and the whole messages it completes; true when there
// may be more to read at once.
bool ServiceSim::ReadTcpStream(std::vector<std::uint8_t>& buffer) {
    const ssize_t n = ::recv(client_, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0) {
        if (errno == EINTR) {
            return true;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            Disconnect();
        }
        return false;
    }
    // End of stream, or a length prefix no message can have: the stream is broken.
    if (n == 0 || !deframer_.Append(std::span(buffer.data(), static_cast<std::size_t>(n)))) {
        Disconnect();
        return false;
    }
    while (client_ >= 0 && !closeAfterFlush_) {
        auto message = deframer_.Pop();
        if (!message) {
            break;
        }
        HandleMessage(*message);
    }
    return client_ >= 0 && !closeAfterFlush_;
}

void ServiceSim::HandleMessage(const std::vector<std::uint8_t>& bytes) {
    const std::uint64_t receivedMs = RealMs();
    const auto connection = static_cast<std::uint32_t>(transcript_.Accepted());
    std::optional<FaultSpec> fault;
    Outcome outcome = Serve(bytes, fault);
    loginDone_ = true;
    TranscriptEntry entry = MakeEntry(bytes, outcome.kind);
    entry.timeMs = receivedMs;
    entry.connection = connection;
    transcript_.Record(entry);

    auto at = std::chrono::steady_clock::now();
    if (fault && fault->kind == FaultSpec::Kind::Close) {
        Disconnect();
        return;
    }
    if (fault && fault->kind == FaultSpec::Kind::Late) {
        at += std::chrono::milliseconds(fault->delayMs);
    } else if (fault) {
        ShapeReplies(*fault, outcome.replies);
    }
    if (FaultsApply(outcome)) {
        std::lock_guard lock(mutex_);
        faults_.ApplyDrop(FaultCode(outcome), outcome.kind == Outcome::Kind::Request, outcome);
    }
    for (auto& reply : outcome.replies) {
        QueueReply(std::move(reply), at, outcome.notBeforeMs);
    }
    if (outcome.close) {
        closeAfterFlush_ = true;
    }
}

// The engine's answer to one message, and the fault (other than a drop) that hits it.
Outcome ServiceSim::Serve(const std::vector<std::uint8_t>& bytes, std::optional<FaultSpec>& fault) {
    const ByteView view(bytes);
    std::lock_guard lock(mutex_);
    const std::uint64_t now = SimNowLocked();
    Outcome outcome = loginDone_ ? engine_.Message(view, now) : engine_.Login(view, now);
    if (FaultsApply(outcome)) {
        fault = faults_.Take(FaultCode(outcome), outcome.kind == Outcome::Kind::Request);
    }
    return outcome;
}

void ServiceSim::QueueReply(std::vector<std::uint8_t> message,
                            std::chrono::steady_clock::time_point at, std::uint64_t atSimMs) {
    Pending pending;
    pending.bytes = clientTcp_ ? transport::FrameTcpMessage(message) : std::move(message);
    // Replies leave in order: a late reply holds back those behind it.
    pending.notBefore = output_.empty() ? at : std::max(at, output_.back().notBefore);
    pending.notBeforeSimMs =
        output_.empty() ? atSimMs : std::max(atSimMs, output_.back().notBeforeSimMs);
    output_.push_back(std::move(pending));
}

bool ServiceSim::ReplyDue(const Pending& pending, std::chrono::steady_clock::time_point now,
                          std::uint64_t simNow) const {
    return pending.notBefore <= now && pending.notBeforeSimMs <= simNow;
}

bool ServiceSim::FlushOutput() {
    const auto now = std::chrono::steady_clock::now();
    const std::uint64_t simNow = SimTimeMs();
    while (!output_.empty() && ReplyDue(output_.front(), now, simNow)) {
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

}  // namespace veltrix::sim
