#pragma once
// Short ways to write scenarios in code (tests and benchmarks): a drive and a set in a
// line each, and a quiet two-controller machine.

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

}  // namespace veltrix::sim
