#pragma once
// The simulated monitoring service on its pipe: listens on the local socket (and,
// when asked, on TCP), serves one client at a time with ServiceEngine, injects
// faults and keeps a transcript of every message it received.
//
// One thread runs a poll() loop; Stop() wakes it through an eventfd. While a client
// is connected the listening sockets are closed (the local socket file stays), so a
// second client's connect is refused, as with a single busy pipe instance; when the
// client leaves the service listens again at once.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "protocol/transport.h"
#include "servicesim/engine.h"
#include "servicesim/fault_injector.h"
#include "servicesim/scenario.h"
#include "servicesim/transcript_log.h"

namespace veltrix::sim {

struct ServiceSimOptions {
    std::string pipeDir;  // empty: $VELTRIX_PIPE_DIR or /run/kavotronik
    std::string pipeName = kServicePipeName;
    bool listenLocal = true;
    bool listenTcp = false;
    std::string tcpAddress = "127.0.0.1";
    std::uint16_t tcpPort = 0;  // 0: any free port (see ServiceSim::TcpPort)
    // Simulated time moves only through AdvanceClock() (tests); otherwise it is the
    // real time since Start() plus whatever AdvanceClock() added.
    bool manualClock = false;
    // Entries the transcript keeps (the oldest go first); 0: all.
    std::size_t transcriptLimit = 0;
    // Stop removes the folders Start made for the local socket (when they are empty),
    // so that a program run leaves nothing behind.
    bool removeMadeFolders = false;
    // An outage this long (0: none), this long after Start(): see BeginOutage().
    std::chrono::milliseconds outageAfter{0};
    std::chrono::milliseconds outageFor{0};
};

class ServiceSim {
  public:
    explicit ServiceSim(Scenario scenario);
    ~ServiceSim();
    ServiceSim(const ServiceSim&) = delete;
    ServiceSim& operator=(const ServiceSim&) = delete;

    // Binds the sockets and starts the service thread. Throws std::runtime_error
    // when a socket cannot be set up (the text says which and why).
    void Start(const ServiceSimOptions& options = {});
    // Stops the thread, closes every socket and removes the local socket file (and,
    // with removeMadeFolders, the folders Start made for it).
    void Stop();
    bool Running() const { return thread_.joinable(); }

    std::string SocketPath() const { return socketPath_; }
    std::uint16_t TcpPort() const { return boundTcpPort_; }

    // Called on the service thread for every received message (the program prints them).
    void SetMessageObserver(std::function<void(const TranscriptEntry&)> observer);

    // Transcript.
    std::vector<TranscriptEntry> Transcript() const;
    void ClearTranscript();
    // Wait until the transcript holds at least `count` entries / an entry with `code`
    // (the login block does not count as a code). False / nothing on time-out.
    bool WaitForEntries(std::size_t count, std::chrono::milliseconds timeout) const;
    std::optional<TranscriptEntry> WaitForCode(std::uint32_t code,
                                               std::chrono::milliseconds timeout) const;
    // Connections accepted and ended so far; wait until `count` have ended.
    std::size_t ConnectionsAccepted() const;
    std::size_t ConnectionsClosed() const;
    bool WaitForConnectionsClosed(std::size_t count, std::chrono::milliseconds timeout) const;

    // Test hooks (thread-safe).
    void PushEvent(const EventSpec& event);
    void PushLogEntry(const LogEntrySpec& entry);
    void PushMailFailure(const MailFailureSpec& failure);
    void SetChangeFlag(bool on);
    // Replaces an earlier fault of the same sort for the same code: a drop fault an
    // earlier drop fault, any other kind any other kind (a command can have one of each).
    void SetFault(const FaultSpec& fault);
    void ClearFaults();
    // An outage: the service goes away (the connection closed, the listening sockets
    // closed, the local socket file removed) and comes back when EndOutage is called or,
    // with `duration`, when that much real time has passed.
    void BeginOutage(std::optional<std::chrono::milliseconds> duration = std::nullopt);
    void EndOutage();

    // Moves simulated time; replies waiting for it (a slow erase) go out.
    void AdvanceClock(std::chrono::milliseconds by);
    std::uint64_t SimTimeMs() const;

