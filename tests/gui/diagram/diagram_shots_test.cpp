// Writes the diagram of every layout in normal view and in set view as PNG files into
// the build folder, each at its own size and all of them on one sheet at three times
// the size, for people to look at; the test checks only that they were written.

#include <gtest/gtest.h>

#include <QPainter>
#include <string>

#include "diagram_test_support.h"
#include "gui/diagram/diagram_painter.h"

namespace veltrix::testing {
namespace {

struct Shot {
    std::uint32_t code;
    Words a;
    Words drive;  // the selected drive
    Words set;    // the selected set's members
    std::uint8_t raidType;
};

// Each layout with a drive selected, and with one of the set types selected.
const Shot kShots[] = {
    {51, {1, 1, 1, 1}, {0, 1, 0, 0}, {1, 1, 0, 0}, 1},
    {41, {1, 1, 1, 1}, {0, 0, 0, 1}, {1, 1, 1, 1}, 2},
    {21, {1, 1, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, 0},
    {13, {1, 1, 1, 0}, {0, 0, 1, 0}, {1, 1, 1, 0}, 16},
    {12, {1, 1, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}, 4},
    {22, {1, 1, 1, 1}, {1, 0, 0, 0}, {1, 1, 1, 1}, 4},
    {31, {1, 1, 0, 0}, {0, 1, 0, 0}, {0, 1, 0, 0}, 3},
    {32, {1, 1, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, 1},
    {33, {1, 1, 0, 1}, {0, 1, 0, 0}, {1, 1, 0, 0}, 1},
    {11, {1, 1, 1, 1}, {0, 0, 1, 0}, {1, 1, 1, 0}, 16},
};

constexpr int kSheetScale = 3;
constexpr int kGap = 8;

TEST(DiagramShotsTest, EveryLayoutInNormalAndSetView) {
    const std::string dir = VELTRIX_SCREENSHOT_DIR;
    const int cellWidth = 188 * kSheetScale + kGap;
    const int cellHeight = 171 * kSheetScale + kGap;
    const int count = static_cast<int>(std::size(kShots));
    QImage sheet(4 * cellWidth + kGap, (count + 1) / 2 * cellHeight + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(0xd0, 0xd4, 0xd9));
    QPainter painter(&sheet);
    for (int i = 0; i < count; ++i) {
        const Shot& s = kShots[i];
        const QImage normal = Drawn(Record(s.code, s.a, s.drive, 2));
        const QImage set = Drawn(Record(s.code, s.a, s.set, 8, s.raidType));
        const std::string stem = dir + "/diagram_" + std::to_string(s.code);
        ASSERT_TRUE(normal.save(QString::fromStdString(stem + "_normal.png")));
        ASSERT_TRUE(set.save(QString::fromStdString(stem + "_set.png")));
        const int x = kGap + (i % 2) * 2 * cellWidth;
        const int y = kGap + (i / 2) * cellHeight;
        painter.drawImage(QRect(x, y, 188 * kSheetScale, 171 * kSheetScale), normal);
        painter.drawImage(QRect(x + cellWidth, y, 188 * kSheetScale, 171 * kSheetScale), set);
    }
    painter.end();
    const QString sheetPath = QString::fromStdString(dir + "/diagram_all_layouts_x3.png");
    ASSERT_TRUE(sheet.save(sheetPath));
    EXPECT_EQ(QImage(QString::fromStdString(dir + "/diagram_11_set.png")).size(), QSize(188, 171));
}

}  // namespace
}  // namespace veltrix::testing
