// The drive and RAID set lists as models: rows in port order with the window's texts,
// the selected object followed by key across refreshes, a reset only on a change.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "watch/device_table_model.h"
#include "watch/raid_set_table_model.h"

namespace veltrix {
namespace {

// One controller with four channels; a drive per (slot, position), its model name
// "D<position>"; a set per (slot, port), a RAID set unless `plain`.
struct SetAt {
    int slot;
    std::uint8_t port;
    bool plain = false;
};

ObjectTable MakeTable(const std::vector<std::pair<int, std::uint8_t>>& drives,
                      const std::vector<SetAt>& sets = {}) {
    ObjectTable table;
    table.CreateController(0)->FillFromInfo(
        {.channelCount = 4,
         .deviceCount = static_cast<std::uint8_t>(drives.size()),
         .raidSetCount = static_cast<std::uint8_t>(sets.size())});
    for (const auto& [slot, position] : drives) {
        DeviceRecord record{.present = 1, .position = position};
        const std::string name = "D" + std::to_string(position);
        std::memcpy(record.identify.data() + 54, name.data(), name.size());
        table.CreateDevice(0, slot)->FillFromRecord(record, 0);
    }
    for (const SetAt& set : sets) {
        table.CreateRaidSet(0, set.slot)
            ->FillFromRecord({.valid = 1,
                              .port = set.port,
                              .deviceNumber = static_cast<std::uint8_t>(set.port + 10),
                              .chunkSize = 128,
                              .raidFlags = static_cast<std::uint8_t>(set.plain ? 0 : 1)},
                             0);
    }
    return table;
}

std::vector<int> Keys(const KeyedTableModel& model) {
    std::vector<int> keys;
    for (int row = 0; row < model.rowCount(); ++row) {
        keys.push_back(model.KeyOf(row));
    }
    return keys;
}

TEST(TableModelsTest, ListsTheObjectsInPortOrderWithTheirTexts) {
    DeviceTableModel drives;
    drives.Refresh(MakeTable({{0, 2}, {1, 0}, {2, 1}}), 0);
    EXPECT_EQ(Keys(drives), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(drives.ObjectIndexOf(0), 1);
    EXPECT_EQ(drives.columnCount(), 4);
    EXPECT_EQ(drives.index(2, 0).data().toString(), QStringLiteral("2"));
    EXPECT_EQ(drives.index(2, 1).data().toString(), QStringLiteral("D2"));

    // A plain drive's entry counts towards the sets but has no row.
    RaidSetTableModel sets;
    sets.Refresh(MakeTable({}, {{.slot = 0, .port = 1}, {.slot = 1, .port = 0, .plain = true}}), 0);
    EXPECT_EQ(Keys(sets), (std::vector<int>{1}));
    EXPECT_EQ(sets.ObjectIndexOf(0), 0);
    EXPECT_EQ(sets.columnCount(), 6);
    EXPECT_EQ(sets.index(0, 0).data().toString(), QStringLiteral("11"));
    EXPECT_EQ(sets.index(0, 2).data().toString(), QStringLiteral("64 KB"));
    EXPECT_EQ(sets.RowOf(0), -1);
}

TEST(TableModelsTest, TheSelectionFollowsItsObject) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> before;
        int selected;
        std::vector<std::uint8_t> after;
        int expected;
    };
    const Case cases[] = {
        {"unchanged", {0, 1, 2}, 1, {0, 1, 2}, 1},
        {"a drive above left", {0, 1, 2}, 1, {1, 2}, 0},
        {"a drive above came", {1, 2}, 0, {0, 1, 2}, 1},
        {"it left: the same row", {0, 1, 2}, 1, {0, 2}, 1},
        {"it left, last: the first", {0, 1, 2}, 2, {0, 1}, 0},
        {"all left", {0, 1, 2}, 1, {}, -1},
        {"nothing selected", {0, 1, 2}, -1, {0, 2}, -1},
    };
    const auto table = [](const std::vector<std::uint8_t>& positions) {
        std::vector<std::pair<int, std::uint8_t>> drives;
        for (const std::uint8_t position : positions) {
            drives.emplace_back(static_cast<int>(drives.size()), position);
        }
        return MakeTable(drives);
    };
    for (const Case& c : cases) {
        DeviceTableModel drives;
        drives.Refresh(table(c.before), 0);
        EXPECT_EQ(drives.Refresh(table(c.after), 0, c.selected), c.expected) << c.what;
    }
}

TEST(TableModelsTest, OnlyAChangeResetsTheModel) {
    DeviceTableModel drives;
    int resets = 0;
    QObject::connect(&drives, &QAbstractItemModel::modelReset, [&] { ++resets; });
    const ObjectTable table = MakeTable({{0, 0}, {1, 1}});
    drives.Refresh(table, 0);
    drives.Refresh(table, 0);
    EXPECT_EQ(resets, 1);
    drives.Refresh(MakeTable({{0, 0}, {1, 2}}), 0);
    EXPECT_EQ(resets, 2);
    drives.Refresh(table, 1);  // no such controller: empty
    EXPECT_EQ(drives.rowCount(), 0);
}

}  // namespace
}  // namespace veltrix
