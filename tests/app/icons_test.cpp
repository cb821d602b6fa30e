// The drawn program icons: visible pictures of the asked size for the known ids, the
// two tray states different, nothing for unknown ids.

#include "ui/resources/icons.h"

#include <gtest/gtest.h>

#include <QImage>

namespace veltrix {
namespace {

bool CentreHasInk(const QImage& image) {
    const int size = image.width();
    for (int y = size / 4; y < size * 3 / 4; ++y) {
        for (int x = size / 4; x < size * 3 / 4; ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(IconsTest, KnownIdsGiveVisiblePixmapsOfTheAskedSize) {
    for (const int id : {5, 140, 179}) {
        for (const int size : {16, 22, 100}) {
            const QImage image = ProgramPixmap(id, size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size)) << id;
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << id << " corner is transparent";
            EXPECT_TRUE(CentreHasInk(image)) << id;
        }
        EXPECT_EQ(ProgramIcon(id).availableSizes().size(), 6) << id;
    }
    EXPECT_NE(ProgramPixmap(140, 16).toImage(), ProgramPixmap(179, 16).toImage());
}

TEST(IconsTest, UnknownIdsGiveNothing) {
    for (const int id : {0, 141}) {
        EXPECT_TRUE(ProgramIcon(id).isNull());
        EXPECT_TRUE(ProgramPixmap(id, 32).isNull());
    }
}

}  // namespace
}  // namespace veltrix
