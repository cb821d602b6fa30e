#pragma once
// The service side of the protocol without any transport: takes the login block
// and the request frames of one connection at a time and says what to send back.
// Simulated time is passed in by the caller (milliseconds since the service
// started), so the engine is deterministic and needs no clock or thread of its own.
// Not thread-safe: the owner serialises access.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/protocol.h"
#include "servicesim/flash_rom.h"
#include "servicesim/scenario.h"

namespace veltrix::sim {

// What one received message meant and what to do about it.
struct Outcome {
    enum class Kind {
        Login,      // the login block
        Request,    // a command frame
        Data,       // a data message of an acknowledged settings exchange (1001/1013/1015)
        Malformed,  // shorter than a frame header or a length above 1048: dropped
    };
    Kind kind = Kind::Request;
    std::uint32_t code = 0;                          // the frame's code (Request, Data)
    std::vector<std::vector<std::uint8_t>> replies;  // whole messages, in order
    bool close = false;                              // end the connection after the replies
    // Simulated time (ms) before which the replies must not go out (a flash erase
    // that takes its time); 0: at once.
    std::uint64_t notBeforeMs = 0;
};

// Builds one reply message: code, length and data (data cut to 1048 bytes).
std::vector<std::uint8_t> BuildReply(std::uint32_t code, std::span<const std::uint8_t> data);

struct Request;

class ServiceEngine {
  public:
    // `wallBase`: the wall-clock moment of simulated time 0 (stamps events).
    explicit ServiceEngine(Scenario scenario, std::chrono::system_clock::time_point wallBase =
                                                  std::chrono::system_clock::now());

    // Connection life: per-connection state (login, settings exchange, flash
    // stream) starts fresh with every connection.
    void BeginSession();
    void EndSession();
    bool LoggedIn() const { return session_.loggedIn; }

    Outcome Login(ByteView block, std::uint64_t nowMs);
    Outcome Message(ByteView frame, std::uint64_t nowMs);

    // Runs the timeline, rebuilds and scheduled entries up to `nowMs`.
    void AdvanceTo(std::uint64_t nowMs);

    // Test hooks.
    void PushEvent(const EventSpec& event, std::uint64_t nowMs);
    void PushLogEntry(const LogEntrySpec& entry, std::uint64_t nowMs);
    void PushMailFailure(const MailFailureSpec& failure, std::uint64_t nowMs);
    void SetChangeFlag(bool on) { changeFlag_ = on; }

    // Inspection.
    const std::string& Password() const { return password_; }
    ServiceConfig Config() const;
    const MailSettings& Mail() const { return mail_; }
    std::uint32_t TestMailsRequested() const { return testMails_; }
    std::size_t QueuedEvents() const { return events_.size(); }
    std::uint32_t ControllerCount() const;
    // The priority and the state flags of the RAID set at `port`; nothing when there is none.
    std::optional<std::uint8_t> RaidSetPriority(std::uint8_t controller, std::uint8_t port) const;
    std::optional<std::uint8_t> RaidSetStateFlags(std::uint8_t controller, std::uint8_t port) const;
    bool DrivePresent(std::uint8_t controller, std::uint8_t channel, std::uint8_t pmPort) const;
    std::uint64_t RebuildPosition(std::uint8_t controller) const;
    // Flash ROMs (empty / zero counters for a controller that does not exist).
    const std::vector<std::uint8_t>& FlashContents(std::uint8_t controller) const;
    FlashCounters FlashCountersOf(std::uint8_t controller) const;
    void SetFlashContents(std::uint8_t controller, std::span<const std::uint8_t> bytes);
    void SetFlashFaults(std::uint8_t controller, const FlashFaults& faults);
    SystemTime WallTime(std::uint64_t simMs) const;

    // Event and log queues keep at most this many entries (the oldest go first).
    static constexpr std::size_t kQueueLimit = 1024;

  private:
    struct Rebuild {
        bool active = false;
        std::uint8_t setPort = 0;
        std::uint64_t startPosition = 0;
        std::uint64_t rate = 0;  // sectors per second
        std::uint64_t startedAtMs = 0;
        std::uint64_t endPosition = 0;
        std::uint64_t lastPosition = 0;
    };
    struct Controller {
        ControllerSpec spec;
        Rebuild rebuild;
        FlashRom flash;
    };
    struct Scheduled {
        enum class Kind { Timeline, Log, Mail };
        Kind kind = Kind::Timeline;
        std::size_t index = 0;
        Timing timing;
        std::optional<std::uint64_t> nextDueMs;
    };
    struct Session {
        bool loggedIn = false;
        // Acknowledged settings exchange: data messages still expected.
        std::uint32_t ackCode = 0;
        std::size_t dataExpected = 0;
        std::size_t dataIndex = 0;
        // Flash read-out stream: one reply per FLASH_READ_ACK, the end reply included.
        bool readStream = false;
        bool readEndSent = false;
        std::uint8_t readController = 0;
        std::size_t readOffset = 0;
        // Controller of the last FLASH_WRITE_START on this connection; the write blocks
        // go there (without one they fail).
        std::optional<std::uint8_t> writeController;
    };
    // What a request code does (engine_dispatch.cpp holds the table).
    using Handler = void (ServiceEngine::*)(Request& request);

