#pragma once
// What the simulated service pretends to be: its password and version, the
// controllers with their drives and RAID sets, running rebuilds, a timeline of
// events, error-log entries and e-mail failures, the e-mail settings and faults
// to inject. A scenario is read from a JSON file (see tools/servicesim/README.md).

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "protocol/protocol.h"

namespace veltrix::sim {

// A scenario that cannot be used; the text names the offending field.
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A drive at (channel, port-multiplier port) of a controller.
struct DriveSpec {
    std::uint8_t channel = 0;
    std::uint8_t pmPort = 0;
    std::string model;
    std::string serial;
    std::string firmware;
    std::uint64_t capacity = 0;  // sectors, 48 bits
    std::uint8_t linkFlags = 0x40;
    std::uint8_t sataGeneration = 2;
    std::uint8_t smartFlags = 0x04;
    std::uint16_t portState = 0x0101;
    std::uint64_t extraValue = 1;  // the 8 bytes at extra offset 108
    bool present = true;           // present when the service starts
};

// A RAID set (or a plain drive) answered at (channel, port-multiplier port).
struct RaidSetSpec {
    std::uint8_t channel = 0;
    std::uint8_t pmPort = 0;
    std::optional<std::uint8_t> port;  // defaults to the encoded address
    std::uint8_t raidType = 0;
    std::uint8_t deviceNumber = 0;
    std::uint64_t capacity = 0;
    std::uint8_t priority = 0;
    std::uint8_t driveCount = 0;
    std::uint8_t stateFlags = 0;
    std::uint16_t chunkSize = 0;
    std::uint8_t raidFlags = 1;
    std::array<std::uint8_t, 4> members{0xFF, 0xFF, 0xFF, 0xFF};
    bool present = true;

