#include "servicesim/scenario_builders.h"

#include <utility>

namespace veltrix::sim {

DriveSpec MakeDrive(std::uint8_t channel, std::uint8_t pmPort, std::string model,
                    std::uint64_t capacity) {
    DriveSpec drive;
    drive.channel = channel;
    drive.pmPort = pmPort;
    drive.model = std::move(model);
    drive.serial = "SN" + std::to_string(channel) + "-" + std::to_string(pmPort);
    drive.capacity = capacity;
    return drive;
}

RaidSetSpec MakeSet(std::uint8_t channel, std::uint8_t raidType, std::uint8_t deviceNumber,
                    std::vector<std::uint8_t> members, std::uint16_t chunkSize) {
    RaidSetSpec set;
    set.channel = channel;
    set.raidType = raidType;
    set.deviceNumber = deviceNumber;
    set.chunkSize = chunkSize;
    set.driveCount = static_cast<std::uint8_t>(members.size());
    set.capacity = 488397168;
    for (std::size_t i = 0; i < members.size() && i < set.members.size(); ++i) {
        set.members[i] = members[i];
    }
    return set;
}

Scenario TwoControllerScenario() {
    Scenario s;
    ControllerSpec pm;
    pm.vendorId = 0x1095;
    pm.deviceId = 0x3124;
    pm.name = "RX-Oak 4P";
    pm.biosVersion = 0x0360;
    pm.channelCount = 4;
    pm.jbod = true;
    pm.raid5 = true;
    pm.portMultiplier = true;
    pm.drives = {MakeDrive(0, 0, "KV-500 Enterprise 250"), MakeDrive(1, 0, "KV-500 Enterprise 250"),
                 MakeDrive(3, 0, "KV-300 Desktop 160", 312581808)};
    pm.sets = {MakeSet(0, 1, 0, {0, 1}), MakeSet(3, 3, 1, {3}, 0)};
    pm.sets[0].priority = 40;

    ControllerSpec plain;
    plain.vendorId = 0x1B4B;
    plain.deviceId = 0x9230;
    plain.name = "RX-Pine 9230";
    plain.biosVersion = 0x0215;
    plain.channelCount = 4;
    plain.raid5 = true;
    plain.drives = {MakeDrive(0, 0, "Strata 2000 NAS", 3907029168),
                    MakeDrive(1, 0, "Strata 2000 NAS", 3907029168),
                    MakeDrive(2, 0, "Strata 2000 NAS", 3907029168)};
    plain.sets = {MakeSet(0, 16, 0, {0, 1, 2})};
    s.controllers = {pm, plain};
    return s;
}

}  // namespace veltrix::sim