    void Schedule(Scheduled::Kind kind, std::size_t index, const Timing& timing);
    void Dispatch(Request& request);
    static Handler HandlerFor(std::uint32_t code);

    // session_requests.cpp
    void Acknowledge(Request& request, std::size_t dataMessages);
    void OnSetServicePassword(Request& request);
    void OnLogoff(Request& request);
    // status_requests.cpp
    void OnGetControllerCount(Request& request);
    void OnGetControllerInfo(Request& request);
    void OnGetDevice(Request& request);
    void OnGetRaidSet(Request& request);
    void OnGetChangeFlag(Request& request);
    void OnGetControllerFlag(Request& request);
    // rebuild_requests.cpp
    void OnGetRebuildStatus(Request& request);
    void OnSetRebuildPriority(Request& request);
    // event_requests.cpp
    void OnGetEvent(Request& request);
    void OnGetLogEntry(Request& request);
    // config_requests.cpp
    void OnSetHostLogFile(Request& request);
    void OnGetServiceConfig(Request& request);
    // mail_requests.cpp
    void AcceptData(ByteView data);
    bool KnowsSmtp(std::uint32_t sinceVersion) const;
    void OnMailGetSettings(Request& request);
    void OnMailSetSettings(Request& request);
    void OnMailSetLevel(Request& request);
    void OnMailGetLevel(Request& request);
    void OnMailSetLevel2(Request& request);
    void OnMailGetLevel2(Request& request);
    void OnGetMailStatus(Request& request);
    void OnSmtpGetAuth(Request& request);
    void OnSmtpSetAuth(Request& request);
    void OnSmtpGetTls(Request& request);
    void OnSmtpSetTls(Request& request);
    // flash_requests.cpp
    std::vector<std::uint8_t> NextReadOut();
    void OnFlashEnd(Request& request);
    void OnFlashReadAck(Request& request);
    void OnFlashErase(Request& request);
    void OnFlashGetTypeId(Request& request);
    void OnFlashGetTypeName(Request& request);
    void OnFlashReadStart(Request& request);
    void OnFlashWriteStart(Request& request);
    void OnFlashGetBiosVersion(Request& request);
    void OnFlashWriteBlock(Request& request);

    // engine_timeline.cpp
    void Fire(const Scheduled& item, std::uint64_t atMs);
    void ApplyEffect(const Effect& effect, std::uint64_t atMs);
    void StartRebuild(Controller& c, std::uint8_t setPort, std::uint64_t position,
                      std::uint64_t atMs);
    void FinishRebuild(Controller& c, std::uint64_t atMs);
    std::uint64_t PositionAt(const Rebuild& r, std::uint64_t nowMs) const;
    static std::optional<std::uint64_t> CompletionMs(const Rebuild& r);
    void QueueEvent(const EventSpec& event, std::uint64_t atMs);

    // engine_event_state.cpp: what a timeline event says happened, made true of the
    // drives and sets the status requests read.
    using EventChange = void (ServiceEngine::*)(Controller& c, const EventSpec& event,
                                                std::uint64_t atMs);
    static EventChange EventChangeFor(std::uint32_t code);
    void ApplyEventState(const EventSpec& event, std::uint64_t atMs);
    void OnDriveLost(Controller& c, const EventSpec& event, std::uint64_t atMs);
    void OnDriveFound(Controller& c, const EventSpec& event, std::uint64_t atMs);
    void OnSetLost(Controller& c, const EventSpec& event, std::uint64_t atMs);
    void OnRedundancyLost(Controller& c, const EventSpec& event, std::uint64_t atMs);
    void OnRaidBroken(Controller& c, const EventSpec& event, std::uint64_t atMs);
    void OnRebuildCompleted(Controller& c, const EventSpec& event, std::uint64_t atMs);
    // The set is whole again: its flags become `stateFlags`, the members being rebuilt
    // current, and a rebuild still running on it ends.
    void MarkRebuilt(Controller& c, RaidSetSpec& set, std::uint8_t stateFlags);
    void StopRebuildOf(Controller& c, const RaidSetSpec& set, std::uint64_t position);

    Controller* FindController(std::uint32_t index);
    const Controller* FindController(std::uint32_t index) const;
    RaidSetSpec* RaidSetByPort(Controller& c, std::uint8_t port);
    const RaidSetSpec* RaidSetByPort(const Controller& c, std::uint8_t port) const;
    // The drive at a port number (the drive list's position), the set with a set index
    // (the n-th present set in the order the client scans the addresses).
    static DriveSpec* DriveAtPort(Controller& c, std::uint8_t port);
    static RaidSetSpec* RaidSetByIndex(Controller& c, std::uint8_t index);

    Scenario scenario_;
    std::chrono::system_clock::time_point wallBase_;
    std::string password_;
    std::string factoryPassword_;  // empty once the password has been changed
    std::uint8_t configFlags_ = 0;
    std::string logFileName_;
    MailSettings mail_;
    std::uint32_t testMails_ = 0;
    std::vector<Controller> controllers_;
    std::vector<Scheduled> schedule_;
    std::deque<std::pair<SystemTime, EventSpec>> events_;
    std::deque<std::pair<SystemTime, LogEntrySpec>> logEntries_;
    std::optional<MailStatus> pendingMail_;
    bool changeFlag_ = false;
    std::uint64_t nowMs_ = 0;
    Session session_;
};

}  // namespace veltrix::sim
