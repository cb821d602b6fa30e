#include "servicesim/scenario_builders.h"

#include <algorithm>
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

Scenario WorstCaseEnumerationScenario() {
    Scenario s;
    for (int c = 0; c < 8; ++c) {
        ControllerSpec controller;
        controller.vendorId = 0x1B4B;
        controller.deviceId = 0x9230;
        controller.name = "Controller " + std::to_string(c);
        controller.channelCount = 4;
        controller.portMultiplier = true;
        for (int i = 0; i < 20; ++i) {
            DriveSpec drive;
            drive.channel = static_cast<std::uint8_t>(i % 4);
            drive.pmPort = static_cast<std::uint8_t>(i / 4 * 3);
            drive.serial = std::to_string(1000 + i);
            drive.capacity = 1ull << 31;
            controller.drives.push_back(drive);
            RaidSetSpec set;
            set.channel = drive.channel;
            set.pmPort = drive.pmPort;
            set.raidType = 4;
            set.capacity = drive.capacity;
            set.members = {static_cast<std::uint8_t>(i), 0xFF, 0xFF, 0xFF};
            controller.sets.push_back(set);
        }
        s.controllers.push_back(controller);
    }
    return s;
}

std::vector<std::uint8_t> FlashPattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i ^ (i / 512 * 0x3B));
    }
    return bytes;
}

std::vector<std::uint8_t> MakeBiosImage(std::size_t size, std::uint16_t vendorId,
                                        std::uint16_t deviceId, std::uint16_t bcdVersion) {
    constexpr std::size_t kHeaderEnd = kBiosImagePcirOffset + 0x18;
    std::vector<std::uint8_t> image = FlashPattern(std::max(size, kHeaderEnd));
    const auto put16 = [&](std::size_t at, std::size_t value) {
        image[at] = static_cast<std::uint8_t>(value & 0xFF);
        image[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    };
    std::fill(image.begin(), image.begin() + kHeaderEnd, std::uint8_t{0});
    const std::size_t units = (size + 511) / 512;
    image[0] = 0x55;
    image[1] = 0xAA;
    image[2] = static_cast<std::uint8_t>(std::min<std::size_t>(units, 0xFF));
    image[3] = 0xCB;  // the entry point: a far return
    put16(0x18, kBiosImagePcirOffset);
    const std::size_t p = kBiosImagePcirOffset;
    image[p] = 'P';
    image[p + 1] = 'C';
    image[p + 2] = 'I';
    image[p + 3] = 'R';
    put16(p + 4, vendorId);
    put16(p + 6, deviceId);
    put16(p + 0x0A, 0x18);   // structure length
    image[p + 0x0E] = 0x04;  // class code 01 04 00: RAID controller
    image[p + 0x0F] = 0x01;
    put16(p + 0x10, std::min<std::size_t>(units, 0xFFFF));
    put16(p + 0x12, bcdVersion);
    image[p + 0x15] = 0x80;  // last image
    if (size < kHeaderEnd) {
        image.resize(size);
        return image;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < size; ++i) {
        sum += image[i];
    }
    image[size - 1] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    return image;
}

}  // namespace veltrix::sim
