#pragma once
// The bytes that pass between the client and the monitoring service: the login
// exchange, the message frame, the command codes and the service's own records.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltrix {

// Name of the service's pipe.
inline constexpr char kServicePipeName[] = "KAVOPIPE";

// Command codes of the service protocol.
inline constexpr std::uint32_t FLASH_END = 0;
inline constexpr std::uint32_t GET_CONTROLLER_COUNT = 1;
inline constexpr std::uint32_t GET_CONTROLLER_INFO = 2;
inline constexpr std::uint32_t GET_DEVICE = 3;
inline constexpr std::uint32_t GET_RAID_SET = 4;
inline constexpr std::uint32_t GET_CHANGE_FLAG = 8;
inline constexpr std::uint32_t GET_CONTROLLER_FLAG = 9;
inline constexpr std::uint32_t GET_REBUILD_STATUS = 11;
inline constexpr std::uint32_t SET_REBUILD_PRIORITY = 12;
inline constexpr std::uint32_t GET_EVENT = 102;
inline constexpr std::uint32_t GET_LOG_ENTRY = 103;
inline constexpr std::uint32_t MAIL_GET_SETTINGS = 1000;
inline constexpr std::uint32_t MAIL_SET_SETTINGS = 1001;
inline constexpr std::uint32_t MAIL_SET_LEVEL = 1005;
inline constexpr std::uint32_t MAIL_GET_LEVEL = 1006;
inline constexpr std::uint32_t MAIL_SET_LEVEL2 = 1009;
inline constexpr std::uint32_t MAIL_GET_LEVEL2 = 1010;
inline constexpr std::uint32_t GET_MAIL_STATUS = 1011;
inline constexpr std::uint32_t SMTP_GET_AUTH = 1012;
inline constexpr std::uint32_t SMTP_SET_AUTH = 1013;
inline constexpr std::uint32_t SMTP_GET_TLS = 1014;
inline constexpr std::uint32_t SMTP_SET_TLS = 1015;
inline constexpr std::uint32_t SET_SERVICE_PASSWORD = 2000;
inline constexpr std::uint32_t SET_HOST_LOGFILE = 3000;
inline constexpr std::uint32_t GET_SERVICE_CONFIG = 3001;
inline constexpr std::uint32_t FLASH_ERASE = 4003;
inline constexpr std::uint32_t FLASH_GET_TYPE_ID = 4009;
inline constexpr std::uint32_t FLASH_GET_TYPE_NAME = 4010;
inline constexpr std::uint32_t FLASH_READ_START = 4011;
inline constexpr std::uint32_t FLASH_WRITE_START = 4012;
inline constexpr std::uint32_t FLASH_GET_BIOS_VERSION = 4015;
inline constexpr std::uint32_t FLASH_READ_ACK = 4016;
inline constexpr std::uint32_t FLASH_WRITE_BLOCK = 4096;  // + block number
inline constexpr std::uint32_t LOGOFF = 9998;

// Event codes the client tells apart.
inline constexpr std::uint32_t EVENT_RAID_STATUS_CHANGED = 2;
inline constexpr std::uint32_t EVENT_LOGGED_3 = 3;
inline constexpr std::uint32_t EVENT_SET_STATUS_10 = 10;
inline constexpr std::uint32_t EVENT_SET_STATUS_11 = 11;
inline constexpr std::uint32_t EVENT_DEVICE_CHANGED = 12;
inline constexpr std::uint32_t EVENT_DRIVE_FOUND = 13;
inline constexpr std::uint32_t EVENT_SET_FOUND = 14;
inline constexpr std::uint32_t EVENT_DRIVE_LOST = 15;
inline constexpr std::uint32_t EVENT_SET_LOST = 16;
inline constexpr std::uint32_t EVENT_LOGGED_17 = 17;
inline constexpr std::uint32_t EVENT_SPARE_ACCESSED = 18;
inline constexpr std::uint32_t EVENT_GENERAL = 88;
inline constexpr std::uint32_t EVENT_RAID_BROKEN = 99;
inline constexpr std::uint32_t EVENT_REBUILD_COMPLETED_A = 0xA02;
inline constexpr std::uint32_t EVENT_REDUNDANCY_LOST = 0xB02;
inline constexpr std::uint32_t EVENT_REBUILD_COMPLETED_C = 0xC02;

// Controller number in event and log records that means "nothing further".
inline constexpr std::uint8_t kNoFurtherRecord = 0xFF;

// The frame of every request and reply after the login, kept as the raw bytes that
// travel: uint32 code, uint16 length, up to 1048 data bytes.
struct ServiceMessage {
    static constexpr std::size_t kHeaderSize = 6;
    static constexpr std::size_t kMaxData = 1048;
    static constexpr std::size_t kSize = kHeaderSize + kMaxData;  // 1054

