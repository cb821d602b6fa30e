// The drawn program icons: visible pictures of the asked size for the known ids, the
// five tray states different, an edge that stands out on dark and light panels,
// nothing for unknown ids.

#include "gui/resources/icons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

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

// The tray's icons: one host connected and not, several hosts well, with a set
// problem, with a host not reached.
constexpr int kTrayIds[] = {140, 179, 190, 191, 192};

TEST(IconsTest, KnownIdsGiveVisiblePixmapsOfTheAskedSize) {
    for (const int id : {5, 140, 179, 190, 191, 192}) {
        for (const int size : {16, 22, 32, 48, 64, 100, 128}) {
            const QImage image = ProgramPixmap(id, size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size)) << id;
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << id << " corner is transparent";
            EXPECT_TRUE(CentreHasInk(image)) << id;
        }
        EXPECT_EQ(ProgramIcon(id).availableSizes().size(), 6) << id;
    }
}

TEST(IconsTest, TrayIconsDifferFromEachOtherAtPanelSizes) {
    for (const int size : {16, 22}) {
        for (const int a : kTrayIds) {
            for (const int b : kTrayIds) {
                if (a < b) {
                    EXPECT_NE(ProgramPixmap(a, size).toImage(), ProgramPixmap(b, size).toImage())
                        << a << " and " << b << " at " << size << " px";
                }
            }
        }
    }
}

// Relative luminance, 0 to 1.
double Luminance(QRgb pixel) {
    return (0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel)) / 255.0;
}

// The share of the picture's edge pixels (opaque, next to a transparent one) near which,
// two pixels inwards at most, the picture differs from the panel by at least `contrast`.
double VisibleEdgeShare(int id, int size, QColor panel, double contrast) {
    const QImage icon = ProgramPixmap(id, size).toImage().convertToFormat(QImage::Format_ARGB32);
    QImage onPanel(icon.size(), QImage::Format_ARGB32);
    onPanel.fill(panel);
    QPainter painter(&onPanel);
    painter.drawImage(0, 0, icon);
    painter.end();
    const auto opaque = [&icon](int x, int y) {
        return x >= 0 && y >= 0 && x < icon.width() && y < icon.height() &&
               qAlpha(icon.pixel(x, y)) >= 128;
    };
    const double panelLuminance = Luminance(panel.rgb());
    int edge = 0;
    int visible = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!opaque(x, y) ||
                (opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1))) {
                continue;
            }
            ++edge;
            bool stands = false;
            for (int dy = -2; dy <= 2 && !stands; ++dy) {
                for (int dx = -2; dx <= 2 && !stands; ++dx) {
                    stands = opaque(x + dx, y + dy) &&
                             std::abs(Luminance(onPanel.pixel(x + dx, y + dy)) - panelLuminance) >=
                                 contrast;
                }
            }
            visible += stands ? 1 : 0;
        }
    }
    return edge == 0 ? 0.0 : static_cast<double>(visible) / edge;
}

// Tray panels come black, dark grey, coloured, light grey and white: the outline and
// the light rim around it keep the whole edge of every icon in sight on each.
TEST(IconsTest, EdgeStandsOutOnDarkAndLightPanels) {
    for (const QColor panel :
         {QColor(0x00, 0x00, 0x00), QColor(0x3c, 0x3c, 0x3c), QColor(0x2b, 0x57, 0x9a),
          QColor(0xd6, 0xd6, 0xd6), QColor(0xff, 0xff, 0xff)}) {
        for (const int id : {140, 179, 190, 191, 192, 5}) {
            for (const int size : {16, 22, 24, 32}) {
                EXPECT_GE(VisibleEdgeShare(id, size, panel, 0.3), 0.95)
                    << "icon " << id << " at " << size << " px on " << panel.name().toStdString();
            }
        }
    }
}

TEST(IconsTest, UnknownIdsGiveNothing) {
    for (const int id : {0, 141, 189, 193}) {
        EXPECT_TRUE(ProgramIcon(id).isNull());
        EXPECT_TRUE(ProgramPixmap(id, 32).isNull());
    }
}

}  // namespace
}  // namespace veltrix
