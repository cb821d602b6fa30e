// Decoding of the service's status records: field offsets, short replies, noise.

#include "model/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace veltrix {
namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t fill = 0) {
    return std::vector<std::uint8_t>(n, fill);
}

// Fills `n` bytes with a pattern that differs at every offset, so a field read at a
// wrong offset shows.
std::vector<std::uint8_t> Pattern(std::size_t n) {
    std::vector<std::uint8_t> b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return b;
}

// ---- Field offsets from hand-built bytes -----------------------------------------

TEST(ControllerInfoDecode, ReadsEveryFieldAtItsOffset) {
    auto b = Bytes(ControllerInfo::kSize);
    b[0] = 0x95, b[1] = 0x10;  // vendor 0x1095
    b[2] = 0x24, b[3] = 0x31;  // device 0x3124
    std::copy_n("RX-Oak              ", 20, b.begin() + 4);
    std::copy_n("3.57", 4, b.begin() + 24);
    b[28] = 0x60, b[29] = 0x03;
    b[30] = 0xEE;  // reserved
    b[31] = 4, b[32] = 1, b[33] = 2, b[34] = 3, b[35] = 0xEE, b[36] = 5, b[37] = 6;
    b[38] = b[39] = 0xEE;

    const auto r = ControllerInfo::Decode(b);
    EXPECT_EQ(r.vendorId, 0x1095);
    EXPECT_EQ(r.deviceId, 0x3124);
    EXPECT_EQ(std::string(r.name.begin(), r.name.end()), "RX-Oak              ");
    EXPECT_EQ(std::string(r.driverVersion.begin(), r.driverVersion.end()), "3.57");
    EXPECT_EQ(r.biosVersion, 0x0360);
    EXPECT_EQ(r.channelCount, 4);
    EXPECT_EQ(r.jbod, 1);
    EXPECT_EQ(r.raid5, 2);
    EXPECT_EQ(r.portMultiplier, 3);
    EXPECT_EQ(r.deviceCount, 5);
    EXPECT_EQ(r.raidSetCount, 6);
}

TEST(DeviceRecordDecode, ReadsEveryFieldAtItsOffset) {
    auto b = Pattern(DeviceRecord::kSize);
    const auto r = DeviceRecord::Decode(b);
    EXPECT_EQ(r.present, b[0]);
    EXPECT_EQ(r.position, b[1]);
    EXPECT_EQ(r.linkFlags, b[2]);
    EXPECT_EQ(r.smartFlags, b[3]);
    EXPECT_EQ(r.capacityLow, b[4] | b[5] << 8);
    EXPECT_EQ(r.capacityMid, b[6] | b[7] << 8);
    EXPECT_EQ(r.capacityHigh, b[8] | b[9] << 8);
    EXPECT_EQ(r.sataGeneration, b[12]);
    EXPECT_EQ(r.portState, b[16] | b[17] << 8);
    EXPECT_TRUE(std::equal(r.identify.begin(), r.identify.end(), b.begin() + 18));
    EXPECT_TRUE(std::equal(r.extra.begin(), r.extra.end(), b.begin() + 530));
}

TEST(DeviceRecordDecode, CapacityJoinsTheThreeWords) {
    DeviceRecord r;
    r.capacityLow = 0x1111;
    r.capacityMid = 0x2222;
    r.capacityHigh = 0x3333;
    EXPECT_EQ(r.Capacity(), 0x333322221111u);
}

