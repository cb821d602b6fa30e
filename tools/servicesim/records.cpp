#include "servicesim/records.h"

#include <algorithm>

#include "protocol/bytes.h"

namespace veltrix::sim {

namespace {

void PutText(std::vector<std::uint8_t>& out, std::size_t offset, const std::string& text,
             std::size_t fieldSize, std::uint8_t pad) {
    for (std::size_t i = 0; i < fieldSize && offset + i < out.size(); ++i) {
        out[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : pad;
    }
}

void PutU64(std::vector<std::uint8_t>& out, std::size_t offset, std::uint64_t v) {
    PutU32(out, offset, static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
    PutU32(out, offset + 4, static_cast<std::uint32_t>(v >> 32));
}

}  // namespace

std::uint8_t EncodePosition(std::uint8_t channel, std::uint8_t pmPort) {
    return static_cast<std::uint8_t>((channel & 0x07) | ((pmPort & 0x0F) << 4));
}

std::vector<std::uint8_t> EncodeControllerInfo(const ControllerSpec& c, std::uint8_t deviceCount,
                                               std::uint8_t raidSetCount) {
    std::vector<std::uint8_t> out(kControllerInfoSize, 0);
    PutU16(out, 0, c.vendorId);
    PutU16(out, 2, c.deviceId);
    PutText(out, 4, c.name, 20, ' ');
    PutText(out, 24, c.driverVersion, 4, ' ');
    PutU16(out, 28, c.biosVersion);
    out[31] = c.channelCount;
    out[32] = c.jbod ? 1 : 0;
    out[33] = c.raid5 ? 1 : 0;
    out[34] = c.portMultiplier ? 1 : 0;
    out[36] = deviceCount;
    out[37] = raidSetCount;
    return out;
}

std::vector<std::uint8_t> EncodeDeviceRecord(const DriveSpec& d) {
    std::vector<std::uint8_t> out(kDeviceRecordSize, 0);
    out[0] = 1;
    out[1] = EncodePosition(d.channel, d.pmPort);
    out[2] = d.linkFlags;
    out[3] = d.smartFlags;
    PutU16(out, 4, static_cast<std::uint16_t>(d.capacity & 0xFFFF));
    PutU16(out, 6, static_cast<std::uint16_t>((d.capacity >> 16) & 0xFFFF));
    PutU16(out, 8, static_cast<std::uint16_t>((d.capacity >> 32) & 0xFFFF));
    out[12] = d.sataGeneration;
    PutU16(out, 16, d.portState);

    // IDENTIFY DEVICE data. The texts go in the order the client reads them (no
    // byte-pair swapping), blank-padded like ATA strings.
    const std::size_t id = kIdentifyOffset;
    PutU16(out, id + 0, 0x0040);  // word 0: fixed device
    PutText(out, id + kIdentifySerialOffset, d.serial, 20, ' ');
    PutText(out, id + kIdentifyFirmwareOffset, d.firmware, 8, ' ');
    PutText(out, id + kIdentifyModelOffset, d.model, 40, ' ');
    const std::uint64_t lba28 = std::min<std::uint64_t>(d.capacity, 0x0FFFFFFF);
    PutU32(out, id + 2 * 60, static_cast<std::uint32_t>(lba28));  // words 60-61
    PutU64(out, id + 2 * 100, d.capacity);                        // words 100-103

    PutU64(out, kExtraOffset + kExtraValueOffset, d.extraValue);
    return out;
}

std::vector<std::uint8_t> EncodeRaidSetRecord(const RaidSetSpec& s) {
    std::vector<std::uint8_t> out(kRaidSetRecordSize, 0);
    out[0] = 1;
    out[1] = s.PortByte();
    out[2] = s.raidType;
    out[3] = s.deviceNumber;
    PutU64(out, 4, s.capacity);
    out[12] = s.priority;
    out[14] = s.driveCount;
    out[17] = s.stateFlags;
    PutU16(out, 18, s.chunkSize);
    out[20] = s.raidFlags;
    std::copy(s.members.begin(), s.members.end(), out.begin() + 22);
    return out;
}

std::vector<std::uint8_t> EncodeRebuildStatus(bool active, std::uint8_t setPort,
                                              std::uint64_t position) {
    std::vector<std::uint8_t> out(kRebuildStatusSize, 0);
    PutU32(out, 1, active ? 1u : 0u);
    out[5] = setPort;
    PutU64(out, 13, position);
    return out;
}

std::vector<std::uint8_t> EncodeEventRecord(const SystemTime& time, const EventSpec& e) {
    std::vector<std::uint8_t> out(kEventRecordSize, 0);
    const auto t = time.Encode();
    std::copy(t.begin(), t.end(), out.begin());
    out[16] = e.controller;
    out[17] = e.deviceIndex;
    out[18] = e.port;
    out[19] = e.setIndex;
    out[20] = e.drive;
    PutU32(out, 21, e.code);
    return out;
}

std::vector<std::uint8_t> EncodeNoEvent(const SystemTime& time) {
    std::vector<std::uint8_t> out(kEventRecordSize, 0);
    const auto t = time.Encode();
    std::copy(t.begin(), t.end(), out.begin());
    out[16] = kNoFurtherRecord;
    return out;
}

std::vector<std::uint8_t> EncodeLogEntry(const SystemTime& time, const LogEntrySpec& e) {
    std::vector<std::uint8_t> out(kLogEntrySize, 0);
    const auto t = time.Encode();
    std::copy(t.begin(), t.end(), out.begin());
    out[16] = e.controller;
    out[17] = e.port;
    out[18] = e.status;
    out[19] = e.command;
    out[20] = e.control;
    PutU16(out, 21, static_cast<std::uint16_t>(e.lba & 0xFFFF));
    PutU16(out, 23, static_cast<std::uint16_t>((e.lba >> 16) & 0xFFFF));
    PutU16(out, 25, static_cast<std::uint16_t>((e.lba >> 32) & 0xFFFF));
    PutU16(out, 27, e.sectorCount);
    return out;
}

std::vector<std::uint8_t> EncodeNoLogEntry(const SystemTime& time) {
    std::vector<std::uint8_t> out(kLogEntrySize, 0);
    const auto t = time.Encode();
    std::copy(t.begin(), t.end(), out.begin());
    out[16] = kNoFurtherRecord;
    return out;
}

}  // namespace veltrix::sim
