#include "servicesim/records.h"

#include <gtest/gtest.h>

#include <string>

#include "protocol/bytes.h"

namespace veltrix::sim {
namespace {

std::string TextAt(const std::vector<std::uint8_t>& r, std::size_t offset, std::size_t n) {
    return std::string(r.begin() + static_cast<std::ptrdiff_t>(offset),
                       r.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

TEST(RecordsTest, DeviceRecordPutsIdentifyStringsWhereTheClientReadsThem) {
    DriveSpec d;
    d.channel = 2;
    d.pmPort = 5;
    d.model = "KV-500 Enterprise 250";
    d.serial = "KV0A1B2C3D4E";
    d.firmware = "FW1.04";
    d.capacity = 0x0000'1234'5678'9ABCull;
    d.linkFlags = 0x40;
    d.sataGeneration = 3;
    d.smartFlags = 0x0C;
    d.portState = 0x0201;
    d.extraValue = 0x1122334455667788ull;
    const auto r = EncodeDeviceRecord(d);
    ASSERT_EQ(r.size(), 850u);
    const ByteView v(r);
    EXPECT_EQ(v.U8(0), 1);
    EXPECT_EQ(v.U8(1), 0x52);  // channel 2, port-multiplier port 5
    EXPECT_EQ(v.U8(2), 0x40);
    EXPECT_EQ(v.U8(3), 0x0C);
    EXPECT_EQ(v.U16(4), 0x9ABC);
    EXPECT_EQ(v.U16(6), 0x5678);
    EXPECT_EQ(v.U16(8), 0x1234);
    EXPECT_EQ(v.U8(12), 3);
    EXPECT_EQ(v.U16(16), 0x0201);
    // Serial: identify byte 20 = record offset 38; model: identify byte 54 = offset 72;
    // in the order written, blank-padded, not byte-swapped.
    EXPECT_EQ(TextAt(r, 38, 20), "KV0A1B2C3D4E        ");
    EXPECT_EQ(TextAt(r, 72, 40), "KV-500 Enterprise 250                   ");
    EXPECT_EQ(TextAt(r, 64, 8), "FW1.04  ");
    EXPECT_EQ(v.U64(530 + 108), 0x1122334455667788ull);
    EXPECT_EQ(v.U64(18 + 200), d.capacity);  // identify words 100-103
}

TEST(RecordsTest, ControllerInfoFields) {
    ControllerSpec c;
    c.vendorId = 0x1095;
    c.deviceId = 0x3124;
    c.name = "KT-4P";
    c.driverVersion = "3.57";
    c.biosVersion = 0x0360;
    c.channelCount = 4;
    c.jbod = true;
    c.portMultiplier = true;
    const auto r = EncodeControllerInfo(c, 21, 3);
    ASSERT_EQ(r.size(), 40u);
    const ByteView v(r);
    EXPECT_EQ(v.U16(0), 0x1095);
    EXPECT_EQ(v.U16(2), 0x3124);
    EXPECT_EQ(TextAt(r, 4, 20), "KT-4P               ");
    EXPECT_EQ(TextAt(r, 24, 4), "3.57");
    EXPECT_EQ(v.U16(28), 0x0360);
    EXPECT_EQ(v.U8(31), 4);
    EXPECT_EQ(v.U8(32), 1);
    EXPECT_EQ(v.U8(33), 0);
    EXPECT_EQ(v.U8(34), 1);
    EXPECT_EQ(v.U8(36), 21);
    EXPECT_EQ(v.U8(37), 3);
    EXPECT_EQ(v.U16(38), 0);
}

TEST(RecordsTest, RaidSetRecordFields) {
    RaidSetSpec s;
    s.channel = 3;
    s.pmPort = 1;
    s.raidType = 16;
    s.deviceNumber = 0x85;
    s.capacity = 7814058336ull;
    s.priority = 2;
    s.driveCount = 3;
    s.stateFlags = 0x18;
    s.chunkSize = 0xFFFF;
    s.raidFlags = 1;
    s.members = {0, 1, 0xFF, 2};
    const auto r = EncodeRaidSetRecord(s);
    ASSERT_EQ(r.size(), 26u);
    const ByteView v(r);
    EXPECT_EQ(v.U8(0), 1);
    EXPECT_EQ(v.U8(1), 0x13);  // port defaults to the encoded address
    EXPECT_EQ(v.U8(2), 16);
    EXPECT_EQ(v.U8(3), 0x85);
    EXPECT_EQ(v.U64(4), 7814058336ull);
    EXPECT_EQ(v.U8(12), 2);
    EXPECT_EQ(v.U8(14), 3);
    EXPECT_EQ(v.U8(17), 0x18);
    EXPECT_EQ(v.U16(18), 0xFFFF);
    EXPECT_EQ(v.U8(20), 1);
    EXPECT_EQ(v.U32(22), 0x02FF0100u);
    s.port = 7;
    EXPECT_EQ(EncodeRaidSetRecord(s)[1], 7);
}

TEST(RecordsTest, RebuildStatusHasItsPositionUnalignedAtThirteen) {
    const auto r = EncodeRebuildStatus(true, 0x21, 0x0102030405060708ull);
    ASSERT_EQ(r.size(), 21u);
    const ByteView v(r);
    EXPECT_EQ(v.U8(0), 0);
    EXPECT_EQ(v.U32(1), 1u);
    EXPECT_EQ(v.U8(5), 0x21);
    for (std::size_t i = 6; i < 13; ++i) {
        EXPECT_EQ(v.U8(i), 0) << i;
    }
    EXPECT_EQ(v.U8(13), 0x08);
    EXPECT_EQ(v.U8(20), 0x01);
    EXPECT_EQ(v.U64(13), 0x0102030405060708ull);
    EXPECT_EQ(ByteView(EncodeRebuildStatus(false, 0, 5)).U32(1), 0u);
}

TEST(RecordsTest, EventRecordAndEndMarker) {
    SystemTime t;
    t.year = 2024;
    t.hour = 13;
    t.milliseconds = 250;
    EventSpec e{1, 2, 3, 4, 5, 0xB02};
    const auto r = EncodeEventRecord(t, e);
    ASSERT_EQ(r.size(), 65u);
    const ByteView v(r);
    EXPECT_EQ(v.U16(0), 2024);
    EXPECT_EQ(v.U16(8), 13);
    EXPECT_EQ(v.U16(14), 250);
    EXPECT_EQ(v.U8(16), 1);
    EXPECT_EQ(v.U8(17), 2);
    EXPECT_EQ(v.U8(18), 3);
    EXPECT_EQ(v.U8(19), 4);
    EXPECT_EQ(v.U8(20), 5);
    EXPECT_EQ(v.U32(21), 0xB02u);
    const auto end = EncodeNoEvent(t);
    ASSERT_EQ(end.size(), 65u);
    EXPECT_EQ(end[16], 0xFF);
}

TEST(RecordsTest, LogEntryFieldsAndEndMarker) {
    LogEntrySpec e;
    e.controller = 1;
    e.port = 2;
    e.status = 0x51;
    e.command = 0x25;
    e.control = 0x08;
    e.lba = 0x1A2B3C4D5E6Full;
    e.sectorCount = 256;
    const auto r = EncodeLogEntry(SystemTime{}, e);
    ASSERT_EQ(r.size(), 33u);
    const ByteView v(r);
    EXPECT_EQ(v.U8(16), 1);
    EXPECT_EQ(v.U8(17), 2);
    EXPECT_EQ(v.U8(18), 0x51);
    EXPECT_EQ(v.U8(19), 0x25);
    EXPECT_EQ(v.U8(20), 0x08);
    EXPECT_EQ(v.U16(21), 0x5E6F);  // least significant word first
    EXPECT_EQ(v.U16(23), 0x3C4D);
    EXPECT_EQ(v.U16(25), 0x1A2B);
    EXPECT_EQ(v.U16(27), 256);
    EXPECT_EQ(EncodeNoLogEntry(SystemTime{})[16], 0xFF);
}

}  // namespace
}  // namespace veltrix::sim
