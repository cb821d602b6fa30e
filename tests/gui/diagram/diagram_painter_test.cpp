// The controller diagram in normal view, checked on the picture's pixels: each
// layout's card, bracket, drives and cables; the marks, veils and pale dotted cables
// of a selection; words that are not exactly 1; unknown models.

#include <gtest/gtest.h>

#include <vector>

#include "diagram_test_support.h"
#include "gui/diagram/diagram_painter.h"
#include "gui/diagram/diagram_pictures.h"

namespace veltrix::testing {
namespace {

using Cable = std::array<QPoint, 4>;

struct LayoutCase {
    std::uint32_t code;
    int card;
    QPoint cardAt;
    int cardWidth;
    QLine tab;
    QLine edge;
    int ports;
    std::array<int, 4> driveX;
    std::vector<Cable> cables;  // empty: cable pictures
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << "layout " << c.code;
}

const Cable kTop0{QPoint(70, 130), QPoint(70, 120), QPoint(30, 120), QPoint(30, 100)};
const Cable kTop1{QPoint(82, 130), QPoint(82, 110), QPoint(70, 110), QPoint(70, 100)};
const Cable kTop2{QPoint(102, 130), QPoint(102, 110), QPoint(110, 110), QPoint(110, 100)};
const Cable kTop3{QPoint(114, 130), QPoint(114, 120), QPoint(150, 120), QPoint(150, 100)};
const Cable kBack0{QPoint(70, 153), QPoint(150, 153), QPoint(150, 100), QPoint(150, 100)};
const Cable kBack1{QPoint(66, 153), QPoint(71, 148), QPoint(110, 148), QPoint(110, 100)};
const Cable kBack2{QPoint(70, 143), QPoint(70, 143), QPoint(70, 100), QPoint(70, 100)};
const Cable kBack3{QPoint(66, 143), QPoint(66, 120), QPoint(30, 120), QPoint(30, 100)};
const Cable kTwoBack0{QPoint(56, 143), QPoint(70, 143), QPoint(70, 100), QPoint(70, 100)};
const Cable kTwoBack1{QPoint(56, 153), QPoint(56, 153), QPoint(110, 153), QPoint(110, 100)};

const std::array<int, 4> kLeftFirst{17, 57, 97, 137};
const std::array<int, 4> kRightFirst{137, 97, 57, 17};
const std::array<int, 4> kTwo{57, 97, -1, -1};

const LayoutCase kLayoutCases[] = {
    {51,
     135,
     {60, 129},
     68,
     {55, 124, 60, 124},
     {60, 124, 60, 164},
     4,
     kLeftFirst,
     {kTop0, kTop1, kTop2, kTop3}},
    {41,
     168,
     {60, 129},
     69,
     {55, 124, 60, 124},
     {60, 124, 60, 164},
     4,
     kLeftFirst,
     {{QPoint(70, 134), QPoint(70, 120), QPoint(30, 120), QPoint(30, 100)},
      {QPoint(82, 134), QPoint(82, 110), QPoint(70, 110), QPoint(70, 100)},
      {QPoint(102, 134), QPoint(102, 110), QPoint(110, 110), QPoint(110, 100)},
      {QPoint(114, 134), QPoint(114, 120), QPoint(150, 120), QPoint(150, 100)}}},
    {21,
     136,
     {78, 124},
     37,
     {73, 119, 78, 119},
     {78, 119, 78, 159},
     2,
     kTwo,
     {{QPoint(87, 130), QPoint(87, 110), QPoint(70, 110), QPoint(70, 100)},
      {QPoint(97, 130), QPoint(97, 110), QPoint(110, 110), QPoint(110, 100)}}},
    {13,
     138,
     {60, 129},
     63,
     {55, 124, 60, 124},
     {60, 124, 60, 164},
     4,
     kRightFirst,
     {kTop3, kTop2, kTop1, kTop0}},
    {12,
     137,
     {66, 129},
     50,
     {61, 124, 66, 124},
     {66, 124, 66, 164},
     2,
     kTwo,
     {{QPoint(77, 130), QPoint(77, 110), QPoint(70, 110), QPoint(70, 100)},
      {QPoint(107, 130), QPoint(107, 110), QPoint(110, 110), QPoint(110, 100)}}},
    {22,
     166,
     {13, 135},
     61,
     {7, 120, 13, 120},
     {13, 120, 13, 170},
     4,
     kRightFirst,
     {kBack0, kBack1, kBack2, kBack3}},
    {31,
     178,
     {13, 135},
     43,
     {7, 120, 13, 120},
     {13, 120, 13, 170},
     2,
     kTwo,
     {kTwoBack0, kTwoBack1}},
    {32,
     182,
     {13, 135},
     46,
     {7, 120, 13, 120},
     {13, 120, 13, 170},
     2,
     kTwo,
     {kTwoBack0, kTwoBack1}},
    {33,
     181,
     {13, 135},
     61,
     {7, 120, 13, 120},
     {13, 120, 13, 170},
     4,
     kRightFirst,
     {kBack0, kBack1, kBack2, kBack3}},
    {11, 169, {13, 129}, 56, {8, 124, 13, 124}, {13, 124, 13, 164}, 4, kRightFirst, {}},
};

// Every drive place of any layout.
constexpr std::array<int, 4> kAllPlaces{17, 57, 97, 137};

QRect DriveRows(int x) {
    return {x, 66, 25, 34};  // the drive picture without its last row, where cables end
}

bool PlaceIsEmpty(const QImage& image, int x) {
    return Count(image, QRect(x, 66, 25, 35), kWhite) == 25 * 35;
}

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, CardAndBracketWithoutDrives) {
    const LayoutCase& c = GetParam();
    const QImage image = Drawn(Record(c.code, {0, 0, 0, 0}));
    // The card at its place; its first column lies under the bracket.
    const QImage card = LoadPicture(c.card);
    ASSERT_EQ(card.width(), c.cardWidth);
    EXPECT_EQ(Shows(image, QRect(c.cardAt + QPoint(1, 0), QSize(c.cardWidth - 1, 32)),
                    card.copy(1, 0, c.cardWidth - 1, 32)),
              "");
    // Two grey segments, two pixels wide, ends included.
    const QPoint tabMiddle = (c.tab.p1() + c.tab.p2()) / 2;
    EXPECT_EQ(image.pixel(tabMiddle), kGrey);
    EXPECT_EQ(image.pixel(tabMiddle - QPoint(0, 1)), kGrey);
    EXPECT_EQ(image.pixel(tabMiddle - QPoint(0, 2)), kWhite);
    EXPECT_EQ(image.pixel(tabMiddle + QPoint(0, 1)), kWhite);
    const QPoint edgeMiddle = (c.edge.p1() + c.edge.p2()) / 2;
    EXPECT_EQ(image.pixel(edgeMiddle), kGrey);
    EXPECT_EQ(image.pixel(edgeMiddle - QPoint(1, 0)), kGrey);
    EXPECT_EQ(image.pixel(edgeMiddle - QPoint(2, 0)), kWhite);
    EXPECT_NE(image.pixel(edgeMiddle + QPoint(1, 0)), kGrey);
    EXPECT_EQ(image.pixel(c.tab.p1()), kGrey);
    EXPECT_EQ(image.pixel(c.edge.p2()), kGrey);
    if (image.valid(c.edge.p2() + QPoint(0, 2))) {
        EXPECT_EQ(image.pixel(c.edge.p2() + QPoint(0, 2)), kWhite);
    }
    for (const int x : kAllPlaces) {
        EXPECT_TRUE(PlaceIsEmpty(image, x)) << "place " << x;
    }
}

TEST_P(LayoutTest, EveryDriveWithItsCable) {
    const LayoutCase& c = GetParam();
    const QImage image = Drawn(Record(c.code, {1, 1, 1, 1}));
    const QImage drive = LoadPicture(157);
    for (int n = 0; n < c.ports; ++n) {
        SCOPED_TRACE("port " + std::to_string(n));
        // Nothing marked: the veil is clear, the drive shows unchanged.
        EXPECT_EQ(Shows(image, DriveRows(c.driveX[n]), drive, kRed), "");
        if (c.cables.empty()) {
            continue;
        }
        const Cable& cable = c.cables[n];
        for (std::size_t i = 0; i < cable.size(); ++i) {
            EXPECT_EQ(image.pixel(cable[i]), kRed) << "point " << i;
            if (i > 0 && (cable[i].x() == cable[i - 1].x() || cable[i].y() == cable[i - 1].y())) {
                EXPECT_EQ(image.pixel((cable[i] + cable[i - 1]) / 2), kRed) << "segment " << i;
            }
        }
    }
    if (c.ports == 2) {
        for (const int x : {17, 137}) {
            EXPECT_TRUE(PlaceIsEmpty(image, x)) << "a two-port card shows no drive at " << x;
        }
    }
    if (c.cables.empty()) {
        EXPECT_EQ(Count(image, image.rect(), kRed), 0);
        EXPECT_EQ(Shows(image, QRect(21, 101, 141, 28), LoadPicture(170).copy(0, 0, 141, 28)), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTest, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& p) { return std::to_string(p.param.code); });

// Cable pictures: the right-hand run for ports 0/1, both runs or the left-hand one for
// ports 2/3; never a red line.
struct CablePictureCase {
    Words a;
    int picture;  // 0: none
};

class CablePictureTest : public ::testing::TestWithParam<CablePictureCase> {};

TEST_P(CablePictureTest, ChosenByThePresentPorts) {
    const CablePictureCase& c = GetParam();
    const QImage image = Drawn(Record(11, c.a));
    const QRect cables(21, 101, 141, 28);  // above the card
    if (c.picture == 0) {
        EXPECT_EQ(Count(image, cables, kWhite), cables.width() * cables.height());
    } else {
        EXPECT_EQ(Shows(image, cables, LoadPicture(c.picture).copy(0, 0, 141, 28)), "");
    }
    EXPECT_EQ(Count(image, image.rect(), kRed), 0);
    EXPECT_EQ(Count(image, image.rect(), kPaleRed), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layout11, CablePictureTest,
    ::testing::Values(CablePictureCase{{0, 0, 0, 0}, 0}, CablePictureCase{{1, 0, 0, 0}, 171},
                      CablePictureCase{{0, 1, 0, 0}, 171}, CablePictureCase{{0, 0, 1, 1}, 172},
                      CablePictureCase{{0, 0, 0, 1}, 172}, CablePictureCase{{1, 0, 0, 1}, 170},
                      CablePictureCase{{0, 1, 1, 0}, 170}, CablePictureCase{{3, 0, 2, 0}, 0}));

TEST(DiagramTest, TwoDrivesNothingMarked) {
    const QImage image = Drawn(Record(51, {1, 0, 1, 0}));
    const QImage drive = LoadPicture(157);
    EXPECT_EQ(Shows(image, DriveRows(17), drive, kRed), "");
    EXPECT_EQ(Shows(image, DriveRows(97), drive, kRed), "");
    EXPECT_TRUE(PlaceIsEmpty(image, 57));
    EXPECT_TRUE(PlaceIsEmpty(image, 137));
    // Solid: every pixel of the segments above the card is red.
    EXPECT_EQ(Count(image, QRect(30, 100, 1, 21), kRed), 21);
    EXPECT_EQ(Count(image, QRect(30, 120, 41, 1), kRed), 41);
    EXPECT_EQ(Count(image, QRect(102, 110, 9, 1), kRed), 9);
    // One pixel wide.
    EXPECT_EQ(image.pixel(29, 110), kWhite);
    EXPECT_EQ(image.pixel(31, 110), kWhite);
    EXPECT_EQ(Count(image, image.rect(), kGreen), 0);
}

TEST(DiagramTest, AMarkedDriveIsRingedAndTheOthersFade) {
    const QImage image = Drawn(Record(51, {1, 0, 1, 0}, {1, 0, 0, 0}));
    const QImage drive = LoadPicture(157);
    // The ring: bounding box (12, 61, 34, 44), two pixels wide on its outline.
    const std::pair<QPoint, bool> ring[] = {
        {{10, 83}, false},  {{11, 83}, true},  {{12, 83}, true},  {{13, 83}, false},
        {{44, 83}, false},  {{45, 83}, true},  {{46, 83}, true},  {{47, 83}, false},
        {{29, 59}, false},  {{29, 60}, true},  {{29, 61}, true},  {{29, 62}, false},
        {{29, 103}, false}, {{29, 104}, true}, {{29, 105}, true}, {{29, 106}, false}};
    for (const auto& [p, green] : ring) {
        EXPECT_EQ(image.pixel(p) == kGreen, green) << p.x() << "," << p.y();
    }
    EXPECT_EQ(image.pixel(29, 83), drive.pixel(12, 17)) << "the marked drive is not veiled";
    EXPECT_EQ(Count(image, QRect(50, 55, 138, 60), kGreen), 0) << "one ring only";

    // The drive on port 2: veiled, with a pale dotted cable.
    for (const QPoint p : {QPoint(2, 2), QPoint(12, 12), QPoint(20, 28), QPoint(23, 33)}) {
        EXPECT_TRUE(IsVeiled(image.pixel(QPoint(97, 66) + p), drive.pixel(p)))
            << p.x() << "," << p.y() << ": " << Hex(image.pixel(QPoint(97, 66) + p));
    }
    // The veil is 24 x 34: the drive's last column is left as it is.
    EXPECT_EQ(image.pixel(97 + 24, 80), drive.pixel(24, 14));
    const QRect segment(102, 110, 1, 20);
    EXPECT_EQ(Count(image, segment, kRed), 0);
    const int dots = Count(image, segment, kPaleRed);
    EXPECT_GE(dots, 5);
    EXPECT_LE(dots, 10) << "dots with gaps between them";
    // The marked drive's cable, below the ring.
    EXPECT_EQ(Count(image, QRect(30, 107, 1, 14), kRed), 14);
    // Empty places are veiled with white: they stay white.
    EXPECT_TRUE(PlaceIsEmpty(image, 57));
    EXPECT_TRUE(PlaceIsEmpty(image, 137));
}

TEST(DiagramTest, AWordOf2IsNoMarkButVeilsTheRest) {
    const QImage image = Drawn(Record(51, {1, 0, 1, 0}, {0, 0, 2, 0}));
    const QImage drive = LoadPicture(157);
    EXPECT_EQ(Count(image, QRect(102, 110, 1, 20), kRed), 20) << "its cable stays solid";
    EXPECT_TRUE(IsVeiled(image.pixel(97 + 12, 78), drive.pixel(12, 12)));
    EXPECT_TRUE(IsVeiled(image.pixel(17 + 12, 78), drive.pixel(12, 12)));
    EXPECT_EQ(Count(image, QRect(30, 100, 1, 21), kRed), 0) << "port 0's cable is dotted";
    EXPECT_GE(Count(image, QRect(30, 100, 1, 21), kPaleRed), 5);
    EXPECT_EQ(Count(image, image.rect(), kGreen), 0);
}

TEST(DiagramTest, AWordAOtherThan1ShowsNoDrive) {
    // 3: two drives behind a port multiplier.
    const QImage image = Drawn(Record(51, {3, 1, 2, 0}));
    EXPECT_TRUE(PlaceIsEmpty(image, 17));
    EXPECT_TRUE(PlaceIsEmpty(image, 97));
    EXPECT_EQ(image.pixel(30, 110), kWhite);
    EXPECT_EQ(Shows(image, DriveRows(57), LoadPicture(157), kRed), "");
}

TEST(DiagramTest, TwoPortLayoutIgnoresPorts2And3ButCountsTheirMarks) {
    const QImage image = Drawn(Record(21, {1, 1, 1, 1}, {0, 0, 1, 0}));
    const QImage drive = LoadPicture(157);
    EXPECT_EQ(Count(image, image.rect(), kGreen), 0) << "no mark for port 2";
    EXPECT_TRUE(IsVeiled(image.pixel(57 + 12, 78), drive.pixel(12, 12)));
    EXPECT_TRUE(IsVeiled(image.pixel(97 + 12, 78), drive.pixel(12, 12)));
    EXPECT_EQ(Count(image, QRect(70, 100, 1, 10), kRed), 0);
    EXPECT_GE(Count(image, QRect(70, 100, 1, 10), kPaleRed), 3);
}

TEST(DiagramTest, UnknownModelCodesGiveAWhitePicture) {
    for (const std::uint32_t code : {0U, 1U, 50U, 52U, 111U, 0xFFFFFFFFU}) {
        const QImage image = Drawn(Record(code, {1, 1, 1, 1}, {1, 1, 1, 1}, 8, 0));
        EXPECT_EQ(Count(image, image.rect(), kWhite), 188 * 171) << code;
    }
}

TEST(DiagramTest, EachDrawingStartsFromWhite) {
    QImage picture = DiagramPainter::NewPicture();
    EXPECT_EQ(picture.size(), QSize(188, 171));
    EXPECT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(picture.depth(), 32);
    DiagramPainter::DrawDiagram(Record(51, {1, 1, 1, 1}, {1, 0, 0, 0}), picture);
    EXPECT_LT(Count(picture, picture.rect(), kWhite), 188 * 171);
    DiagramPainter::DrawDiagram(Record(0, {1, 1, 1, 1}), picture);
    EXPECT_EQ(Count(picture, picture.rect(), kWhite), 188 * 171);
}

TEST(DiagramTest, ANullPictureIsLeftAlone) {
    QImage none;
    DiagramPainter::DrawDiagram(Record(51, {1, 1, 1, 1}, {1, 0, 0, 0}, 8, 1), none);
    EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace veltrix::testing
