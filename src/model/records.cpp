#include "model/records.h"

#include <algorithm>

#include "protocol/bytes.h"

namespace veltrix {

namespace {

// Builds a record of exactly N bytes: fields are appended in order and the gaps
// (reserved bytes) are written as zeros by the caller.
template <std::size_t N>
std::array<std::uint8_t, N> ToArray(const ByteWriter& w) {
    std::array<std::uint8_t, N> out{};
    const auto& data = w.data();
    std::copy_n(data.begin(), std::min(N, data.size()), out.begin());
    return out;
}

template <std::size_t N>
void CopyChars(const ByteView& in, std::size_t offset, std::array<char, N>& out) {
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = static_cast<char>(in.u8(offset + i));
    }
}

template <std::size_t N>
void WriteChars(ByteWriter& w, const std::array<char, N>& chars) {
    for (const char c : chars) {
        w.u8(static_cast<std::uint8_t>(c));
    }
}

}  // namespace

ControllerInfo ControllerInfo::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    ControllerInfo r;
    r.vendorId = in.u16(0);
    r.deviceId = in.u16(2);
    CopyChars(in, 4, r.name);
    CopyChars(in, 24, r.driverVersion);
    r.biosVersion = in.u16(28);
    r.channelCount = in.u8(31);
    r.jbod = in.u8(32);
    r.raid5 = in.u8(33);
    r.portMultiplier = in.u8(34);
    r.deviceCount = in.u8(36);
    r.raidSetCount = in.u8(37);
    return r;
}

std::array<std::uint8_t, ControllerInfo::kSize> ControllerInfo::Encode() const {
    ByteWriter w;
    w.u16(vendorId).u16(deviceId);
    WriteChars(w, name);
    WriteChars(w, driverVersion);
    w.u16(biosVersion).zeros(1).u8(channelCount).u8(jbod).u8(raid5).u8(portMultiplier);
    w.zeros(1).u8(deviceCount).u8(raidSetCount).zeros(2);
    return ToArray<kSize>(w);
}

std::uint64_t DeviceRecord::capacity() const {
    return (static_cast<std::uint64_t>(capacityHigh) << 32) |
           (static_cast<std::uint64_t>(capacityMid) << 16) | capacityLow;
}

DeviceRecord DeviceRecord::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    DeviceRecord r;
    r.present = in.u8(0);
    r.position = in.u8(1);
    r.linkFlags = in.u8(2);
    r.smartFlags = in.u8(3);
    r.capacityLow = in.u16(4);
    r.capacityMid = in.u16(6);
    r.capacityHigh = in.u16(8);
    r.sataGeneration = in.u8(12);
    r.portState = in.u16(16);
    in.copyTo(18, r.identify);
    in.copyTo(530, r.extra);
    return r;
}

std::array<std::uint8_t, DeviceRecord::kSize> DeviceRecord::Encode() const {
    ByteWriter w;
    w.u8(present).u8(position).u8(linkFlags).u8(smartFlags);
    w.u16(capacityLow).u16(capacityMid).u16(capacityHigh).zeros(2);
    w.u8(sataGeneration).zeros(3).u16(portState);
    w.bytes(identify).bytes(extra);
    return ToArray<kSize>(w);
}

RaidSetRecord RaidSetRecord::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    RaidSetRecord r;
    r.valid = in.u8(0);
    r.port = in.u8(1);
    r.raidType = in.u8(2);
    r.deviceNumber = in.u8(3);
    r.capacity = in.u64(4);
    r.priority = in.u8(12);
    r.driveCount = in.u8(14);
    r.stateFlags = in.u8(17);
    r.chunkSize = in.u16(18);
    r.raidFlags = in.u8(20);
    in.copyTo(22, r.members);
    return r;
}

std::array<std::uint8_t, RaidSetRecord::kSize> RaidSetRecord::Encode() const {
    ByteWriter w;
    w.u8(valid).u8(port).u8(raidType).u8(deviceNumber).u64(capacity);
    w.u8(priority).zeros(1).u8(driveCount).zeros(2).u8(stateFlags).u16(chunkSize);
    w.u8(raidFlags).zeros(1).bytes(members);
    return ToArray<kSize>(w);
}

RebuildStatus RebuildStatus::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    RebuildStatus r;
    r.rebuildActive = in.u32(1);
    r.setPort = in.u8(5);
    r.position = in.u64(13);
    return r;
}

std::array<std::uint8_t, RebuildStatus::kSize> RebuildStatus::Encode() const {
    ByteWriter w;
    w.zeros(1).u32(rebuildActive).u8(setPort).zeros(7).u64(position);
    return ToArray<kSize>(w);
}

EventRecord EventRecord::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    EventRecord r;
    r.time = SystemTime::Decode(bytes);
    r.controller = in.u8(16);
    r.deviceIndex = in.u8(17);
    r.port = in.u8(18);
    r.setIndex = in.u8(19);
    r.drive = in.u8(20);
    r.code = in.u32(21);
    return r;
}

std::array<std::uint8_t, EventRecord::kSize> EventRecord::Encode() const {
    ByteWriter w;
    w.bytes(time.encode()).u8(controller).u8(deviceIndex).u8(port).u8(setIndex).u8(drive);
    w.u32(code).zeros(40);
    return ToArray<kSize>(w);
}

LogEntry LogEntry::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    LogEntry r;
    r.time = SystemTime::Decode(bytes);
    r.controller = in.u8(16);
    r.port = in.u8(17);
    r.status = in.u8(18);
    r.command = in.u8(19);
    r.control = in.u8(20);
    r.lba = static_cast<std::uint64_t>(in.u16(21)) |
            (static_cast<std::uint64_t>(in.u16(23)) << 16) |
            (static_cast<std::uint64_t>(in.u16(25)) << 32);
    r.sectorCount = in.u16(27);
    return r;
}

std::array<std::uint8_t, LogEntry::kSize> LogEntry::Encode() const {
    ByteWriter w;
    w.bytes(time.encode()).u8(controller).u8(port).u8(status).u8(command).u8(control);
    w.u16(static_cast<std::uint16_t>(lba & 0xFFFF));
    w.u16(static_cast<std::uint16_t>((lba >> 16) & 0xFFFF));
    w.u16(static_cast<std::uint16_t>((lba >> 32) & 0xFFFF));
    w.u16(sectorCount).zeros(4);
    return ToArray<kSize>(w);
}

}  // namespace veltrix
