// The object table: entry numbers, range checks, creation and destruction.

#include "model/object_table.h"

#include <gtest/gtest.h>

#include <set>

namespace veltrix {
namespace {

TEST(ObjectTableEntries, NumbersCoverTheTableOnce) {
    std::set<std::size_t> seen;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ObjectTable::ControllerEntry(i), static_cast<std::size_t>(i));
        seen.insert(*ObjectTable::ControllerEntry(i));
        for (int n = 0; n < 20; ++n) {
            EXPECT_EQ(ObjectTable::DeviceEntry(i, n), static_cast<std::size_t>(8 + 20 * i + n));
            EXPECT_EQ(ObjectTable::RaidSetEntry(i, n), static_cast<std::size_t>(168 + 20 * i + n));
            seen.insert(*ObjectTable::DeviceEntry(i, n));
            seen.insert(*ObjectTable::RaidSetEntry(i, n));
        }
    }
    EXPECT_EQ(seen.size(), ObjectTable::kEntries);
    EXPECT_EQ(*seen.rbegin(), 327u);
}

TEST(ObjectTableEntries, OutOfRangeIndicesHaveNoEntry) {
    const struct {
        int controller, index;
    } cases[] = {{8, 0}, {-1, 0}, {0, 20}, {0, -1}, {7, 20}, {255, 255}, {1000, 3}};
    for (const auto& c : cases) {
        EXPECT_FALSE(ObjectTable::DeviceEntry(c.controller, c.index)) << c.controller;
        EXPECT_FALSE(ObjectTable::RaidSetEntry(c.controller, c.index)) << c.controller;
    }
    EXPECT_FALSE(ObjectTable::ControllerEntry(8));
    EXPECT_FALSE(ObjectTable::ControllerEntry(-1));
}

TEST(ObjectTable, StartsEmpty) {
    const ObjectTable table;
    EXPECT_EQ(table.ObjectCount(), 0u);
    EXPECT_EQ(table.GetController(0), nullptr);
    EXPECT_EQ(table.GetDevice(0, 0), nullptr);
    EXPECT_EQ(table.GetRaidSet(7, 19), nullptr);
}

TEST(ObjectTable, CreatedObjectsAreFoundAtTheirIndex) {
    ObjectTable table;
    Controller* ctl = table.CreateController(3);
    Device* dev = table.CreateDevice(3, 19);
    RaidSet* set = table.CreateRaidSet(3, 0);
    ASSERT_NE(ctl, nullptr);
    ASSERT_NE(dev, nullptr);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(table.GetController(3), ctl);
    EXPECT_EQ(table.GetDevice(3, 19), dev);
    EXPECT_EQ(table.GetRaidSet(3, 0), set);
    EXPECT_EQ(dev->ControllerNumber(), 3u);
    EXPECT_EQ(set->ControllerNumber(), 3u);
    EXPECT_EQ(table.GetDevice(4, 19), nullptr);
    EXPECT_EQ(table.GetDevice(3, 18), nullptr);
    EXPECT_EQ(table.GetRaidSet(3, 1), nullptr);
    EXPECT_EQ(table.ObjectCount(), 3u);
}

TEST(ObjectTable, OutOfRangeIsIgnoredEverywhere) {
    ObjectTable table;
    const struct {
        int controller, index;
    } cases[] = {{8, 0}, {-1, 0}, {0, 20}, {0, -1}, {200, 200}};
    for (const auto& c : cases) {
        EXPECT_EQ(table.CreateDevice(c.controller, c.index), nullptr);
        EXPECT_EQ(table.CreateRaidSet(c.controller, c.index), nullptr);
        EXPECT_EQ(table.GetDevice(c.controller, c.index), nullptr);
        EXPECT_EQ(table.GetRaidSet(c.controller, c.index), nullptr);
        table.DestroyDevice(c.controller, c.index);
        table.DestroyRaidSet(c.controller, c.index);
    }
    EXPECT_EQ(table.CreateController(8), nullptr);
    EXPECT_EQ(table.CreateController(-1), nullptr);
    EXPECT_EQ(table.GetController(8), nullptr);
    table.DestroyController(8);
    EXPECT_EQ(table.ObjectCount(), 0u);
}

TEST(ObjectTable, CreateReplacesTheOldObject) {
    ObjectTable table;
    table.CreateController(0)->SetDevicePresent(0, true);
    EXPECT_EQ(table.CreateController(0)->DevicePresence(), 0u);
    EXPECT_EQ(table.ObjectCount(), 1u);
}

ControllerInfo Counts(std::uint8_t devices, std::uint8_t sets) {
    ControllerInfo info;
    info.channelCount = 4;
    info.deviceCount = devices;
    info.raidSetCount = sets;
    return info;
}

