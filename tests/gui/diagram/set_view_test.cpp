// The set view on the picture's pixels: for each RAID type its picture and the end
// points of the members' blue lines, the junction dot, spare-drive frames, the JBOD
// stacks with the x = 52 ends of four members; no set drawing in normal view.

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "diagram_test_support.h"
#include "gui/diagram/diagram_pictures.h"

namespace veltrix::testing {
namespace {

constexpr std::uint8_t kSetView = 8;

// Drive x positions per port.
const std::map<std::uint32_t, std::array<int, 4>> kDriveX = {
    {51, {17, 57, 97, 137}}, {33, {137, 97, 57, 17}}, {21, {57, 97, -1, -1}}};

struct SetCase {
    const char* name;
    std::uint32_t code;
    Words b;
    std::uint8_t type;
    int picture;  // 0: none
    QPoint pictureAt;
    std::vector<std::pair<int, QPoint>> ends;  // member port, end point
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.name;
}

const SetCase kSetCases[] = {
    {"Stripe",
     51,
     {1, 1, 1, 1},
     0,
     162,
     {70, 10},
     {{0, {90, 35}}, {1, {90, 35}}, {2, {90, 35}}, {3, {90, 35}}}},
    {"Raid5", 33, {1, 0, 1, 1}, 16, 162, {70, 10}, {{0, {90, 35}}, {2, {90, 35}}, {3, {90, 35}}}},
    {"MirrorFirstAndLater", 33, {1, 1, 0, 0}, 1, 158, {60, 0}, {{0, {94, 35}}, {1, {76, 49}}}},
    {"MirrorOnlyPort3", 51, {0, 0, 0, 1}, 1, 158, {60, 0}, {{3, {76, 49}}}},
    {"MirrorPorts1And3", 51, {0, 1, 0, 1}, 1, 158, {60, 0}, {{1, {94, 35}}, {3, {76, 49}}}},
    {"MirrorPorts2And3", 51, {0, 0, 1, 1}, 1, 158, {60, 0}, {{2, {94, 35}}, {3, {76, 49}}}},
    {"MirrorStripe",
     51,
     {1, 1, 1, 1},
     2,
     158,
     {60, 0},
     {{0, {76, 44}}, {1, {76, 54}}, {2, {94, 38}}, {3, {94, 28}}}},
    {"MirrorStripeRightToLeft",
     33,
     {1, 1, 1, 1},
     2,
     158,
     {60, 0},
     {{0, {76, 44}}, {1, {76, 54}}, {2, {94, 38}}, {3, {94, 28}}}},
    {"JbodOne", 51, {0, 0, 1, 0}, 4, 163, {40, 2}, {{2, {55, 54}}}},
    {"JbodPorts1And3", 51, {0, 1, 0, 1}, 4, 159, {40, 2}, {{1, {55, 54}}, {3, {55, 40}}}},
    {"JbodThree", 33, {1, 1, 1, 0}, 4, 160, {40, 2}, {{0, {55, 54}}, {1, {55, 40}}, {2, {55, 26}}}},
    {"JbodFour",
     51,
     {1, 1, 1, 1},
     4,
     161,
     {40, 2},
     {{0, {55, 54}}, {1, {52, 40}}, {2, {55, 26}}, {3, {52, 12}}}},
    {"JbodNoMember", 51, {0, 0, 0, 0}, 4, 0, {}, {}},
    {"TwoPortWithPort2Marked", 21, {1, 0, 1, 0}, 0, 162, {70, 10}, {{0, {90, 35}}}},
    {"WordOf2IsNoMember", 51, {2, 1, 0, 0}, 1, 158, {60, 0}, {{1, {94, 35}}}},
    {"UnknownType", 51, {1, 1, 0, 0}, 5, 0, {}, {}},
    {"TypeAboveRaid5", 51, {1, 1, 0, 0}, 255, 0, {}, {}},
};

class SetViewTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetViewTest, PictureAndMemberLines) {
    const SetCase& c = GetParam();
    const QImage image = Drawn(Record(c.code, {1, 1, 1, 1}, c.b, kSetView, c.type));
    const std::array<int, 4>& driveX = kDriveX.at(c.code);
    if (c.picture != 0) {
        const QImage picture = LoadPicture(c.picture);
        EXPECT_EQ(Shows(image, QRect(c.pictureAt, picture.size()), picture, kBlue), "");
    }
    if (c.ends.empty()) {
        EXPECT_EQ(Count(image, image.rect(), kBlue), 0);
    }
    EXPECT_EQ(Count(image, image.rect(), kGreen), 0) << "no ring in set view";

