// Help in the "?" menu: it can be chosen, and opens the user guide's file through the
// desktop, or says which file it looked for.

#include <QUrl>

#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"
#include "support/temp_folder.h"

namespace veltrix::testing {
namespace {

struct GuideCase {
    const char* name;
    bool installed;
    bool opens;     // whether the desktop has a viewer for it
    bool reported;  // a message names the path
};

class UserGuideTest : public MainWindowTest, public ::testing::WithParamInterface<GuideCase> {};

TEST_P(UserGuideTest, HelpOpensTheInstalledGuide) {
    const GuideCase& c = GetParam();
    Start(sim::TwoControllerScenario());
    const TempFolder folder;
    const std::string path = folder.file("user-guide.md");
    if (c.installed) {
        WriteFile(path, {'#'});
    }
    std::vector<QUrl> asked;
    window().SetUserGuide(QString::fromStdString(path), [&](const QUrl& url) {
        asked.push_back(url);
        return c.opens;
    });
    EXPECT_TRUE(driver().IsMenuItemEnabled(menu_id::kHelp));
    ASSERT_TRUE(driver().UserChoose(menu_id::kHelp));

    EXPECT_EQ(asked, c.installed ? std::vector{QUrl::fromLocalFile(QString::fromStdString(path))}
                                 : std::vector<QUrl>{});
    const std::vector<std::string> said = ui.messageTexts();
    EXPECT_EQ(said.size() == 1 && said[0].find(path) != std::string::npos, c.reported)
        << ::testing::PrintToString(said);
}

INSTANTIATE_TEST_SUITE_P(Guides, UserGuideTest,
                         ::testing::Values(GuideCase{"Installed", true, true, false},
                                           GuideCase{"Missing", false, true, true},
                                           GuideCase{"NoViewer", true, false, true}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::testing
