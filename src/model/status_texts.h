#pragma once
// The texts that render the status codes of controllers, drives and RAID sets.
//
// Texts that exist in the string tables come from LoadString and follow the
// program's language; all others are fixed and the same in every language.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace veltrix {

struct RaidSetRecord;

// Longest chipset text a controller keeps (its field holds 39 characters and a NUL).
inline constexpr std::size_t kMaxChipNameLength = 39;

// Chipset text chosen by PCI vendor id and then device id; leading and trailing
// blanks of the fixed names are part of them. Cut to kMaxChipNameLength.
std::string ChipsetText(std::uint16_t vendorId, std::uint16_t deviceId);

// "%x.%02x" of the high and low byte (0x0360 gives "3.60").
std::string BiosVersionText(std::uint16_t biosVersion);

// "DMA" without a SATA link, else the SATA generation's speed.
std::string InterfaceText(std::uint8_t linkFlags, std::uint8_t sataGeneration);

// Sectors of 512 bytes in whole units of 2^30 bytes, cut towards zero to 32 bits: "%u GB".
std::string CapacityText(std::uint64_t sectors);

// Drive list "Status" column from a port state word; first matching rule wins.
std::string PortStateText(std::uint32_t portState);

// Drive panel SMART text: " - ", "Critical" for bit 3, "Ok" for bit 2 (bit 2 wins).
std::string SmartStatusText(std::uint8_t smartFlags);

// Type text of a set: "non Raid" for a plain drive, else by raidType (a mirror with
// chunk size 0xFFFF and the backup marker is a "Backup").
std::string RaidTypeText(const RaidSetRecord& record);

// State text of a set: each rule that holds replaces the text, so the highest set
// bit among 1-7 decides; "Ready" only for 0. Empty when only bit 0 is set.
std::string RaidStatusText(std::uint8_t stateFlags);

// Chunk size in KB (sectors / 2) for the RAID set panel: "- " when 0, else "%d KB".
std::string ChunkSizePanelText(std::uint16_t chunkSize);
// The same for the RAID set list: " " when 0, else "%d KB".
std::string ChunkSizeListText(std::uint16_t chunkSize);

// Used member entries (below 0xFF) in entry order, joined by ", ".
std::string MembersText(const std::array<std::uint8_t, 4>& members);

}  // namespace veltrix