    std::map<int, int> endsOnRow;
    for (const auto& [port, end] : c.ends) {
        ++endsOnRow[end.y()];
    }
    for (const auto& [port, end] : c.ends) {
        SCOPED_TRACE("port " + std::to_string(port));
        const int x = driveX[static_cast<std::size_t>(port)] + 13;
        // Up from the place's top centre, two pixels wide, to the end point's height.
        EXPECT_EQ(image.pixel(x, 66), kBlue);
        EXPECT_EQ(image.pixel(x, 60), kBlue);
        EXPECT_EQ(image.pixel(x - 1, 60), kBlue);
        EXPECT_NE(image.pixel(x - 2, 60), kBlue);
        EXPECT_NE(image.pixel(x + 1, 60), kBlue);
        EXPECT_EQ(image.pixel(x, end.y()), kBlue);
        // Across to the end point, and not further.
        EXPECT_EQ(image.pixel((x + end.x()) / 2, end.y()), kBlue);
        EXPECT_EQ(image.pixel(end), kBlue);
        // Unless another line or the junction dot (around (90, 35)) lies there.
        if (endsOnRow[end.y()] == 1 && end != QPoint(90, 35)) {
            const QPoint beyond = end + QPoint(end.x() < x ? -2 : 2, 0);
            EXPECT_NE(image.pixel(beyond), kBlue) << "beyond the end";
        }
    }
    // Ports that are no members have no line.
    for (std::size_t n = 0; n < 4; ++n) {
        const bool member = std::any_of(c.ends.begin(), c.ends.end(), [n](const auto& e) {
            return e.first == static_cast<int>(n);
        });
        if (!member && driveX[n] >= 0) {
            EXPECT_NE(image.pixel(driveX[n] + 13, 60), kBlue) << "port " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Types, SetViewTest, ::testing::ValuesIn(kSetCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(SetViewTest, StripeAndRaid5HaveTheJunctionDot) {
    for (const int type : {0, 16}) {
        // No member: the dot alone, its bounding box (87, 32, 5, 5).
        const QImage image =
            Drawn(Record(51, {1, 1, 1, 1}, {}, kSetView, static_cast<std::uint8_t>(type)));
        EXPECT_TRUE(Near(image, QPoint(89, 32), kBlue)) << type;
        EXPECT_TRUE(Near(image, QPoint(89, 37), kBlue));
        EXPECT_TRUE(Near(image, QPoint(87, 34), kBlue));
        EXPECT_TRUE(Near(image, QPoint(92, 34), kBlue));
        EXPECT_EQ(Count(image, QRect(70, 10, 36, 42), kBlue),
                  Count(image, QRect(84, 29, 11, 11), kBlue))
            << "nothing blue but the dot";
    }
}

TEST(SetViewTest, SpareDrivesAreFilledAndFramedInBlue) {
    const QImage image = Drawn(Record(51, {0, 0, 0, 0}, {0, 1, 0, 1}, kSetView, 3));
    for (const int x : {57, 137}) {
        // 0xB40000FF over white.
        const QRgb fill = image.pixel(x + 12, 83);
        EXPECT_NEAR(qRed(fill), 75, 1) << x;
        EXPECT_NEAR(qGreen(fill), 75, 1);
        EXPECT_EQ(qBlue(fill), 255);
        EXPECT_EQ(qAlpha(fill), 255);
        // The frame, two pixels wide, around (x, 66, 24, 34).
        for (const QPoint p :
             {QPoint(x, 83), QPoint(x + 24, 83), QPoint(x + 12, 66), QPoint(x + 12, 100)}) {
            EXPECT_TRUE(Near(image, p, kBlue, 0)) << p.x() << "," << p.y();
        }
        EXPECT_EQ(image.pixel(x + 26, 83), kWhite);
        EXPECT_EQ(image.pixel(x + 12, 102), kWhite);
    }
    EXPECT_EQ(Count(image, QRect(60, 0, 60, 61), kWhite), 60 * 61) << "no set picture";
    for (const int x : {17, 97}) {
        EXPECT_EQ(Count(image, QRect(x, 66, 25, 35), kWhite), 25 * 35) << x;
    }
}

TEST(SetViewTest, NormalViewDrawsNoSet) {
    for (const int type : {0, 1, 2, 3, 4, 16}) {
        const QImage image =
            Drawn(Record(51, {1, 1, 1, 1}, {1, 1, 0, 0}, 2, static_cast<std::uint8_t>(type)));
        EXPECT_EQ(Count(image, image.rect(), kBlue), 0) << type;
        EXPECT_GT(Count(image, image.rect(), kGreen), 0);
    }
}

}  // namespace
}  // namespace veltrix::testing
