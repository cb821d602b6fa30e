#pragma once
// The status records the service sends, encoded byte for byte (little-endian,
// packed, reserved bytes 0).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/protocol.h"
#include "servicesim/scenario.h"

namespace veltrix::sim {

inline constexpr std::size_t kControllerInfoSize = 40;
inline constexpr std::size_t kDeviceRecordSize = 850;
inline constexpr std::size_t kRaidSetRecordSize = 26;
inline constexpr std::size_t kRebuildStatusSize = 21;
inline constexpr std::size_t kEventRecordSize = 65;
inline constexpr std::size_t kLogEntrySize = 33;

// Where the parts of a DeviceRecord lie.
inline constexpr std::size_t kIdentifyOffset = 18;
inline constexpr std::size_t kIdentifySize = 512;
inline constexpr std::size_t kIdentifySerialOffset = 20;    // within identify, 20 bytes
inline constexpr std::size_t kIdentifyFirmwareOffset = 46;  // within identify, 8 bytes
inline constexpr std::size_t kIdentifyModelOffset = 54;     // within identify, 40 bytes
inline constexpr std::size_t kExtraOffset = 530;
inline constexpr std::size_t kExtraValueOffset = 108;  // within extra, uint64

// Drive address byte: bits 0-2 channel, bits 4-7 port-multiplier port.
std::uint8_t EncodePosition(std::uint8_t channel, std::uint8_t pmPort);

std::vector<std::uint8_t> EncodeControllerInfo(const ControllerSpec& controller,
                                               std::uint8_t deviceCount, std::uint8_t raidSetCount);
// A present drive; an absent address is kDeviceRecordSize zero bytes.
std::vector<std::uint8_t> EncodeDeviceRecord(const DriveSpec& drive);
// A valid set; an absent address is kRaidSetRecordSize zero bytes.
std::vector<std::uint8_t> EncodeRaidSetRecord(const RaidSetSpec& set);
std::vector<std::uint8_t> EncodeRebuildStatus(bool active, std::uint8_t setPort,
                                              std::uint64_t position);
std::vector<std::uint8_t> EncodeEventRecord(const SystemTime& time, const EventSpec& event);
// The "no further event" record: controller 0xFF.
std::vector<std::uint8_t> EncodeNoEvent(const SystemTime& time);
std::vector<std::uint8_t> EncodeLogEntry(const SystemTime& time, const LogEntrySpec& entry);
// The "no further entry" record: controller 0xFF.
std::vector<std::uint8_t> EncodeNoLogEntry(const SystemTime& time);

}  // namespace veltrix::sim
