// The compiled-in pictures: each at its fixed size, 24-bit opaque; the logo and the
// badge keyed on magenta, which the window leaves transparent; the badge only for a
// version with a revision.

#include <gtest/gtest.h>

#include <QBitmap>

#include "gui/diagram/diagram_pictures.h"

namespace veltrix {
namespace {

struct SizeCase {
    int id;
    QSize size;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << "picture " << c.id;
}

class PictureSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PictureSizeTest, FixedSizeOpaque) {
    const QImage image = LoadPicture(GetParam().id);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), GetParam().size);
    EXPECT_FALSE(image.hasAlphaChannel()) << "24-bit, opaque";
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureSizeTest,
    ::testing::Values(SizeCase{135, {68, 32}}, SizeCase{168, {69, 32}}, SizeCase{136, {37, 32}},
                      SizeCase{138, {63, 32}}, SizeCase{137, {50, 32}}, SizeCase{166, {61, 32}},
                      SizeCase{178, {43, 32}}, SizeCase{182, {46, 32}}, SizeCase{181, {61, 32}},
                      SizeCase{169, {56, 32}}, SizeCase{157, {25, 35}}, SizeCase{170, {141, 31}},
                      SizeCase{171, {141, 31}}, SizeCase{172, {141, 31}}, SizeCase{162, {36, 42}},
                      SizeCase{158, {60, 61}}, SizeCase{163, {21, 61}}, SizeCase{159, {21, 61}},
                      SizeCase{160, {21, 61}}, SizeCase{161, {21, 61}}, SizeCase{165, {240, 61}},
                      SizeCase{174, {70, 27}}),
    [](const auto& p) { return std::to_string(p.param.id); });

TEST(PicturesTest, NoPictureForOtherIds) {
    for (const int id : {0, 143, 164, 999, -1}) {
        EXPECT_TRUE(LoadPicture(id).isNull()) << id;
        EXPECT_TRUE(KeyedPicture(id).isNull()) << id;
    }
}

TEST(PicturesTest, LogoAndBadgeAreKeyedOnMagenta) {
    for (const int id : {165, 174}) {
        SCOPED_TRACE(id);
        const QImage image = LoadPicture(id);
        EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 255)) << "the key colour is used";
        const QImage keyed = KeyedPicture(id).toImage();
        ASSERT_EQ(keyed.size(), image.size());
        const QPoint centre(image.width() / 2, image.height() / 2);
        EXPECT_EQ(qAlpha(keyed.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(keyed.pixel(centre)), 255);
        EXPECT_EQ(keyed.pixel(centre), image.pixel(centre));
        // Only the key is transparent: every other pixel keeps its colour.
        int transparent = 0;
        int magenta = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                magenta += image.pixel(x, y) == qRgb(255, 0, 255) ? 1 : 0;
                transparent += qAlpha(keyed.pixel(x, y)) == 0 ? 1 : 0;
            }
        }
        EXPECT_EQ(transparent, magenta);
    }
}

}  // namespace
}  // namespace veltrix
