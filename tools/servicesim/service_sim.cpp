#include "servicesim/service_sim.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "servicesim/posix_util.h"

namespace veltrix::sim {

namespace {

// mkdir -p; the folders it made are added to `made`, outermost first.
void MakeDirectories(const std::string& dir, std::vector<std::string>& made) {
    std::string path;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = dir.find('/', at + 1);
        path = dir.substr(0, at);
        if (path.empty()) {
            continue;
        }
        if (::mkdir(path.c_str(), 0755) == 0) {
            made.push_back(path);
        } else if (errno != EEXIST) {
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

// Refuses a socket path that is too long, a file there that is no socket, and a
// socket there that another service still listens on.
void CheckSocketFile(const std::string& path) {
    sockaddr_un address{};
    if (!FillUnixAddress(path, address)) {
        throw std::runtime_error("socket path too long: " + path);
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return;
    }
    if (!S_ISSOCK(st.st_mode)) {
        throw std::runtime_error(path + " exists and is not a socket");
    }
    // A socket file that still accepts belongs to a running service.
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    const bool live =
        probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (probe >= 0) {
        ::close(probe);
    }
    if (live) {
        throw std::runtime_error("another service is listening on " + path);
    }
}

}  // namespace

ServiceSim::ServiceSim(Scenario scenario)
    : faults_(scenario.faults), engine_(std::move(scenario)) {}

ServiceSim::~ServiceSim() {
    Stop();
}

// ---------------------------------------------------------------- set-up

void ServiceSim::Start(const ServiceSimOptions& options) {
    if (Running()) {
        throw std::runtime_error("service already running");
    }
    options_ = options;
    stopping_ = false;
    transcript_.SetLimit(options.transcriptLimit);
    {
        std::lock_guard lock(mutex_);
        manualClock_ = options.manualClock;
        startTime_ = std::chrono::steady_clock::now();
        outageBegin_.reset();
        if (options.outageFor.count() > 0) {
            outageBegin_ = startTime_ + options.outageAfter;
        }
    }
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        throw std::runtime_error(ErrnoText("eventfd"));
    }
    try {
        OpenListeners(options);
    } catch (...) {
        CloseListeners();
        if (ownsSocketFile_) {
            ::unlink(socketPath_.c_str());
            ownsSocketFile_ = false;
        }
        CloseFd(wakeFd_);
        RemoveMadeDirectories();
        throw;
    }
    thread_ = std::thread([this] { Run(); });
}

void ServiceSim::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    stopping_ = true;
    Wake();
    thread_.join();
    if (client_ >= 0) {
        Disconnect();
    }
    CloseListeners();
    if (ownsSocketFile_) {
        ::unlink(socketPath_.c_str());
        ownsSocketFile_ = false;
    }
    CloseFd(wakeFd_);
    RemoveMadeDirectories();
}

void ServiceSim::RemoveMadeDirectories() {
    if (!options_.removeMadeFolders) {
        madeDirectories_.clear();
        return;
    }
    // Innermost first; a folder something else has put files into stays.
    for (auto it = madeDirectories_.rbegin(); it != madeDirectories_.rend(); ++it) {
        ::rmdir(it->c_str());
    }
    madeDirectories_.clear();
}

void ServiceSim::OpenListeners(const ServiceSimOptions& options) {
    if (options.listenLocal) {
        const std::string dir =
            options.pipeDir.empty() ? transport::PipeDirectory() : options.pipeDir;
        MakeDirectories(dir, madeDirectories_);
        socketPath_ = dir + "/" + options.pipeName;
        CheckSocketFile(socketPath_);
        if (!OpenLocalListener()) {
            throw std::runtime_error(ErrnoText("cannot listen on " + socketPath_));
        }
    }
    if (options.listenTcp) {
        boundTcpPort_ = options.tcpPort;
        if (!OpenTcpListener()) {
            throw std::runtime_error(ErrnoText("cannot listen on TCP " + options.tcpAddress + ":" +
                                               std::to_string(options.tcpPort)));
        }
    }
}

bool ServiceSim::OpenLocalListener() {
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

bool ServiceSim::OpenTcpListener() {
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

void ServiceSim::CloseListeners() {
    CloseFd(localListen_);
    CloseFd(tcpListen_);
}

void ServiceSim::Relisten() {
    relistenPending_ = false;
    if (options_.listenLocal && localListen_ < 0 && !OpenLocalListener()) {
        relistenPending_ = true;
    }
    if (options_.listenTcp && tcpListen_ < 0 && !OpenTcpListener()) {
        relistenPending_ = true;
    }
}

// ---------------------------------------------------------------- outage

void ServiceSim::BeginOutage(std::optional<std::chrono::milliseconds> duration) {
    {
        std::lock_guard lock(mutex_);
        outageEnd_.reset();
        if (duration) {
            outageEnd_ = std::chrono::steady_clock::now() + *duration;
        }
    }
    outageRequest_ = OutageRequest::GoAway;
    Wake();
}

void ServiceSim::EndOutage() {
    outageRequest_ = OutageRequest::ComeBack;
    Wake();
}

void ServiceSim::ApplyOutage(std::chrono::steady_clock::time_point now) {
    OutageRequest request = outageRequest_.exchange(OutageRequest::None);
    {
        std::lock_guard lock(mutex_);
        if (away_ && outageEnd_ && now >= *outageEnd_) {
            request = OutageRequest::ComeBack;
        } else if (!away_ && outageBegin_ && now >= *outageBegin_) {
            request = OutageRequest::GoAway;
            outageEnd_ = *outageBegin_ + options_.outageFor;
            outageBegin_.reset();
        }
    }
    if (request == OutageRequest::GoAway && !away_) {
        away_ = true;  // first, so that Disconnect does not listen again
        if (client_ >= 0) {
            Disconnect();
        }
        CloseListeners();
        relistenPending_ = false;
        if (ownsSocketFile_) {
            ::unlink(socketPath_.c_str());
            ownsSocketFile_ = false;
        }
    } else if (request == OutageRequest::ComeBack && away_) {
        away_ = false;
        {
            std::lock_guard lock(mutex_);
            outageEnd_.reset();
        }
        Relisten();
    }
}

std::optional<int> ServiceSim::OutageWaitMs(std::chrono::steady_clock::time_point now) const {
    std::lock_guard lock(mutex_);
    const auto& next = away_ ? outageEnd_ : outageBegin_;
    if (!next) {
        return std::nullopt;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::max<std::int64_t>(0, left.count()) + 1);
}

// ---------------------------------------------------------------- time

std::uint64_t ServiceSim::RealMs() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - startTime_)
                                          .count());
}

