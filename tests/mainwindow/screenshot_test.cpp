// Saves the connected main window in English and German as PNG pictures in the build
// folder, for people to look at; the test only checks that they were written.

#include <QFileInfo>

#include "main_window_fixture.h"
#include "texts/strings.h"
#include "ui/platform/screenshot.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix::testing {
namespace {

class ScreenshotTest : public MainWindowTest,
                       public ::testing::WithParamInterface<std::pair<Language, const char*>> {};

TEST_P(ScreenshotTest, ConnectedMainWindow) {
    SetUiLanguage(GetParam().first);
    Start(sim::TwoControllerScenario());
    Connect();
    driver().UserSelectRow(control_id::kDeviceList, 1);
    driver().UserSelectRow(control_id::kSetList, 0);
    window().show();
    const std::string path =
        std::string(VELTRIX_SCREENSHOT_DIR) + "/main_window_" + GetParam().second + ".png";
    ASSERT_TRUE(platform::SavePng(window(), path));
    EXPECT_GT(QFileInfo(QString::fromStdString(path)).size(), 0);
    window().hide();
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest,
                         ::testing::Values(std::pair{Language::English, "en"},
                                           std::pair{Language::German, "de"}),
                         [](const auto& p) { return std::string(p.param.second); });

}  // namespace
}  // namespace veltrix::testing
