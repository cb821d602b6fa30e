#pragma once
// The simulated monitoring service on its pipe: listens on the local socket (and,
// when asked, on TCP), serves one client at a time with ServiceEngine, injects
// faults and keeps a transcript of every message it received.
//
// One thread runs a poll() loop; stop() wakes it through an eventfd. While a client
// is connected the listening sockets are closed (the local socket file stays), so a
// second client's connect is refused, as with a single busy pipe instance; when the
// client leaves the service listens again at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "protocol/transport.h"
#include "servicesim/engine.h"
#include "servicesim/scenario.h"

namespace veltrix::sim {

struct ServiceSimOptions {
    std::string pipeDir;  // empty: $VELTRIX_PIPE_DIR or /run/kavotronik
    std::string pipeName = kServicePipeName;
    bool listenLocal = true;
    bool listenTcp = false;
    std::string tcpAddress = "127.0.0.1";
    std::uint16_t tcpPort = 0;  // 0: any free port (see ServiceSim::tcpPort)
    // Simulated time moves only through advanceClock() (tests); otherwise it is the
    // real time since start() plus whatever advanceClock() added.
    bool manualClock = false;
    // Entries the transcript keeps (the oldest go first); 0: all.
    std::size_t transcriptLimit = 0;
};

// One received message.
struct TranscriptEntry {
    std::uint64_t timeMs = 0;      // real milliseconds since start()
    std::uint32_t connection = 0;  // 1 for the first accepted connection, and so on
    Outcome::Kind kind = Outcome::Kind::Request;
    bool login = false;              // the login block
    std::uint32_t code = 0;          // frame code (0 for the login block)
    std::uint16_t length = 0;        // frame length field (login: the block's size)
    std::vector<std::uint8_t> data;  // bytes after the 6-byte header (login: the whole block)
    std::size_t size = 0;            // bytes received in this message
};

class ServiceSim {
  public:
    explicit ServiceSim(Scenario scenario);
    ~ServiceSim();
    ServiceSim(const ServiceSim&) = delete;
    ServiceSim& operator=(const ServiceSim&) = delete;

    // Binds the sockets and starts the service thread. Throws std::runtime_error
    // when a socket cannot be set up (the text says which and why).
    void start(const ServiceSimOptions& options = {});
    // Stops the thread, closes every socket and removes the local socket file.
    void stop();
    bool running() const { return thread_.joinable(); }

    std::string socketPath() const { return socketPath_; }
    std::uint16_t tcpPort() const { return boundTcpPort_; }

    // Called on the service thread for every received message (the program prints them).
    void setMessageObserver(std::function<void(const TranscriptEntry&)> observer);

    // Transcript.
    std::vector<TranscriptEntry> transcript() const;
    void clearTranscript();
    // Wait until the transcript holds at least `count` entries / an entry with `code`
    // (the login block does not count as a code). False / nothing on time-out.
    bool waitForEntries(std::size_t count, std::chrono::milliseconds timeout) const;
    std::optional<TranscriptEntry> waitForCode(std::uint32_t code,
                                               std::chrono::milliseconds timeout) const;
    // Connections accepted and ended so far; wait until `count` have ended.
    std::size_t connectionsAccepted() const;
    std::size_t connectionsClosed() const;
    bool waitForConnectionsClosed(std::size_t count, std::chrono::milliseconds timeout) const;

    // Test hooks (thread-safe).
    void pushEvent(const EventSpec& event);
    void pushLogEntry(const LogEntrySpec& entry);
    void pushMailFailure(const MailFailureSpec& failure);
    void setChangeFlag(bool on);
    // Replaces an earlier fault of the same sort for the same code: a drop fault an
    // earlier drop fault, any other kind any other kind (a command can have one of each).
    void setFault(const FaultSpec& fault);
    void clearFaults();
    // Moves simulated time; replies waiting for it (a slow erase) go out.
    void advanceClock(std::chrono::milliseconds by);
    std::uint64_t simTimeMs() const;

    // Flash ROMs (thread-safe): the contents of a controller's ROM (empty for a
    // controller that does not exist), what the flash commands did to it, and its
    // contents and hardware faults replaced at run time.
    std::vector<std::uint8_t> flashContents(std::uint8_t controller) const;
    FlashCounters flashCounters(std::uint8_t controller) const;
    void setFlashContents(std::uint8_t controller, std::span<const std::uint8_t> bytes);
    void setFlashFaults(std::uint8_t controller, const FlashFaults& faults);

    // Runs `f` on the engine under the service's lock (read state in tests).
    template <typename F>
    auto inspect(F&& f) const {
        std::lock_guard lock(mutex_);
        return f(engine_);
    }

  private:
    struct ActiveFault {
        FaultSpec spec;
        std::uint32_t repliesLeft = 0;  // Drop: replies still sent on this connection
    };
    struct Pending {
        std::vector<std::uint8_t> bytes;  // as it goes on the wire (TCP: with prefix)
        std::chrono::steady_clock::time_point notBefore;
        std::uint64_t notBeforeSimMs = 0;  // simulated time as well (Outcome::notBeforeMs)
        std::size_t sent = 0;
    };

    void run();
    bool openLocalListener();
    bool openTcpListener();
    void closeListeners();
    void acceptClient(int listenFd, bool tcp);
    void readClient(short revents);
    void handleMessage(const std::vector<std::uint8_t>& bytes);
    void queueReply(std::vector<std::uint8_t> message, std::chrono::steady_clock::time_point at,
                    std::uint64_t atSimMs);
    bool replyDue(const Pending& pending, std::chrono::steady_clock::time_point now,
                  std::uint64_t simNow) const;
    bool flushOutput();
    void disconnect();
    std::uint64_t simNowLocked() const;
    bool manualClockSet() const;
    void wake();  // interrupts the loop's poll()
    std::uint64_t realMs() const;
    void record(TranscriptEntry entry);
    // The fault of the drop sort or of the other sort that hits a message with
    // `faultCode` (a request's own fault, then for a write block the fault of all
    // blocks, then an "any" fault); nullptr when none.
    ActiveFault* findFaultLocked(std::uint32_t faultCode, bool request, bool drop);
    static std::vector<ActiveFault> ActiveFaults(const std::vector<FaultSpec>& faults);
    // Takes one occurrence of `fault`; removes it after its last one.
    void useFaultLocked(ActiveFault* fault);

    mutable std::mutex mutex_;  // faults_, engine_, clock
    std::vector<ActiveFault> faults_;
    ServiceEngine engine_;
    std::uint64_t clockOffsetMs_ = 0;
    bool manualClock_ = false;
    std::chrono::steady_clock::time_point startTime_ = std::chrono::steady_clock::now();

    mutable std::mutex transcriptMutex_;
    mutable std::condition_variable transcriptChanged_;
    std::deque<TranscriptEntry> transcript_;
    std::size_t accepted_ = 0;
    std::size_t closed_ = 0;
    std::function<void(const TranscriptEntry&)> observer_;

    ServiceSimOptions options_;
    std::string socketPath_;
    std::uint16_t boundTcpPort_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int wakeFd_ = -1;
    int localListen_ = -1;
    int tcpListen_ = -1;
    bool relistenPending_ = false;
    bool ownsSocketFile_ = false;  // bound by this service: removed at stop

    // Service-thread state of the connected client.
    int client_ = -1;
    bool clientTcp_ = false;
    bool loginDone_ = false;
    bool closeAfterFlush_ = false;
    transport::TcpDeframer deframer_;
    std::vector<Pending> output_;
};

}  // namespace veltrix::sim
