// The window's controller picture: white at the start, drawn by the diagram view,
// painted opaque at its logical size and scaled as a whole on screens scaled by 2.

#include <gtest/gtest.h>

#include <QPixmap>

#include "diagram_test_support.h"
#include "gui/diagram/diagram_area.h"
#include "gui/diagram/diagram_painter.h"

namespace veltrix::testing {
namespace {

QImage Rendered(DiagramArea& area, qreal scale) {
    QPixmap pixmap(area.size() * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::green);
    area.render(&pixmap);
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(DiagramAreaTest, StartsWhiteAtTheFixedSize) {
    DiagramArea area;
    EXPECT_EQ(area.size(), QSize(188, 171));
    EXPECT_EQ(area.minimumSize(), area.maximumSize());
    EXPECT_EQ(Count(area.Picture(), area.Picture().rect(), kWhite), 188 * 171);
    EXPECT_EQ(Count(Rendered(area, 1), QRect(0, 0, 188, 171), kWhite), 188 * 171);
}

TEST(DiagramAreaTest, TheViewDrawsIntoItsArea) {
    DiagramArea area;
    PictureDiagramView view;
    const DiagramState record = Record(51, {1, 0, 1, 0}, {1, 0, 0, 0});
    view.Draw(record);  // no area yet: nothing happens
    EXPECT_EQ(Count(area.Picture(), area.Picture().rect(), kWhite), 188 * 171);

    view.SetArea(&area);
    view.Draw(record);
    EXPECT_EQ(area.Picture(), Drawn(record));
    EXPECT_EQ(Rendered(area, 1), Drawn(record));

    // The picture keeps the last drawing until the next one.
    view.Draw(Record(0, {}));
    EXPECT_EQ(Count(Rendered(area, 1), QRect(0, 0, 188, 171), kWhite), 188 * 171);
}

TEST(DiagramAreaTest, ScaledAsAWholeByTwo) {
    DiagramArea area;
    PictureDiagramView view(&area);
    view.Draw(Record(33, {1, 1, 0, 1}, {1, 1, 0, 0}, 8, 1));
    const QImage& picture = area.Picture();
    const QImage twice = Rendered(area, 2);
    ASSERT_EQ(twice.size(), QSize(376, 342));
    for (int y = 0; y < 171; ++y) {
        for (int x = 0; x < 188; ++x) {
            const QRgb p = picture.pixel(x, y);
            ASSERT_TRUE(twice.pixel(2 * x, 2 * y) == p && twice.pixel(2 * x + 1, 2 * y) == p &&
                        twice.pixel(2 * x, 2 * y + 1) == p &&
                        twice.pixel(2 * x + 1, 2 * y + 1) == p)
                << "(" << x << ", " << y << ")";
        }
    }
}

TEST(DiagramAreaTest, PaintedOpaque) {
    DiagramArea area;
    area.Picture().fill(Qt::transparent);
    const QImage image = Rendered(area, 1);
    EXPECT_EQ(image.pixel(10, 10), 0xFF000000) << "transparent pixels show black";
    EXPECT_TRUE(area.testAttribute(Qt::WA_OpaquePaintEvent));
}

}  // namespace
}  // namespace veltrix::testing