TEST(ObjectTable, CreateDrivesAndSetsFollowsClampedCounts) {
    const struct {
        std::uint8_t devices, sets;
        int expectedDevices, expectedSets;
    } cases[] = {{0, 0, 0, 0}, {3, 2, 3, 2}, {20, 20, 20, 20}, {21, 255, 20, 20}};
    for (const auto& c : cases) {
        ObjectTable table;
        table.CreateController(7)->FillFromInfo(Counts(c.devices, c.sets));
        ASSERT_TRUE(table.CreateDrivesAndSets(7));
        EXPECT_EQ(table.ObjectCount(),
                  static_cast<std::size_t>(1 + c.expectedDevices + c.expectedSets));
        for (int n = 0; n < 20; ++n) {
            EXPECT_EQ(table.GetDevice(7, n) != nullptr, n < c.expectedDevices) << n;
            EXPECT_EQ(table.GetRaidSet(7, n) != nullptr, n < c.expectedSets) << n;
        }
        EXPECT_EQ(table.GetDevice(6, 0), nullptr) << "neighbour controller untouched";
    }
}

TEST(ObjectTable, CreateDrivesAndSetsNeedsTheController) {
    ObjectTable table;
    EXPECT_FALSE(table.CreateDrivesAndSets(0));
    EXPECT_FALSE(table.CreateDrivesAndSets(8));
    EXPECT_EQ(table.ObjectCount(), 0u);
}

TEST(ObjectTable, DestroyDrivesAndSetsClearsPresenceAndEntries) {
    ObjectTable table;
    for (int i : {1, 2}) {
        Controller* ctl = table.CreateController(i);
        ctl->FillFromInfo(Counts(2, 1));
        table.CreateDrivesAndSets(i);
        for (int d = 0; d < 2; ++d) {
            DeviceRecord rec;
            rec.present = 1;
            rec.position = static_cast<std::uint8_t>(d == 0 ? 0x00 : 0x52);
            table.GetDevice(i, d)->FillFromRecord(rec, static_cast<std::uint32_t>(i));
            ctl->SetDevicePresent(rec.position, true);
        }
        ctl->SetDevicePresent(0x03, true);  // an address without an object stays marked
    }

    ASSERT_TRUE(table.DestroyDrivesAndSets(1));
    EXPECT_EQ(table.GetController(1)->DevicePresence(), std::uint64_t{1} << 48);
    EXPECT_EQ(table.GetDevice(1, 0), nullptr);
    EXPECT_EQ(table.GetDevice(1, 1), nullptr);
    EXPECT_EQ(table.GetRaidSet(1, 0), nullptr);
    EXPECT_NE(table.GetController(1), nullptr) << "the controller itself stays";
    EXPECT_NE(table.GetDevice(2, 0), nullptr) << "other controllers untouched";
    EXPECT_EQ(table.GetController(2)->DevicePresence(),
              (std::uint64_t{1} << 0) | (std::uint64_t{1} << 37) | (std::uint64_t{1} << 48));
    EXPECT_EQ(table.ObjectCount(), 2u + 3u);
}

TEST(ObjectTable, DestroyDrivesAndSetsOfUnknownControllerIsRefused) {
    ObjectTable table;
    table.CreateController(0)->FillFromInfo(Counts(1, 1));
    table.CreateDrivesAndSets(0);
    for (int i : {8, 9, 255, -1}) {
        EXPECT_FALSE(table.DestroyDrivesAndSets(i)) << i;
    }
    EXPECT_EQ(table.ObjectCount(), 3u);
}

TEST(ObjectTable, DestroyDrivesAndSetsWithoutControllerObjectStillEmptiesEntries) {
    ObjectTable table;
    DeviceRecord rec;
    rec.present = 1;
    rec.position = 0x11;
    table.CreateDevice(4, 0)->FillFromRecord(rec, 4);
    table.CreateRaidSet(4, 5);
    EXPECT_TRUE(table.DestroyDrivesAndSets(4));
    EXPECT_EQ(table.ObjectCount(), 0u);
}

TEST(ObjectTable, ClearEmptiesAllEntries) {
    ObjectTable table;
    for (int i = 0; i < 8; ++i) {
        table.CreateController(i)->FillFromInfo(Counts(20, 20));
        table.CreateDrivesAndSets(i);
    }
    EXPECT_EQ(table.ObjectCount(), ObjectTable::kEntries);
    table.Clear();
    EXPECT_EQ(table.ObjectCount(), 0u);
}

TEST(ObjectTable, ClampCounts) {
    const struct {
        std::uint32_t count;
        int controllers, drives;
    } cases[] = {{0, 0, 0},
                 {7, 7, 7},
                 {8, 8, 8},
                 {9, 8, 9},
                 {20, 8, 20},
                 {21, 8, 20},
                 {0xFFFF'FFFFu, 8, 20}};
    for (const auto& c : cases) {
        EXPECT_EQ(ClampControllerCount(c.count), c.controllers) << c.count;
        EXPECT_EQ(ClampDeviceCount(c.count), c.drives) << c.count;
        EXPECT_EQ(ClampRaidSetCount(c.count), c.drives) << c.count;
    }
}

}  // namespace
}  // namespace veltrix
