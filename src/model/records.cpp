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
    const auto& data = w.Data();
    std::copy_n(data.begin(), std::min(N, data.size()), out.begin());
    return out;
}

template <std::size_t N>
void CopyChars(const ByteView& in, std::size_t offset, std::array<char, N>& out) {
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = static_cast<char>(in.U8(offset + i));
    }
}

template <std::size_t N>
void WriteChars(ByteWriter& w, const std::array<char, N>& chars) {
    for (const char c : chars) {
        w.U8(static_cast<std::uint8_t>(c));
    }
}

}  // namespace

ControllerInfo ControllerInfo::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    ControllerInfo r;
    r.vendorId = in.U16(0);
    r.deviceId = in.U16(2);
    CopyChars(in, 4, r.name);
    CopyChars(in, 24, r.driverVersion);
    r.biosVersion = in.U16(28);
    r.channelCount = in.U8(31);
    r.jbod = in.U8(32);
    r.raid5 = in.U8(33);
    r.portMultiplier = in.U8(34);
    r.deviceCount = in.U8(36);
    r.raidSetCount = in.U8(37);
    return r;
}

std::array<std::uint8_t, ControllerInfo::kSize> ControllerInfo::Encode() const {
    ByteWriter w;
    w.U16(vendorId).U16(deviceId);
    WriteChars(w, name);
    WriteChars(w, driverVersion);
    w.U16(biosVersion).Zeros(1).U8(channelCount).U8(jbod).U8(raid5).U8(portMultiplier);
    w.Zeros(1).U8(deviceCount).U8(raidSetCount).Zeros(2);
    return ToArray<kSize>(w);
}

std::uint64_t DeviceRecord::Capacity() const {
    return (static_cast<std::uint64_t>(capacityHigh) << 32) |
           (static_cast<std::uint64_t>(capacityMid) << 16) | capacityLow;
}

DeviceRecord DeviceRecord::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    DeviceRecord r;
    r.present = in.U8(0);
    r.position = in.U8(1);
    r.linkFlags = in.U8(2);
    r.smartFlags = in.U8(3);
    r.capacityLow = in.U16(4);
    r.capacityMid = in.U16(6);
    r.capacityHigh = in.U16(8);
    r.sataGeneration = in.U8(12);
    r.portState = in.U16(16);
    in.CopyTo(18, r.identify);
    in.CopyTo(530, r.extra);
    return r;
}

std::array<std::uint8_t, DeviceRecord::kSize> DeviceRecord::Encode() const {
    ByteWriter w;
    w.U8(present).U8(position).U8(linkFlags).U8(smartFlags);
    w.U16(capacityLow).U16(capacityMid).U16(capacityHigh).Zeros(2);
    w.U8(sataGeneration).Zeros(3).U16(portState);
    w.Bytes(identify).Bytes(extra);
    return ToArray<kSize>(w);
}

RaidSetRecord RaidSetRecord::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    RaidSetRecord r;
    r.valid = in.U8(0);
    r.port = in.U8(1);
    r.raidType = in.U8(2);
    r.deviceNumber = in.U8(3);
    r.capacity = in.U64(4);
    r.priority = in.U8(12);
    r.driveCount = in.U8(14);
    r.stateFlags = in.U8(17);
    r.chunkSize = in.U16(18);
    r.raidFlags = in.U8(20);
    in.CopyTo(22, r.members);
    return r;
}

std::array<std::uint8_t, RaidSetRecord::kSize> RaidSetRecord::Encode() const {
    ByteWriter w;
    w.U8(valid).U8(port).U8(raidType).U8(deviceNumber).U64(capacity);
    w.U8(priority).Zeros(1).U8(driveCount).Zeros(2).U8(stateFlags).U16(chunkSize);
    w.U8(raidFlags).Zeros(1).Bytes(members);
    return ToArray<kSize>(w);
}

RebuildStatus RebuildStatus::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    RebuildStatus r;
    r.rebuildActive = in.U32(1);
    r.setPort = in.U8(5);
    r.position = in.U64(13);
    return r;
}

std::array<std::uint8_t, RebuildStatus::kSize> RebuildStatus::Encode() const {
    ByteWriter w;
    w.Zeros(1).U32(rebuildActive).U8(setPort).Zeros(7).U64(position);
    return ToArray<kSize>(w);
}

EventRecord EventRecord::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    EventRecord r;
    r.time = SystemTime::Decode(bytes);
    r.controller = in.U8(16);
    r.deviceIndex = in.U8(17);
    r.port = in.U8(18);
    r.setIndex = in.U8(19);
    r.drive = in.U8(20);
    r.code = in.U32(21);
    return r;
}

std::array<std::uint8_t, EventRecord::kSize> EventRecord::Encode() const {
    ByteWriter w;
    w.Bytes(time.Encode()).U8(controller).U8(deviceIndex).U8(port).U8(setIndex).U8(drive);
    w.U32(code).Zeros(40);
    return ToArray<kSize>(w);
}

LogEntry LogEntry::Decode(std::span<const std::uint8_t> bytes) {
    const ByteView in(bytes);
    LogEntry r;
    r.time = SystemTime::Decode(bytes);
    r.controller = in.U8(16);
    r.port = in.U8(17);
    r.status = in.U8(18);
    r.command = in.U8(19);
    r.control = in.U8(20);
    r.lba = static_cast<std::uint64_t>(in.U16(21)) |
            (static_cast<std::uint64_t>(in.U16(23)) << 16) |
            (static_cast<std::uint64_t>(in.U16(25)) << 32);
    r.sectorCount = in.U16(27);
    return r;
}

std::array<std::uint8_t, LogEntry::kSize> LogEntry::Encode() const {
    ByteWriter w;
    w.Bytes(time.Encode()).U8(controller).U8(port).U8(status).U8(command).U8(control);
    w.U16(static_cast<std::uint16_t>(lba & 0xFFFF));
    w.U16(static_cast<std::uint16_t>((lba >> 16) & 0xFFFF));
    w.U16(static_cast<std::uint16_t>((lba >> 32) & 0xFFFF));
    w.U16(sectorCount).Zeros(4);
    return ToArray<kSize>(w);
}

}  // namespace veltrix