TEST(RaidSetRecordDecode, ReadsEveryFieldAtItsOffset) {
    auto b = Pattern(RaidSetRecord::kSize);
    const auto r = RaidSetRecord::Decode(b);
    EXPECT_EQ(r.valid, b[0]);
    EXPECT_EQ(r.port, b[1]);
    EXPECT_EQ(r.raidType, b[2]);
    EXPECT_EQ(r.deviceNumber, b[3]);
    std::uint64_t capacity = 0;
    for (int i = 7; i >= 0; --i) {
        capacity = capacity << 8 | b[4 + static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(r.capacity, capacity);
    EXPECT_EQ(r.priority, b[12]);
    EXPECT_EQ(r.driveCount, b[14]);
    EXPECT_EQ(r.stateFlags, b[17]);
    EXPECT_EQ(r.chunkSize, b[18] | b[19] << 8);
    EXPECT_EQ(r.raidFlags, b[20]);
    EXPECT_TRUE(std::equal(r.members.begin(), r.members.end(), b.begin() + 22));
}

TEST(RebuildStatusDecode, ReadsUnalignedPosition) {
    auto b = Bytes(RebuildStatus::kSize);
    b[4] = 0x01;  // only the last byte of rebuildActive
    b[5] = 0x21;
    for (std::size_t i = 0; i < 8; ++i) {
        b[13 + i] = static_cast<std::uint8_t>(0x10 + i);
    }
    const auto r = RebuildStatus::Decode(b);
    EXPECT_TRUE(r.IsActive());
    EXPECT_EQ(r.setPort, 0x21);
    EXPECT_EQ(r.position, 0x1716151413121110u);

    b[4] = 0;
    EXPECT_FALSE(RebuildStatus::Decode(b).IsActive());
}

TEST(EventRecordDecode, ReadsEveryFieldAtItsOffset) {
    auto b = Pattern(EventRecord::kSize);
    const auto r = EventRecord::Decode(b);
    EXPECT_EQ(r.time.year, b[0] | b[1] << 8);
    EXPECT_EQ(r.time.milliseconds, b[14] | b[15] << 8);
    EXPECT_EQ(r.controller, b[16]);
    EXPECT_EQ(r.deviceIndex, b[17]);
    EXPECT_EQ(r.port, b[18]);
    EXPECT_EQ(r.setIndex, b[19]);
    EXPECT_EQ(r.drive, b[20]);
    EXPECT_EQ(r.code, static_cast<std::uint32_t>(b[21] | b[22] << 8 | b[23] << 16) |
                          static_cast<std::uint32_t>(b[24]) << 24);
}

TEST(LogEntryDecode, ReadsEveryFieldAtItsOffset) {
    auto b = Bytes(LogEntry::kSize);
    b[0] = 0xDA, b[1] = 0x07;  // 2010
    b[16] = 1, b[17] = 2, b[18] = 0x51, b[19] = 0x25, b[20] = 0x08;
    b[21] = 0x01, b[22] = 0x02, b[23] = 0x03, b[24] = 0x04, b[25] = 0x05, b[26] = 0x06;
    b[27] = 0x80, b[28] = 0x00;
    const auto r = LogEntry::Decode(b);
    EXPECT_EQ(r.time.year, 2010);
    EXPECT_EQ(r.controller, 1);
    EXPECT_EQ(r.port, 2);
    EXPECT_EQ(r.status, 0x51);
    EXPECT_EQ(r.command, 0x25);
    EXPECT_EQ(r.control, 0x08);
    EXPECT_EQ(r.lba, 0x060504030201u);
    EXPECT_EQ(r.sectorCount, 0x80);
}

// ---- Properties common to every record --------------------------------------------

// Offsets of the bytes a decoder ignores (reserved or not read).
template <typename Record>
std::vector<std::size_t> ReservedOffsets();
template <>
std::vector<std::size_t> ReservedOffsets<ControllerInfo>() {
    return {30, 35, 38, 39};
}
template <>
std::vector<std::size_t> ReservedOffsets<DeviceRecord>() {
    return {10, 11, 13, 14, 15};
}
template <>
std::vector<std::size_t> ReservedOffsets<RaidSetRecord>() {
    return {13, 15, 16, 21};
}
template <>
std::vector<std::size_t> ReservedOffsets<RebuildStatus>() {
    return {0, 6, 7, 8, 9, 10, 11, 12};
}
template <>
std::vector<std::size_t> ReservedOffsets<EventRecord>() {
    std::vector<std::size_t> r;
    for (std::size_t i = 25; i < EventRecord::kSize; ++i)
        r.push_back(i);
    return r;
}
template <>
std::vector<std::size_t> ReservedOffsets<LogEntry>() {
    return {29, 30, 31, 32};
}

template <typename Record>
std::vector<std::uint8_t> WithoutReserved(std::vector<std::uint8_t> b) {
    for (const std::size_t i : ReservedOffsets<Record>()) {
        b[i] = 0;
    }
    return b;
}

template <typename Record>
std::vector<std::uint8_t> Encoded(const Record& r) {
    const auto a = r.Encode();
    return {a.begin(), a.end()};
}

template <typename Record>
class RecordTest : public ::testing::Test {};

using RecordTypes = ::testing::Types<ControllerInfo, DeviceRecord, RaidSetRecord, RebuildStatus,
                                     EventRecord, LogEntry>;
TYPED_TEST_SUITE(RecordTest, RecordTypes);

TYPED_TEST(RecordTest, EncodeGivesBackEveryByteThatIsRead) {
    const auto bytes = Pattern(TypeParam::kSize);
    EXPECT_EQ(Encoded(TypeParam::Decode(bytes)), WithoutReserved<TypeParam>(bytes));
}

TYPED_TEST(RecordTest, EveryTruncatedPrefixReadsTheMissingBytesAsZero) {
    const auto full = Pattern(TypeParam::kSize);
    for (std::size_t n = 0; n <= TypeParam::kSize; ++n) {
        const std::vector<std::uint8_t> prefix(full.begin(), full.begin() + n);
        auto padded = prefix;
        padded.resize(TypeParam::kSize, 0);
        SCOPED_TRACE(n);
        EXPECT_EQ(Encoded(TypeParam::Decode(prefix)), WithoutReserved<TypeParam>(padded));
    }
}

TYPED_TEST(RecordTest, EmptyInputDecodesToAllZero) {
    EXPECT_EQ(Encoded(TypeParam::Decode({})), Bytes(TypeParam::kSize));
}

TYPED_TEST(RecordTest, RandomBytesOfAnyLengthDecodeSafely) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 2 * TypeParam::kSize);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> b(length(rng));
        for (auto& x : b)
            x = static_cast<std::uint8_t>(byte(rng));
        auto expected = b;
        expected.resize(TypeParam::kSize, 0);  // longer input: extra bytes ignored
        EXPECT_EQ(Encoded(TypeParam::Decode(b)), WithoutReserved<TypeParam>(expected));
    }
}

}  // namespace
}  // namespace veltrix