    std::array<std::uint8_t, kSize> raw{};
    // Bytes the last read delivered into `raw` (0 after `clear`).
    std::size_t received = 0;

    void Clear() {
        raw.fill(0);
        received = 0;
    }

    std::uint32_t Code() const;
    std::uint16_t Length() const;
    void SetCode(std::uint32_t code);
    void SetLength(std::uint16_t length);

    std::span<std::uint8_t, kMaxData> Data() { return std::span(raw).subspan<kHeaderSize>(); }
    std::span<const std::uint8_t, kMaxData> Data() const {
        return std::span(raw).subspan<kHeaderSize>();
    }

    // Sets code, length and data; data beyond 1048 bytes is cut.
    void SetRequest(std::uint32_t code, std::span<const std::uint8_t> bytes = {});
    // Sets length and data only: the data messages after an acknowledgement keep its code.
    void SetData(std::span<const std::uint8_t> bytes);
    // Number of bytes a request occupies on the wire: 6 + length (length at most 1048).
    std::size_t WireSize() const;

    // A text reply: the first `length` data bytes, cut to what was received and to
    // `capacity` - 1 characters (the receiving buffer's room before its NUL), and
    // ending at an embedded NUL.
    std::string Text(std::size_t capacity) const;
    // A numeric reply: the first `length` data bytes (at most 4) as a little-endian number.
    std::uint32_t Number() const;
};

// The 100-byte login block: the password, NUL-terminated, cut to 99 characters.
inline constexpr std::size_t kLoginBlockSize = 100;
inline constexpr std::size_t kMaxPasswordLength = kLoginBlockSize - 1;
std::array<std::uint8_t, kLoginBlockSize> BuildLoginBlock(std::string_view password);
// The service accepts a login by answering 1, 2, 3, 4 in the first four bytes.
bool IsLoginAccepted(std::span<const std::uint8_t> reply);
inline constexpr std::array<std::uint8_t, 4> kLoginAccepted{1, 2, 3, 4};

// The service's configuration record (commands 3001 and 3000).
struct ServiceConfig {
    static constexpr std::size_t kSize = 261;
    static constexpr std::size_t kVersionPartSize = 11;  // bytes taken from an old service
    static constexpr std::size_t kLogFileNameSize = 250;

    std::uint16_t versionMajor = 0;
    std::uint16_t versionMinor = 0;
    std::uint16_t versionBuild = 0;
    std::uint16_t versionRevision = 0;
    std::uint16_t reserved = 0;
    std::uint8_t configFlags = 0;  // bit 0: the service writes the host log file
    std::array<char, kLogFileNameSize> logFileName{};

    bool HostLogEnabled() const { return (configFlags & 0x01) != 0; }
    std::string LogFileNameText() const;
    void SetLogFileName(std::string_view name);  // cut to 249 characters

    // Takes a reply: bytes 0-10 always; all 261 bytes only from a service above 3.0.2.
    void ApplyReply(std::span<const std::uint8_t> data);
    std::array<std::uint8_t, kSize> Encode() const;
};

// Whether a service of this version sends the whole ServiceConfig (above 3.0.2).
bool SendsFullServiceConfig(std::uint16_t major, std::uint16_t minor, std::uint16_t build);

// ((major*100 + minor)*100 + build)*100, plus the revision from 3030100 on.
std::uint32_t ServiceVersionNumber(std::uint16_t major, std::uint16_t minor, std::uint16_t build,
                                   std::uint16_t revision);
std::uint32_t ServiceVersionNumber(const ServiceConfig& config);

inline constexpr std::uint32_t kVersionSmtpAuth = 3030100;    // commands 1012, 1013
inline constexpr std::uint32_t kVersionSmtpTls = 3040000;     // commands 1014, 1015
inline constexpr std::uint32_t kVersionBiosUpdate = 3020000;  // BIOS update above this

// A Win32 SYSTEMTIME as it travels: eight uint16.
struct SystemTime {
    static constexpr std::size_t kSize = 16;
    std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;

    static SystemTime Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
    bool operator==(const SystemTime&) const = default;
};

// The e-mail notification status (reply to command 1011).
struct MailStatus {
    static constexpr std::size_t kSize = 319;
    static constexpr std::size_t kTextSize = 300;

    SystemTime time;
    std::uint16_t errorCode = 0;
    std::uint8_t nothingNew = 0;
    std::string text;

    // A year below 2010 means the service has no valid status.
    bool HasValidTime() const { return time.year >= 2010; }

    static MailStatus Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

}  // namespace veltrix
