// Help opens the user guide's file through the desktop, or names the file it looked for.

#include <QUrl>

#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"
#include "support/temp_folder.h"

namespace veltrix::testing {
namespace {

struct GuideCase {
    bool installed;
    bool opens;     // whether the desktop has a viewer for it
    bool reported;  // a message names the path
};

TEST_F(MainWindowTest, HelpOpensTheInstalledGuide) {
    Start(sim::TwoControllerScenario());
    EXPECT_TRUE(driver().IsMenuItemEnabled(menu_id::kHelp));
    const TempFolder folder;
    const std::string path = folder.file("user-guide.md");
    const QString guide = QString::fromStdString(path);
    for (const GuideCase c : {GuideCase{false, true, true}, GuideCase{true, false, true},
                              GuideCase{true, true, false}}) {
        SCOPED_TRACE(::testing::Message() << "installed " << c.installed << " opens " << c.opens);
        if (c.installed) {
            WriteFile(path, {'#'});
        }
        QUrl asked;
        ui.clear();
        window().SetUserGuide(guide, [&](const QUrl& url) {
            asked = url;
            return c.opens;
        });
        ASSERT_TRUE(driver().UserChoose(menu_id::kHelp));
        EXPECT_EQ(asked, c.installed ? QUrl::fromLocalFile(guide) : QUrl());
        const std::vector<std::string> said = ui.messageTexts();
        EXPECT_EQ(said.size() == 1 && said[0].find(path) != std::string::npos, c.reported)
            << ::testing::PrintToString(said);
    }
}

}  // namespace
}  // namespace veltrix::testing
