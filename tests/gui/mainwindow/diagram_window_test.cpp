// The controller picture in the connected main window, drawn by the program's own
// diagram view: what the window shows in its 188 x 171 area is the drawing of the
// window's last record; the logo at the top right, the BETA badge only on request.

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "gui/diagram/diagram_area.h"
#include "gui/diagram/diagram_painter.h"
#include "gui/diagram/diagram_pictures.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace control_id;

constexpr QRgb kBlue = 0xFF0000FF;

class DiagramWindowTest : public MainWindowTest {
  protected:
    // The window with the program's diagram view drawing into its picture.
    void StartDrawing(sim::Scenario scenario) {
        Start(std::move(scenario));
        view_.SetArea(&window().Diagram());
        diagram.forward = &view_;
    }

    // The drawing of the window's last record.
    QImage Expected() {
        QImage picture = DiagramPainter::NewPicture();
        if (window().Body().LastDiagram()) {
            DiagramPainter::DrawDiagram(*window().Body().LastDiagram(), picture);
        }
        return picture;
    }

    // The window's pixels where its picture is.
    QImage Shown() {
        DiagramArea& area = window().Diagram();
        const QImage grabbed = window().grab().toImage().convertToFormat(QImage::Format_ARGB32);
        return grabbed.copy(QRect(area.mapTo(&window(), QPoint(0, 0)), area.size()));
    }

  private:
    PictureDiagramView view_;
};

TEST_F(DiagramWindowTest, TheSelectedMirrorSetIsShownInThePicture) {
    StartDrawing(sim::TwoControllerScenario());
    Connect();
    window().show();
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 1));
    ASSERT_TRUE(driver().UserSelectRow(kSetList, 0));  // the mirror of ports 0 and 1
    ASSERT_EQ(window().Body().LastDiagram()->raidType, 1);
    const QImage& picture = window().Diagram().Picture();
    EXPECT_EQ(picture, Expected());
    // RX-Oak: port 0 on the right ends at the first cylinder, port 1 at the second.
    EXPECT_EQ(picture.pixel(94, 35), kBlue);
    EXPECT_EQ(picture.pixel(76, 49), kBlue);
    EXPECT_EQ(platform::FindControl<QWidget>(window(), kDiagram), &window().Diagram());
    EXPECT_EQ(Shown(), picture);

    // A drive instead: its ring, no set.
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 2));
    EXPECT_EQ(window().Diagram().Picture(), Expected());
    EXPECT_EQ(Shown(), Expected());
    window().hide();
}

TEST_F(DiagramWindowTest, AfterDisconnectThePictureIsTheLastDrawing) {
    StartDrawing(sim::TwoControllerScenario());
    Connect();
    ASSERT_TRUE(driver().UserSelectRow(kSetList, 0));
    ASSERT_TRUE(Click(kDisconnect));
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_EQ(window().Diagram().Picture(), Expected());
}

TEST_F(DiagramWindowTest, LogoAtTheTopRightBadgeOnRequest) {
    StartDrawing(sim::TwoControllerScenario());
    window().show();
    auto* logo = platform::FindControl<QLabel>(window(), picture_id::kLogo);
    auto* badge = platform::FindControl<QLabel>(window(), picture_id::kBetaBadge);
    ASSERT_NE(logo, nullptr);
    ASSERT_NE(badge, nullptr);
    EXPECT_TRUE(logo->isVisible());
    EXPECT_FALSE(badge->isVisible());
    EXPECT_TRUE(badge->pixmap().isNull()) << "a hidden badge reads no picture";
    EXPECT_EQ(logo->pixmap().size(), QSize(240, 61));
    EXPECT_TRUE(logo->pixmap().hasAlpha()) << "magenta is transparent";
    const QRect logoRect(logo->mapTo(&window(), QPoint(0, 0)), logo->size());
    EXPECT_LT(logoRect.top(), window().Diagram().mapTo(&window(), QPoint(0, 0)).y());
    EXPECT_GT(logoRect.left(), window().width() / 2);

    window().Version().ShowBadge(true);
    EXPECT_TRUE(badge->isVisible());
    EXPECT_EQ(badge->pixmap().size(), QSize(70, 27));
    const QRect badgeRect(badge->mapTo(&window(), QPoint(0, 0)), badge->size());
    EXPECT_LT(badgeRect.right(), logoRect.left()) << "beside the logo, on its left";
    EXPECT_EQ(badgeRect.right(), logoRect.left() - 4) << "three pixels apart";
    window().Version().ShowBadge(false);
    EXPECT_FALSE(badge->isVisible());
    window().hide();
}

}  // namespace
}  // namespace veltrix::testing