std::uint64_t ServiceSim::SimNowLocked() const {
    if (manualClock_) {
        return clockOffsetMs_;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - startTime_);
    return static_cast<std::uint64_t>(elapsed.count()) + clockOffsetMs_;
}

std::uint64_t ServiceSim::SimTimeMs() const {
    std::lock_guard lock(mutex_);
    return SimNowLocked();
}

void ServiceSim::AdvanceClock(std::chrono::milliseconds by) {
    {
        std::lock_guard lock(mutex_);
        clockOffsetMs_ += static_cast<std::uint64_t>(std::max<long long>(0, by.count()));
        engine_.AdvanceTo(SimNowLocked());
    }
    Wake();
}

bool ServiceSim::ManualClockSet() const {
    std::lock_guard lock(mutex_);
    return manualClock_;
}

void ServiceSim::Wake() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof(one));
    }
}

// ---------------------------------------------------------------- transcript

void ServiceSim::SetMessageObserver(std::function<void(const TranscriptEntry&)> observer) {
    transcript_.SetObserver(std::move(observer));
}

std::vector<TranscriptEntry> ServiceSim::Transcript() const {
    return transcript_.Entries();
}

void ServiceSim::ClearTranscript() {
    transcript_.Clear();
}

bool ServiceSim::WaitForEntries(std::size_t count, std::chrono::milliseconds timeout) const {
    return transcript_.WaitForEntries(count, timeout);
}

std::optional<TranscriptEntry> ServiceSim::WaitForCode(std::uint32_t code,
                                                       std::chrono::milliseconds timeout) const {
    return transcript_.WaitForCode(code, timeout);
}

std::size_t ServiceSim::ConnectionsAccepted() const {
    return transcript_.Accepted();
}

std::size_t ServiceSim::ConnectionsClosed() const {
    return transcript_.Closed();
}

bool ServiceSim::WaitForConnectionsClosed(std::size_t count,
                                          std::chrono::milliseconds timeout) const {
    return transcript_.WaitForClosed(count, timeout);
}

// ---------------------------------------------------------------- hooks

void ServiceSim::PushEvent(const EventSpec& event) {
    std::lock_guard lock(mutex_);
    engine_.PushEvent(event, SimNowLocked());
}

void ServiceSim::PushLogEntry(const LogEntrySpec& entry) {
    std::lock_guard lock(mutex_);
    engine_.PushLogEntry(entry, SimNowLocked());
}

void ServiceSim::PushMailFailure(const MailFailureSpec& failure) {
    std::lock_guard lock(mutex_);
    engine_.PushMailFailure(failure, SimNowLocked());
}

void ServiceSim::SetChangeFlag(bool on) {
    std::lock_guard lock(mutex_);
    engine_.SetChangeFlag(on);
}

void ServiceSim::SetFault(const FaultSpec& fault) {
    std::lock_guard lock(mutex_);
    faults_.Set(fault);
}

void ServiceSim::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.Clear();
}

std::vector<std::uint8_t> ServiceSim::FlashContents(std::uint8_t controller) const {
    std::lock_guard lock(mutex_);
    return engine_.FlashContents(controller);
}

FlashCounters ServiceSim::FlashCountersOf(std::uint8_t controller) const {
    std::lock_guard lock(mutex_);
    return engine_.FlashCountersOf(controller);
}

void ServiceSim::SetFlashContents(std::uint8_t controller, std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    engine_.SetFlashContents(controller, bytes);
}

void ServiceSim::SetFlashFaults(std::uint8_t controller, const FlashFaults& faults) {
    std::lock_guard lock(mutex_);
    engine_.SetFlashFaults(controller, faults);
}

}  // namespace veltrix::sim
