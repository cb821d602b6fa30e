#pragma once
// The fixed status records the service sends in the data part of its replies.
//
// Every record is little-endian and packed; multi-byte fields may start at odd
// offsets. Decode() reads byte by byte through ByteView, so a short or cut reply
// never reads outside the received bytes: missing bytes count as zero. Encode()
// writes the same layout with every reserved byte 0 (used by tests and fakes).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/protocol.h"

namespace veltrix {

// Reply to GET_CONTROLLER_INFO.
struct ControllerInfo {
    static constexpr std::size_t kSize = 40;
    static constexpr std::size_t kNameSize = 20;
    static constexpr std::size_t kDriverVersionSize = 4;

    std::uint16_t vendorId = 0;
    std::uint16_t deviceId = 0;
    std::array<char, kNameSize> name{};  // blank-padded, not NUL-terminated
    std::array<char, kDriverVersionSize> driverVersion{};
    std::uint16_t biosVersion = 0;  // high byte major, low byte minor
    std::uint8_t channelCount = 0;
    std::uint8_t jbod = 0;
    std::uint8_t raid5 = 0;
    std::uint8_t portMultiplier = 0;
    std::uint8_t deviceCount = 0;
    std::uint8_t raidSetCount = 0;

    static ControllerInfo Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

// Reply to GET_DEVICE: one drive address of a controller.
struct DeviceRecord {
    static constexpr std::size_t kSize = 850;
    static constexpr std::size_t kIdentifySize = 512;
    static constexpr std::size_t kExtraSize = 320;

    std::uint8_t present = 0;   // 0: no drive at the asked address
    std::uint8_t position = 0;  // bits 0-2 channel, bits 4-7 port-multiplier port
    std::uint8_t linkFlags = 0;
    std::uint8_t smartFlags = 0;
    std::uint16_t capacityLow = 0;
    std::uint16_t capacityMid = 0;
    std::uint16_t capacityHigh = 0;
    std::uint8_t sataGeneration = 0;
    std::uint16_t portState = 0;
    std::array<std::uint8_t, kIdentifySize> identify{};  // ATA IDENTIFY DEVICE data
    std::array<std::uint8_t, kExtraSize> extra{};

    // The 48-bit sector count made of the three capacity words.
    std::uint64_t Capacity() const;

    static DeviceRecord Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

// Reply to GET_RAID_SET: one set address of a controller.
struct RaidSetRecord {
    static constexpr std::size_t kSize = 26;
    static constexpr std::size_t kMemberCount = 4;

    std::uint8_t valid = 0;  // 0: no set at the asked address
    std::uint8_t port = 0;   // address of the set, encoded like DeviceRecord::position
    std::uint8_t raidType = 0;
    std::uint8_t deviceNumber = 0;  // bits 0-6 device number, bit 7 backup mirror marker
    std::uint64_t capacity = 0;     // sectors
    std::uint8_t priority = 0;
    std::uint8_t driveCount = 0;
    std::uint8_t stateFlags = 0;
    std::uint16_t chunkSize = 0;                       // sectors
    std::uint8_t raidFlags = 0;                        // bit 0: a RAID set; clear: a plain drive
    std::array<std::uint8_t, kMemberCount> members{};  // member ports, 0xFF = empty

    bool IsRaid() const { return (raidFlags & 0x01) != 0; }
    bool BackupMarker() const { return (deviceNumber & 0x80) != 0; }

    static RaidSetRecord Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

// Reply to GET_REBUILD_STATUS for one controller.
struct RebuildStatus {
    static constexpr std::size_t kSize = 21;

    std::uint32_t rebuildActive = 0;  // any non-zero byte: a rebuild is running
    std::uint8_t setPort = 0;         // port of the set being rebuilt
    std::uint64_t position = 0;       // rebuild position in sectors

    bool IsActive() const { return rebuildActive != 0; }

    static RebuildStatus Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

// Reply to GET_EVENT: one queued controller event.
struct EventRecord {
    static constexpr std::size_t kSize = 65;

    SystemTime time;
    std::uint8_t controller = 0;  // 0xFF: there is no (further) event
    std::uint8_t deviceIndex = 0;
    std::uint8_t port = 0;
    std::uint8_t setIndex = 0;
    std::uint8_t drive = 0;
    std::uint32_t code = 0;

    bool IsEnd() const { return controller == kNoFurtherRecord; }

    static EventRecord Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

// Reply to GET_LOG_ENTRY: one entry of a controller's error log.
struct LogEntry {
    static constexpr std::size_t kSize = 33;
    // Controller number the client puts in an entry when no reply came.
    static constexpr std::uint8_t kNoResponse = 0xFE;

    SystemTime time;
    std::uint8_t controller = 0;  // 0xFF: no (further) entry
    std::uint8_t port = 0;
    std::uint8_t status = 0;   // ATA status register
    std::uint8_t command = 0;  // ATA command
    std::uint8_t control = 0;  // control register
    std::uint64_t lba = 0;     // 48 bits, three uint16 on the wire, least significant first
    std::uint16_t sectorCount = 0;

    static LogEntry Decode(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, kSize> Encode() const;
};

}  // namespace veltrix
