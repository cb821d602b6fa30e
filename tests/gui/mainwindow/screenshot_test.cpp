// Saves the connected main window, a RAID 1 set selected, in English and German as PNG
// pictures in the build folder, for people to look at; the test only checks that they
// were written.

#include <QImage>

#include "gui/diagram/diagram_area.h"
#include "gui/platform/screenshot.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

struct ShotCase {
    const char* name;
    Language language;
    double scale;
    bool big;  // 20 drives and 20 sets in a window of 1200 x 800
};

// One controller with four channels behind port multipliers, a drive and a set on
// each of 20 addresses.
sim::Scenario TwentyDrivesAndSets() {
    sim::ControllerSpec c;
    c.name = "RX-Oak 20P";
    c.channelCount = 4;
    c.portMultiplier = true;
    for (std::uint8_t n = 0; n < 20; ++n) {
        const auto channel = static_cast<std::uint8_t>(n % 4);
        const auto pmPort = static_cast<std::uint8_t>(n / 4);
        c.drives.push_back(sim::MakeDrive(channel, pmPort, "KV-500 Enterprise 250"));
        sim::RaidSetSpec set = sim::MakeSet(channel, 1, n, {n});
        set.pmPort = pmPort;
        c.sets.push_back(set);
    }
    sim::Scenario scenario;
    scenario.controllers = {c};
    return scenario;
}

class ScreenshotTest : public MainWindowTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(ScreenshotTest, ConnectedMainWindow) {
    const ShotCase& c = GetParam();
    SetUiLanguage(c.language);
    Start(c.big ? TwentyDrivesAndSets() : sim::TwoControllerScenario());
    // The program's own diagram view draws the controller picture.
    PictureDiagramView view(&window().Diagram());
    diagram.forward = &view;
    Connect();
    driver().UserSelectRow(control_id::kDeviceList, 1);
    driver().UserSelectRow(control_id::kSetList, 0);
    if (c.big) {
        window().resize(1200, 800);
    }
    window().show();
    const std::string path =
        std::string(VELTRIX_SCREENSHOT_DIR) + "/main_window_" + c.name + ".png";
    ASSERT_TRUE(platform::SavePng(window(), path, c.scale));
    EXPECT_EQ(QImage(QString::fromStdString(path)).size(), window().size() * c.scale);
    if (c.big) {
        EXPECT_EQ(driver().RowCount(control_id::kDeviceList), 20);
        EXPECT_EQ(driver().RowCount(control_id::kSetList), 20);
    }
    window().hide();
    diagram.forward = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Shots, ScreenshotTest,
                         ::testing::Values(ShotCase{"en", Language::English, 1.0, false},
                                           ShotCase{"de", Language::German, 1.0, false},
                                           ShotCase{"en_x2", Language::English, 2.0, false},
                                           ShotCase{"de_x2", Language::German, 2.0, false},
                                           ShotCase{"en_1200x800_20_drives_and_sets",
                                                    Language::English, 1.0, true}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::testing
