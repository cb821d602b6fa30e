#pragma once
// Short ways to write scenarios in code (tests and benchmarks): a drive and a set in a
// line each, a quiet two-controller machine, and the bytes of BIOS images and flash ROMs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "servicesim/scenario.h"

namespace veltrix::sim {

// A drive at (channel, port-multiplier port) with serial "SN<channel>-<pmPort>".
DriveSpec MakeDrive(std::uint8_t channel, std::uint8_t pmPort, std::string model,
                    std::uint64_t capacity = 488397168);
// A set at `channel` of 232 GB with its members in entry order.
RaidSetSpec MakeSet(std::uint8_t channel, std::uint8_t raidType, std::uint8_t deviceNumber,
                    std::vector<std::uint8_t> members, std::uint16_t chunkSize = 128);
// Two controllers and nothing happening: "RX-Oak 4P" (port multipliers, a mirror of
// channels 0 and 1 at priority 40, a spare on channel 3) and "RX-Pine 9230" (a RAID 5
// of three drives).
Scenario TwoControllerScenario();
// The longest enumeration there is: 8 controllers with port multipliers, each with 20
// drives and 20 sets spread over the 64 addresses, so the scans run long.
Scenario WorstCaseEnumerationScenario();

// A controller BIOS image of `size` bytes: a PCI expansion ROM header at offset 0
// (0x55 0xAA, length in 512-byte units, at 0x18 the offset 0x1C of the PCI data
// structure) and the structure "PCIR", vendorId, deviceId, class 01 04 00 (RAID),
// image length, code revision = bcdVersion (0x0360 is 3.60) at 0x1C + 0x12, last image.
// Then FlashPattern bytes; the last byte makes the sum of all bytes 0 (mod 256).
// A size below 52 bytes gives the first `size` bytes of that header.
std::vector<std::uint8_t> MakeBiosImage(std::size_t size, std::uint16_t vendorId,
                                        std::uint16_t deviceId, std::uint16_t bcdVersion);
// Where MakeBiosImage puts the PCI data structure and the code revision.
inline constexpr std::size_t kBiosImagePcirOffset = 0x1C;
inline constexpr std::size_t kBiosImageVersionOffset = kBiosImagePcirOffset + 0x12;
// `size` bytes of a deterministic pattern, byte i = i ^ (i / 512 * 0x3B) (low 8 bits):
// no two neighbouring 512-byte blocks are equal, and no 0x55 0xAA header at a block start.
std::vector<std::uint8_t> FlashPattern(std::size_t size);

}  // namespace veltrix::sim