    // Flash ROMs (thread-safe): the contents of a controller's ROM (empty for a
    // controller that does not exist), what the flash commands did to it, and its
    // contents and hardware faults replaced at run time.
    std::vector<std::uint8_t> FlashContents(std::uint8_t controller) const;
    FlashCounters FlashCountersOf(std::uint8_t controller) const;
    void SetFlashContents(std::uint8_t controller, std::span<const std::uint8_t> bytes);
    void SetFlashFaults(std::uint8_t controller, const FlashFaults& faults);

    // Runs `f` on the engine under the service's lock (read state in tests).
    template <typename F>
    auto Inspect(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(engine_);
    }

  private:
    struct Pending {
        std::vector<std::uint8_t> bytes;  // as it goes on the wire (TCP: with prefix)
        std::chrono::steady_clock::time_point notBefore;
        std::uint64_t notBeforeSimMs = 0;  // simulated time as well (Outcome::notBeforeMs)
        std::size_t sent = 0;
    };
    struct PollSet;  // the descriptors one round of the loop waits on

    // service_sim.cpp: set-up and listening.
    void OpenListeners(const ServiceSimOptions& options);
    bool OpenLocalListener();
    bool OpenTcpListener();
    void CloseListeners();
    // Removes the folders Start made for the local socket, when they are empty.
    void RemoveMadeDirectories();
    void Relisten();
    // service_sim_loop.cpp: the service thread.
    void Run();
    PollSet BuildPollSet(std::chrono::steady_clock::time_point now);
    int ReplyWaitMs(std::chrono::steady_clock::time_point now, short& events);
    void ServeReady(const PollSet& set);
    void AcceptClient(int listenFd, bool tcp);
    void ReadClient(short revents);
    void ReadLocalMessage(short revents, std::vector<std::uint8_t>& buffer);
    bool ReadTcpStream(std::vector<std::uint8_t>& buffer);
    void HandleMessage(const std::vector<std::uint8_t>& bytes);
    Outcome Serve(const std::vector<std::uint8_t>& bytes, std::optional<FaultSpec>& fault);
    void QueueReply(std::vector<std::uint8_t> message, std::chrono::steady_clock::time_point at,
                    std::uint64_t atSimMs);
    bool ReplyDue(const Pending& pending, std::chrono::steady_clock::time_point now,
                  std::uint64_t simNow) const;
    bool FlushOutput();
    void Disconnect();
    // service_sim.cpp: going away and coming back, on the service thread.
    void ApplyOutage(std::chrono::steady_clock::time_point now);
    // How long the loop may sleep before a timed outage begins or ends; nothing
    // without one.
    std::optional<int> OutageWaitMs(std::chrono::steady_clock::time_point now) const;
    // service_sim.cpp: clock and hooks.
    std::uint64_t SimNowLocked() const;
    bool ManualClockSet() const;
    void Wake();  // interrupts the loop's poll()
    std::uint64_t RealMs() const;

    mutable std::mutex mutex_;  // faults_, engine_, clock
    FaultInjector faults_;
    ServiceEngine engine_;
    std::uint64_t clockOffsetMs_ = 0;
    bool manualClock_ = false;
    std::chrono::steady_clock::time_point startTime_ = std::chrono::steady_clock::now();

    TranscriptLog transcript_;

    ServiceSimOptions options_;
    std::string socketPath_;
    // Written again by the service's thread at every re-listen after a client, read by
    // any thread through TcpPort().
    std::atomic<std::uint16_t> boundTcpPort_{0};
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int wakeFd_ = -1;
    int localListen_ = -1;
    int tcpListen_ = -1;
    bool relistenPending_ = false;
    bool ownsSocketFile_ = false;               // bound by this service: removed at stop
    std::vector<std::string> madeDirectories_;  // made for the socket: removed at stop

    // Outage requests from any thread; the service thread carries them out.
    enum class OutageRequest : int { None, GoAway, ComeBack };
    std::atomic<OutageRequest> outageRequest_{OutageRequest::None};
    std::atomic<bool> away_{false};
    std::optional<std::chrono::steady_clock::time_point> outageEnd_;    // under mutex_
    std::optional<std::chrono::steady_clock::time_point> outageBegin_;  // under mutex_

    // Service-thread state of the connected client.
    int client_ = -1;
    bool clientTcp_ = false;
    bool loginDone_ = false;
    bool closeAfterFlush_ = false;
    transport::TcpDeframer deframer_;
    std::vector<Pending> output_;
};

}  // namespace veltrix::sim