    std::uint8_t PortByte() const;
};

// An event record as the service queues it.
struct EventSpec {
    std::uint8_t controller = 0;
    std::uint8_t deviceIndex = 0;
    std::uint8_t port = 0;
    std::uint8_t setIndex = 0;
    std::uint8_t drive = 0;
    std::uint32_t code = 0;
};

struct RebuildSpec {
    bool active = false;
    std::uint8_t setPort = 0;
    std::uint64_t startPosition = 0;
    std::uint64_t sectorsPerSecond = 0;
    std::optional<std::uint64_t> endPosition;         // defaults to the set's capacity
    std::optional<EventSpec> completionEvent;         // queued when the rebuild ends
    std::optional<std::uint8_t> completedStateFlags;  // the set's state afterwards
};

// Largest flash ROM the service keeps: its write blocks must stay below the next
// command code (FLASH_WRITE_BLOCK + i for i < 5902 runs into LOGOFF).
inline constexpr std::uint32_t kFlashBlockSize = 512;
inline constexpr std::uint32_t kMaxFlashBlocks = 4096;
inline constexpr std::uint32_t kMaxFlashSize = kMaxFlashBlocks * kFlashBlockSize;  // 2 MiB
// Size of a flash ROM whose chip id is not in the chip table (and no size is given).
inline constexpr std::uint32_t kUnknownChipFlashSize = 0x10000;
// Reply code that ends a read-out stream and that reports a failed block write,
// unless the scenario chooses another (any value above 100).
inline constexpr std::uint32_t kFlashEndCode = 101;

// Hardware faults of a flash ROM. Part of the scenario, and changeable at run time
// (ServiceSim::SetFlashFaults).
struct FlashFaults {
    std::optional<std::uint32_t> writeErrorAt{};   // this block's write fails (stays unwritten)
    std::uint32_t writeErrorCode = kFlashEndCode;  // its reply code, above 100
    bool writesIgnored = false;   // erase and writes answered as done; the contents stay
    bool versionIoError = false;  // FLASH_GET_BIOS_VERSION answers 0xFFFFFFFF
    // Simulated milliseconds from FLASH_ERASE to its reply (with the manual clock the
    // reply goes out when AdvanceClock has moved past it). 0: at once.
    std::uint32_t eraseMs = 0;
};

// The controller's flash ROM for the BIOS update commands.
struct FlashSpec {
    // What the ROM holds when the service starts; the bytes after it are `fill`.
    enum class Content {
        BiosImage,  // MakeBiosImage with the controller's ids and BIOS version
        Pattern,    // FlashPattern: deterministic, different in every block
        Fill,       // every byte `fill` (an erased ROM with the default 0xFF)
        Bytes,      // `image` ("imageHex" or "imageFile")
    };
    std::uint32_t chipId = 0xBFB5;
    std::string chipName = "KT-F010A";
    std::optional<std::uint32_t> size;  // default: FlashRomSize
    Content content = Content::BiosImage;
    // BiosImage: the image's version (BCD), ids and length. Defaults: the controller's
    // biosVersion, vendorId and deviceId, and the whole ROM.
    std::optional<std::uint16_t> biosVersion;
    std::optional<std::uint16_t> imageVendorId;
    std::optional<std::uint16_t> imageDeviceId;
    std::optional<std::uint32_t> imageSize;
    std::uint8_t fill = 0xFF;
    std::vector<std::uint8_t> image;                // Bytes
    std::uint32_t readEndCode = kFlashEndCode;      // code of the read-out's end reply, above 100
    std::uint16_t readBlockSize = kFlashBlockSize;  // data bytes per read-out reply, 1..512
    FlashFaults faults;
};

struct ControllerSpec {
    std::uint16_t vendorId = 0;
    std::uint16_t deviceId = 0;
    std::string name;
    std::string driverVersion = "3.57";
    std::uint16_t biosVersion = 0;
    std::uint8_t channelCount = 0;
    bool jbod = false;
    bool raid5 = false;
    bool portMultiplier = false;
    std::optional<std::uint8_t> deviceCount;   // defaults to the drives present
    std::optional<std::uint8_t> raidSetCount;  // defaults to the sets present
    std::vector<DriveSpec> drives;
    std::vector<RaidSetSpec> sets;
    RebuildSpec rebuild;
    FlashSpec flash;
};

// When a timed entry happens: milliseconds after the service started, or after the
// latest successful login; optionally repeated every `everyMs`.
enum class Anchor { Start, Login };
struct Timing {
    std::uint64_t atMs = 0;
    Anchor anchor = Anchor::Start;
    std::uint64_t everyMs = 0;  // 0: once
};

// A change of the simulated hardware, applied when its timeline entry is due.
struct Effect {
    enum class Kind {
        RemoveDrive,
        RestoreDrive,
        SetDrive,
        RemoveSet,
        RestoreSet,
        SetSet,
        StartRebuild,
        StopRebuild,
    };
    Kind kind = Kind::RemoveDrive;
    std::uint8_t controller = 0;
    std::uint8_t channel = 0;  // drives and sets: the address
    std::uint8_t pmPort = 0;
    std::optional<std::uint16_t> portState;  // SetDrive
    std::optional<std::uint8_t> smartFlags;  // SetDrive
    std::optional<std::uint8_t> stateFlags;  // SetSet
    std::optional<std::uint8_t> setPort;     // StartRebuild
    std::optional<std::uint64_t> position;   // StartRebuild
};

struct TimelineEntry {
    Timing timing;
    std::optional<EventSpec> event;  // queued when due
    std::vector<Effect> effects;
    bool setChangeFlag = true;
};

struct LogEntrySpec {
    std::uint8_t controller = 0;
    std::uint8_t port = 0;
    std::uint8_t status = 0;
    std::uint8_t command = 0;
    std::uint8_t control = 0;
    std::uint64_t lba = 0;  // 48 bits
    std::uint16_t sectorCount = 0;
};

struct TimedLogEntry {
    Timing timing;
    LogEntrySpec entry;
};

// An e-mail failure that GET_MAIL_STATUS reports once.
struct MailFailureSpec {
    std::uint16_t errorCode = 0;
    std::string text;
    std::optional<SystemTime> time;  // defaults to the moment it happens
};

struct TimedMailFailure {
    Timing timing;
    MailFailureSpec failure;
};

struct MailSettings {
    std::string senderName;
    std::string senderAddress;
    std::string userName;
    std::string password;
    std::string server;
    std::string recipient;
    std::uint8_t flags = 0;  // bit 0 active, bit 2 start-up messages
    std::uint32_t level = 0;
    std::uint32_t level2 = 0;
    std::uint32_t authMethod = 0;
    std::uint32_t port = 25;
    std::uint32_t legacySsl = 0;
    std::uint32_t connectionType = 0;
    std::uint32_t tlsProtocol = 0;
};

// Code used for faults on the login reply.
inline constexpr std::uint32_t kLoginFaultCode = 0xFFFFFFFFu;
// Code used for faults on every request after the login (not on the login reply).
// A command's own fault of the same sort takes precedence over this one.
inline constexpr std::uint32_t kAnyCommandFaultCode = 0xFFFFFFFEu;
// Code used for faults on every FLASH_WRITE_BLOCK (codes 0x1000 + i) at once ("command":
// "FLASH_WRITE_BLOCK"); a block's own code still takes precedence, "any" comes after.
inline constexpr std::uint32_t kFlashWriteBlockFaultCode = 0xFFFFFFFDu;
// Whether a request code is a FLASH_WRITE_BLOCK of a block the service can hold.
inline bool IsFlashWriteBlock(std::uint32_t code) {
    return code >= FLASH_WRITE_BLOCK && code - FLASH_WRITE_BLOCK < kMaxFlashBlocks;
}

struct FaultSpec {
    enum class Kind { Silent, Late, Close, Short, Oversized, Length, Code, Patch, Drop };
    std::uint32_t code = 0;  // command code, kLoginFaultCode, kAnyCommandFaultCode, ...
    Kind kind = Kind::Silent;
    // Occurrences still to hit; -1: always. A drop occurs once per dropped connection.
    int count = -1;
    std::uint32_t delayMs = 0;  // Late: real milliseconds, whatever the service's clock
    std::uint32_t bytes = 0;    // Short: whole message cut to this; Oversized: padded to it
    // Drop: replies to the fault's requests still sent before the connection is closed,
    // counted from the start of each connection (or from setting the fault).
    std::uint32_t after = 0;
    // Length: the `length` field of each reply; Code: its code (the bytes stay as they are).
    std::uint32_t value = 0;
    // Patch: `data` written over each reply from byte `offset` of the whole message on
    // (the reply grows when it is shorter).
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> data = {};
};

struct Scenario {
    std::string password = "kavo";
    // The password the service was installed with, taken as well until the password is
    // changed (SET_SERVICE_PASSWORD); empty: none. The shipped scenario sets the
    // client's own first-run password, so a client without settings logs in.
    std::string factoryPassword;
    std::uint16_t versionMajor = 3;
    std::uint16_t versionMinor = 4;
    std::uint16_t versionBuild = 0;
    std::uint16_t versionRevision = 0;
    std::uint16_t configReserved = 0;
    std::uint8_t configFlags = 0;
    std::string logFileName;
    std::optional<std::uint32_t> controllerCount;  // defaults to the controllers listed
    std::vector<ControllerSpec> controllers;
    std::vector<TimelineEntry> timeline;
    std::vector<TimedLogEntry> logEntries;
    std::vector<TimedMailFailure> mailFailures;
    MailSettings mail;
    std::vector<FaultSpec> faults;
};

// Parses a scenario from JSON text. `baseDir` resolves relative file names
// (flash images). Throws ScenarioError.
Scenario ParseScenario(const std::string& jsonText, const std::string& baseDir = ".");
// Reads and parses a scenario file. Throws ScenarioError.
Scenario LoadScenario(const std::string& path);

// The size the service's ROM has: `size` if given, else the model's chip table's
// (FlashSizeOfChip); for ids not in the table kUnknownChipFlashSize, for the no-ROM
// ids 0.
std::uint32_t FlashRomSize(const FlashSpec& flash);

// Command codes by name for faults ("GET_EVENT", "login", "any", ...); nothing when unknown.
std::optional<std::uint32_t> CommandCodeByName(const std::string& name);

}  // namespace veltrix::sim
