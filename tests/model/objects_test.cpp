// Controller, Device and RaidSet objects filled from their records.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "model/controller.h"
#include "model/device.h"
#include "model/raid_set.h"
#include "texts/strings.h"

namespace veltrix {
namespace {

ControllerInfo InfoNamed(const char (&name)[21]) {
    ControllerInfo info;
    std::copy_n(name, 20, info.name.begin());
    return info;
}

// ---- Controller -------------------------------------------------------------------

TEST(Controller, NameLosesOnlyTrailingBlanks) {
    const struct {
        const char name[21];
        const char* expected;
    } cases[] = {
        {"                    ", ""},
        {"RX-Oak              ", "RX-Oak"},
        {"  RX Elm 2  x       ", "  RX Elm 2  x"},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},  // all 20, no NUL on the wire
        {"AB\0D                ", "AB"},                   // text ends at a NUL
    };
    for (const auto& c : cases) {
        Controller ctl;
        ctl.FillFromInfo(InfoNamed(c.name));
        EXPECT_EQ(ctl.Name(), c.expected);
    }
}

TEST(Controller, FillTakesCountsVersionsAndFeatures) {
    ControllerInfo info = InfoNamed("RX-Pine             ");
    info.vendorId = 0x1095;
    info.deviceId = 0x3132;
    std::memcpy(info.driverVersion.data(), "3.57", 4);
    info.biosVersion = 0x1A05;
    info.channelCount = 4;
    info.deviceCount = 3;
    info.raidSetCount = 2;
    info.jbod = 7;
    info.raid5 = 0;
    info.portMultiplier = 0x80;

    Controller ctl;
    ctl.SetDevicePresent(0x00, true);
    ctl.FillFromInfo(info);
    EXPECT_EQ(ctl.ChipName(), " SiI3132");
    EXPECT_EQ(ctl.VendorId(), 0x1095);
    EXPECT_EQ(ctl.DeviceId(), 0x3132);
    EXPECT_EQ(ctl.DriverVersion(), "3.57");
    EXPECT_EQ(ctl.BiosVersionText(), "1a.05");
    EXPECT_EQ(ctl.ChannelCount(), 4);
    EXPECT_EQ(ctl.DeviceCount(), 3);
    EXPECT_EQ(ctl.RaidSetCount(), 2);
    EXPECT_EQ(ctl.Features(), Controller::kFeatureJbod | Controller::kFeaturePortMultiplier);
    EXPECT_EQ(ctl.DevicePresence(), 0u) << "a fill forgets the addresses seen";

    info.jbod = 0;
    info.raid5 = 1;
    info.portMultiplier = 0;
    ctl.FillFromInfo(info);
    EXPECT_EQ(ctl.Features(), Controller::kFeatureRaid5) << "zero flags clear their bits";
}

TEST(Controller, NewControllerIsEmpty) {
    const Controller ctl;
    EXPECT_EQ(ctl.BiosVersionText(), "");
    EXPECT_EQ(ctl.Name(), "");
    EXPECT_EQ(ctl.ChannelCount(), 0);
    EXPECT_EQ(ctl.Features(), 0);
    EXPECT_EQ(ctl.DevicePresence(), 0u);
}

TEST(Controller, PresenceBitPerAddress) {
    const struct {
        std::uint8_t position;
        std::uint64_t bit;
        unsigned channel;
        std::uint32_t channelBits;
    } cases[] = {
        {0x00, 0, 0, 0x0001},  {0x52, 37, 2, 0x0020}, {0x03, 48, 3, 0x0001},
        {0xF3, 63, 3, 0x8000}, {0x08, 0, 0, 0x0001},  // bit 3 is not part of the channel
    };
    for (const auto& c : cases) {
        Controller ctl;
        ctl.SetDevicePresent(c.position, true);
        EXPECT_EQ(ctl.DevicePresence(), std::uint64_t{1} << c.bit) << int{c.position};
        EXPECT_EQ(ctl.ChannelPresence(c.channel), c.channelBits) << int{c.position};
        ctl.SetDevicePresent(c.position, false);
        EXPECT_EQ(ctl.DevicePresence(), 0u);
    }
}

TEST(Controller, ChannelPresenceKeepsHigherChannelsAboveBit15) {
    Controller ctl;
    ctl.SetDevicePresent(0x01, true);  // channel 1, port 0
    ctl.SetDevicePresent(0x02, true);  // channel 2, port 0
    EXPECT_EQ(ctl.ChannelPresence(0), 0x0001'0000u);
    EXPECT_EQ(ctl.ChannelPresence(1), 0x0001'0001u);
    EXPECT_EQ(ctl.ChannelPresence(2), 0x0000'0001u);
}

TEST(Controller, ChannelsWithoutPresenceBitsAreIgnored) {
    Controller ctl;
    for (const int position : {0x04, 0x07, 0xF5, 0xFF}) {
        ctl.SetDevicePresent(static_cast<std::uint8_t>(position), true);
    }
    EXPECT_EQ(ctl.DevicePresence(), 0u);
    for (unsigned channel : {4u, 7u, 64u, 0xFFFF'FFFFu}) {
        EXPECT_EQ(ctl.ChannelPresence(channel), 0u);
    }
}

// ---- Device -----------------------------------------------------------------------

DeviceRecord PresentDrive() {
    DeviceRecord r;
    r.present = 1;
    r.position = 0x21;
    r.linkFlags = 0x40;
    r.smartFlags = 0x04;
    r.sataGeneration = 2;
    r.portState = 0x8101;
    const std::uint64_t sectors = 488'397'168;
    r.capacityLow = static_cast<std::uint16_t>(sectors & 0xFFFF);
    r.capacityMid = static_cast<std::uint16_t>(sectors >> 16);
    std::memcpy(&r.identify[20], "    WD-WCAS12345678 ", 20);
    std::memcpy(&r.identify[54], "WDC WD2500AAJS-00B4A0                   ", 40);
    r.extra[108] = 0x01;
    r.extra[115] = 0x80;
    return r;
}

TEST(Device, FillFromPresentRecord) {
    Device dev;
    dev.FillFromRecord(PresentDrive(), 3);
    EXPECT_EQ(dev.ControllerNumber(), 3u);
    EXPECT_EQ(dev.Position(), 0x21);
    EXPECT_EQ(dev.SmartFlags(), 0x04);
    EXPECT_EQ(dev.SataGeneration(), 2);
    EXPECT_EQ(dev.PortState(), 0x8101u);
    EXPECT_EQ(dev.Capacity(), 488'397'168u);
    EXPECT_EQ(dev.CapacityText(), "232 GB");
    EXPECT_EQ(dev.InterfaceText(), "SATA Gen. 2 (3,0 Gb/s)");
    EXPECT_EQ(dev.SerialNumber(), "    WD-WCAS12345678 ");
    EXPECT_EQ(dev.ModelNumber(), "WDC WD2500AAJS-00B4A0                   ");
    EXPECT_EQ(dev.MemberExtraValue(), 0x8000'0000'0000'0001u);
    EXPECT_EQ(dev.PortStateText(), "Orphaned");
    EXPECT_EQ(dev.SmartStatusText(), "Ok");
}

TEST(Device, NotPresentRecordOnlyMarksPosition) {
    Device dev;
    dev.FillFromRecord(PresentDrive(), 1);
    DeviceRecord gone = PresentDrive();
    gone.present = 0;
    gone.smartFlags = 0x08;
    dev.FillFromRecord(gone, 2);
    EXPECT_EQ(dev.ControllerNumber(), 2u);
    EXPECT_EQ(dev.Position(), Device::kNoPosition);
    EXPECT_EQ(dev.SmartFlags(), 0x04) << "the rest of the record is not read";
}

TEST(Device, NewDeviceIsDefined) {
    const Device dev(5);
    EXPECT_EQ(dev.ControllerNumber(), 5u);
    EXPECT_EQ(dev.Position(), 0xFF);
    EXPECT_EQ(dev.Capacity(), 0u);
    EXPECT_EQ(dev.CapacityText(), "");
    EXPECT_EQ(dev.InterfaceText(), "");
    EXPECT_EQ(dev.SerialNumber(), "");
    EXPECT_EQ(dev.ModelNumber(), "");
    EXPECT_EQ(dev.MemberExtraValue(), 0u);
}

TEST(Device, IdentifyStringsStopAtTheirFieldAndAtNul) {
    DeviceRecord r = PresentDrive();
    std::fill(r.identify.begin(), r.identify.end(), std::uint8_t{'x'});
    Device dev;
    dev.FillFromRecord(r, 0);
    EXPECT_EQ(dev.SerialNumber(), std::string(20, 'x'));
    EXPECT_EQ(dev.ModelNumber(), std::string(40, 'x'));
    r.identify[25] = 0;
    dev.FillFromRecord(r, 0);
    EXPECT_EQ(dev.SerialNumber(), "xxxxx");
}

// ---- RaidSet ----------------------------------------------------------------------

RaidSetRecord SetRecord(std::array<std::uint8_t, 4> members) {
    RaidSetRecord r;
    r.valid = 1;
    r.port = 0x01;
    r.raidType = 16;
    r.deviceNumber = 0x85;
    r.capacity = 3 * 488'397'168ull;
    r.priority = 40;
    r.driveCount = 4;
    r.stateFlags = 0x08;
    r.chunkSize = 128;
    r.raidFlags = 0x01;
    r.members = members;
    return r;
}

TEST(RaidSet, FillFromRecord) {
    RaidSet set;
    set.FillFromRecord(SetRecord({2, 0xFF, 3, 0xFF}), 1);
    EXPECT_TRUE(set.IsRaid());
    EXPECT_EQ(set.ControllerNumber(), 1u);
    EXPECT_EQ(set.Capacity(), 3 * 488'397'168ull);
    EXPECT_EQ(set.CapacityText(), "698 GB");
    EXPECT_EQ(set.Port(), 1);
    EXPECT_EQ(set.TypeText(), "RAID 5");
    EXPECT_EQ(set.RaidType(), 16);
    EXPECT_EQ(set.DeviceNumber(), 5) << "bit 7 is the backup marker, not part of the number";
    EXPECT_EQ(set.DriveCount(), 4);
    EXPECT_EQ(set.ChunkSize(), 128);
    EXPECT_EQ(set.StatusText(), "Rebuild");
    EXPECT_EQ(set.StateFlags(), 0x08);
    EXPECT_EQ(set.Priority(), 40);
    EXPECT_EQ(set.MembersText(), "2, 3");
    EXPECT_EQ(set.MemberCount(), 2);
}

TEST(RaidSet, PlainDriveIsNonRaid) {
    RaidSetRecord r = SetRecord({0, 0xFF, 0xFF, 0xFF});
    r.raidFlags = 0x00;
    RaidSet set;
    set.FillFromRecord(r, 0);
    EXPECT_FALSE(set.IsRaid());
    EXPECT_EQ(set.TypeText(), "non Raid");
    EXPECT_EQ(set.RaidType(), 16);
}

TEST(RaidSet, EmptyMembers) {
    RaidSet set;
    set.FillFromRecord(SetRecord({0xFF, 0xFF, 0xFF, 0xFF}), 0);
    EXPECT_EQ(set.MembersText(), "");
    EXPECT_EQ(set.MemberCount(), 0);
}

TEST(RaidSet, StateWithOnlyBit0GivesEmptyText) {
    RaidSetRecord r = SetRecord({0, 1, 0xFF, 0xFF});
    r.stateFlags = 0x01;
    RaidSet fresh;
    fresh.FillFromRecord(r, 0);
    EXPECT_EQ(fresh.StatusText(), "");

    RaidSet refreshed;
    refreshed.FillFromRecord(SetRecord({0, 1, 0xFF, 0xFF}), 0);
    refreshed.FillFromRecord(r, 0);
    EXPECT_EQ(refreshed.StatusText(), "") << "an old state text must not survive a refill";
}

TEST(RaidSet, NewSetIsDefined) {
    const RaidSet set(2);
    EXPECT_EQ(set.ControllerNumber(), 2u);
    EXPECT_EQ(set.Port(), 0xFF);
    EXPECT_FALSE(set.IsRaid());
    EXPECT_EQ(set.MemberCount(), 0);
    EXPECT_EQ(set.TypeText(), "");
    EXPECT_EQ(set.StatusText(), "");
    EXPECT_EQ(set.RebuildPercentText(), "");
}

TEST(RaidSet, SetPositionScalesWhileIncompleteAndWorksOutPercent) {
    const struct {
        std::uint8_t type, drives, flags;
        std::uint64_t position, stored;
    } cases[] = {
        {16, 4, 0x04, 300, 100},
        {16, 4, 0x00, 300, 300},
        {0, 3, 0x04, 300, 100},
        {0, 3, 0x08, 300, 300},
        {2, 4, 0x04, 300, 150},
        {1, 2, 0x04, 300, 300},
        {3, 1, 0x04, 300, 300},
        {16, 3, 0x04, 301, 150},
        // no usable divisor: the position is kept rather than divided by zero
        {0, 0, 0x04, 300, 300},
        {16, 1, 0x04, 300, 300},
        {16, 0, 0x04, 300, 300},
    };
    for (const auto& c : cases) {
        RaidSetRecord r = SetRecord({0, 1, 2, 0xFF});
        r.raidType = c.type;
        r.driveCount = c.drives;
        r.stateFlags = c.flags;
        r.capacity = 1000;
        RaidSet set;
        set.FillFromRecord(r, 0);
        set.SetMemberExtraValue(1);
        set.SetPosition(c.position);
        SCOPED_TRACE(testing::Message() << int{c.type} << "/" << int{c.drives} << "/"
                                        << int{c.flags} << "/" << c.position);
        EXPECT_EQ(set.RebuildPosition(), c.stored);
        EXPECT_EQ(set.RebuildPercent(), c.stored * 100 / 1000);
        EXPECT_EQ(set.RebuildPercentText(), std::to_string(c.stored * 100 / 1000) + "%");
    }
}

TEST(RaidSet, PercentUnknownWithoutExtraValueOrCapacity) {
    const struct {
        std::uint64_t extra, capacity;
        std::uint32_t percent;
        const char* text;
    } cases[] = {
        {0, 1000, 0, "-?-"},
        {1, 0, 0, "-?-"},  // would divide by zero
        {0, 0, 0, "-?-"},
        {5, 1000, 50, "50%"},
    };
    for (const auto& c : cases) {
        RaidSetRecord r = SetRecord({0, 0xFF, 0xFF, 0xFF});
        r.stateFlags = 0x08;
        r.capacity = c.capacity;
        RaidSet set;
        set.FillFromRecord(r, 0);
        set.SetMemberExtraValue(c.extra);
        set.SetPosition(500);
        EXPECT_EQ(set.RebuildPosition(), 500u);
        EXPECT_EQ(set.RebuildPercent(), c.percent);
        EXPECT_EQ(set.RebuildPercentText(), c.text);
    }
}

// ---- Member cursor ----------------------------------------------------------------

class MemberWalk : public ::testing::Test {
  protected:
    void SetUp() override { ResetMemberCursor(); }
    void TearDown() override { ResetMemberCursor(); }

    static RaidSet Set(std::array<std::uint8_t, 4> members) {
        RaidSet set;
        set.FillFromRecord(SetRecord(members), 0);
        return set;
    }
};

TEST_F(MemberWalk, SequencesOfOps) {
    using Op = MemberOp;
    const struct {
        std::array<std::uint8_t, 4> members;
        std::vector<Op> ops;
        std::vector<std::uint8_t> values;  // Member results
        std::vector<std::uint8_t> slots;   // MemberSlot results
    } cases[] = {
        {{2, 0xFF, 3, 0xFF}, {Op::First, Op::Next, Op::Next}, {2, 3, 0xFF}, {0, 2, 3}},
        {{0xFF, 0xFF, 0xFF, 7}, {Op::First, Op::Next}, {0xFF, 7}, {2, 3}},
        {{0xFF, 5, 6, 7}, {Op::First, Op::Next, Op::Next, Op::Next}, {5, 6, 7, 7}, {1, 2, 3, 3}},
        {{0, 1, 2, 3},
         {Op::Last, Op::Previous, Op::Previous, Op::Previous, Op::Previous},
         {3, 2, 1, 0, 0xFF},
         {3, 2, 1, 0, 0xFF}},
        {{0xFF, 1, 0xFF, 0xFF}, {Op::Last, Op::Previous, Op::Previous}, {0xFF, 0xFF, 1}, {3, 2, 1}},
        {{4, 5, 0xFF, 0xFF},
         {Op::Count, Op::First, Op::Count, Op::Next},
         {2, 4, 2, 5},
         {2, 0, 2, 1}},
        {{4, 5, 0xFF, 0xFF},
         {static_cast<Op>(5), static_cast<Op>(255), Op::Next},
         {0xFE, 0xFE, 5},
         {0xFE, 0xFE, 1}},
    };
    for (const auto& c : cases) {
        const RaidSet set = Set(c.members);
        ResetMemberCursor();
        for (std::size_t i = 0; i < c.ops.size(); ++i) {
            EXPECT_EQ(set.Member(c.ops[i]), c.values[i]) << "step " << i;
        }
        for (std::size_t i = 0; i < c.ops.size(); ++i) {
            EXPECT_EQ(set.MemberSlot(c.ops[i]), c.slots[i]) << "step " << i;
        }
    }
}

TEST_F(MemberWalk, CursorIsSharedByAllSetsButSeparateForValueAndSlot) {
    const RaidSet a = Set({1, 2, 3, 4});
    const RaidSet b = Set({9, 8, 7, 6});
    EXPECT_EQ(a.Member(MemberOp::First), 1);
    EXPECT_EQ(a.Member(MemberOp::Next), 2);
    EXPECT_EQ(b.Member(MemberOp::Next), 7) << "the walk continues on another set";
    EXPECT_EQ(ProgramMemberCursor().member, 2);
    EXPECT_EQ(ProgramMemberCursor().slot, 0) << "MemberSlot keeps its own cursor";
    EXPECT_EQ(b.MemberSlot(MemberOp::Next), 1);
}

TEST_F(MemberWalk, CorruptCursorStaysInsideTheEntries) {
    const RaidSet set = Set({1, 2, 3, 4});
    ProgramMemberCursor().member = 200;
    EXPECT_EQ(set.Member(MemberOp::Previous), 3);
    ProgramMemberCursor().slot = 200;
    EXPECT_EQ(set.MemberSlot(MemberOp::Next), 3);
}

}  // namespace
}  // namespace veltrix
