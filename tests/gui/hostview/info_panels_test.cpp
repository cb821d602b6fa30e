// The controller area, drive panel and RAID set panel as lists of control updates.

#include "gui/hostview/info_panels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/controller.h"
#include "model/device.h"
#include "model/raid_set.h"
#include "texts/strings.h"

namespace veltrix {

// Readable failure output for panel comparisons.
void PrintTo(const PanelItem& item, std::ostream* os) {
    *os << "{" << item.controlId << ", "
        << (item.text ? "\"" + *item.text + "\"" : std::string("-")) << ", "
        << (item.shown ? (*item.shown ? "shown" : "hidden") : "-") << "}";
}

namespace {

using Items = std::vector<PanelItem>;

PanelItem T(int id, std::string text) {
    return {id, std::move(text), std::nullopt};
}
PanelItem S(int id, bool shown) {
    return {id, std::nullopt, shown};
}
PanelItem TS(int id, std::string text, bool shown) {
    return {id, std::move(text), shown};
}

class Panels : public ::testing::Test {
  protected:
    void SetUp() override { SetUiLanguage(Language::English); }
    void TearDown() override { SetUiLanguage(Language::English); }
};

Controller MakeController(std::uint8_t jbod, std::uint8_t raid5, std::uint8_t pm) {
    ControllerInfo info;
    info.vendorId = 0x1B4B;
    info.deviceId = 0x9230;
    std::memcpy(info.driverVersion.data(), "3.57", 4);
    info.biosVersion = 0x0360;
    info.jbod = jbod;
    info.raid5 = raid5;
    info.portMultiplier = pm;
    Controller ctl;
    ctl.FillFromInfo(info);
    return ctl;
}

TEST_F(Panels, ControllerAreaWithAndWithoutPortMultiplier) {
    EXPECT_EQ(ControllerPanel(MakeController(1, 0, 0), 2),
              (Items{T(1018, "2"), T(1006, "3.57"), T(1093, "3.60"), T(1007, "88SE9230"),
                     T(1011, "No"), T(1013, "Yes"), TS(1012, "No", false), S(1094, false)}));
    EXPECT_EQ(ControllerPanel(MakeController(0, 1, 1), 0),
              (Items{T(1018, "0"), T(1006, "3.57"), T(1093, "3.60"), T(1007, "88SE9230"),
                     T(1011, "Yes"), T(1013, "No"), TS(1012, "Yes", true), S(1094, true)}));
}

Device MakeDevice(std::uint8_t smart) {
    DeviceRecord r;
    r.present = 1;
    r.position = 0x21;
    r.linkFlags = 0x40;
    r.sataGeneration = 3;
    r.smartFlags = smart;
    r.capacityLow = 0x1F70;  // 488,397,168 sectors = 0x1D1C1F70
    r.capacityMid = 0x1D1C;
    std::memcpy(&r.identify[20], "   S1ABC  ", 10);  // rest of the field NUL
    std::memcpy(&r.identify[54], " Model X", 8);
    Device dev;
    dev.FillFromRecord(r, 0);
    return dev;
}

TEST_F(Panels, DrivePanel) {
    EXPECT_EQ(DrivePanel(MakeDevice(0x08)),
              (Items{
                  T(1080, "Device Info"),
                  S(1039, false),
                  T(1081, ""),
                  T(1083, "Serialnumber:"),
                  T(1085, "Modelnumber:"),
                  TS(1086, "Interface-Mode:", true),
                  T(1040, "33"),
                  TS(1041, "S1ABC  ", true),  // only leading blanks go
                  T(1042, "232 GB"),
                  TS(1043, " Model X", true),
                  TS(1044, "SATA Gen. 3 (6,0 Gb/s)", true),
                  TS(1087, "SMART Status:", true),
                  TS(1046, "Critical", true),
              }));
}

TEST_F(Panels, DrivePanelOfBlankSerialAndUnfilledDevice) {
    const Items items = DrivePanel(Device(0));
    EXPECT_EQ(items[6], T(1040, "255"));
    EXPECT_EQ(items[7], TS(1041, "", true));
    EXPECT_EQ(items[8], T(1042, ""));
}

RaidSet MakeSet(std::uint8_t raidFlags, std::uint16_t chunk) {
    RaidSetRecord r;
    r.valid = 1;
    r.port = 0x02;
    r.raidType = 2;
    r.deviceNumber = 0x83;
    r.capacity = 976'794'336;
    r.stateFlags = 0x10;
    r.chunkSize = chunk;
    r.raidFlags = raidFlags;
    RaidSet set;
    set.FillFromRecord(r, 0);
    return set;
}

const Items kRaidHeader{
    T(1080, "RAID Info"), T(1081, "Devicenumber:"), T(1083, "RAID Type:"), T(1085, "Chunksize:"),
    S(1086, false),       T(1087, "RAID Status:"),  T(1040, "2"),          T(1042, "465 GB"),
};

Items Concat(Items a, const Items& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Panels, RaidSetPanelForARaidSet) {
    EXPECT_EQ(RaidSetPanel(MakeSet(0x01, 128)),
              Concat(kRaidHeader, {TS(1039, "3", false), TS(1041, "Mirror-Stripe", true),
                                   TS(1043, "64 KB", true), TS(1046, "Reduced", true),
                                   S(1087, true), S(1044, false)}));
}

TEST_F(Panels, RaidSetPanelChunkText) {
    for (const std::uint16_t chunk : {std::uint16_t{0}, std::uint16_t{1}}) {
        EXPECT_EQ(RaidSetPanel(MakeSet(0x01, chunk))[10], TS(1043, "- ", true)) << chunk;
    }
}

TEST_F(Panels, RaidSetPanelForAPlainDrive) {
    EXPECT_EQ(RaidSetPanel(MakeSet(0x00, 128)),
              Concat(kRaidHeader, {S(1039, false), S(1041, false), S(1043, false), S(1044, false),
                                   S(1046, false), S(1087, false)}));
}

TEST_F(Panels, RaidSetPanelInGerman) {
    SetUiLanguage(Language::German);
    const Items items = RaidSetPanel(MakeSet(0x01, 128));
    EXPECT_EQ(items[1], T(1081, "Laufwerknummer:"));
    EXPECT_EQ(items[2], T(1083, "RAID Typ:"));
    EXPECT_EQ(items[5], T(1087, "RAID Status:")) << "fixed text in every language";
}

}  // namespace
}  // namespace veltrix
