// Menus from templates: texts by language, check marks and greying set by the
// program only, choosing an item reaching OnCommand.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "sample_dialog.h"
#include "ui/platform/menu.h"

namespace veltrix::platform::testing {
namespace {

class MenuTest : public ::testing::Test {
  protected:
    void TearDown() override { SetUiLanguage(Language::English); }
};

QStringList TopLevelTitles(const Dialog& dialog) {
    QStringList titles;
    for (const QAction* action : dialog.GetMenu()->Bar()->actions()) {
        titles << action->text();
    }
    return titles;
}

TEST_F(MenuTest, BarHasThePopupsAndTextsOfTheLanguage) {
    SetUiLanguage(Language::German);
    SampleDialog de;
    de.SetMenu(SampleMenu());
    EXPECT_EQ(TopLevelTitles(de), (QStringList{"&Datei", "&Einstellungen", "?"}));
    EXPECT_EQ(de.GetMenu()->Action(kExit)->text(), "&Beenden");
    EXPECT_EQ(de.GetMenu()->Id(), 141);

    SetUiLanguage(Language::English);
    SampleDialog en;
    en.SetMenu(SampleMenu());
    EXPECT_EQ(TopLevelTitles(en), (QStringList{"&File", "&Configuration", "?"}));
    EXPECT_EQ(en.GetMenu()->Action(kExit)->text(), "Exit");
    // File: two commands around a separator.
    const QMenu* file = en.GetMenu()->Bar()->actions().at(0)->menu();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_TRUE(file->actions().at(1)->isSeparator());
}

TEST_F(MenuTest, InitialCheckAndGreyState) {
    SampleDialog dialog;
    dialog.SetMenu(SampleMenu());
    struct Row {
        int id;
        bool checked;
        bool enabled;
    };
    const Row rows[] = {{kAutoconnectItem, true, true},
                        {kStartMinimized, false, true},
                        {kHelp, false, false},
                        {kExit, false, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(dialog.IsMenuItemChecked(row.id), row.checked);
        EXPECT_EQ(dialog.IsMenuItemEnabled(row.id), row.enabled);
    }
    // Unchecked items show no check box at all.
    EXPECT_FALSE(dialog.GetMenu()->Action(kStartMinimized)->isCheckable());
    EXPECT_FALSE(dialog.IsMenuItemChecked(4242));
    EXPECT_FALSE(dialog.IsMenuItemEnabled(4242));
}

TEST_F(MenuTest, ChoosingAnItemCallsOnCommandAndLeavesTheMarkToIt) {
    SampleDialog dialog;
    dialog.SetMenu(SampleMenu());
    // The handler toggles the mark as the program's toggles do.
    dialog.onCommand = [&dialog](int id) {
        dialog.CheckMenuItem(id, !dialog.IsMenuItemChecked(id));
    };
    EXPECT_TRUE(dialog.UserChoose(kAutoconnectItem));
    EXPECT_FALSE(dialog.IsMenuItemChecked(kAutoconnectItem));
    EXPECT_TRUE(dialog.UserChoose(kAutoconnectItem));
    EXPECT_TRUE(dialog.IsMenuItemChecked(kAutoconnectItem));
    dialog.GetMenu()->Action(kStartMinimized)->trigger();  // the real menu path
    EXPECT_TRUE(dialog.IsMenuItemChecked(kStartMinimized));
    EXPECT_EQ(dialog.log, (std::vector<Notification>{{"command", kAutoconnectItem},
                                                     {"command", kAutoconnectItem},
                                                     {"command", kStartMinimized}}));

    // Without a handler that touches it, a checked item stays checked.
    dialog.onCommand = [](int) {};
    dialog.GetMenu()->Action(kAutoconnectItem)->trigger();
    EXPECT_TRUE(dialog.IsMenuItemChecked(kAutoconnectItem));
}

TEST_F(MenuTest, GreyedItemsCannotBeChosen) {
    SampleDialog dialog;
    dialog.SetMenu(SampleMenu());
    EXPECT_FALSE(dialog.UserChoose(kHelp));
    dialog.EnableMenuItem(kExit, false);
    EXPECT_FALSE(dialog.UserChoose(kExit));
    EXPECT_FALSE(dialog.UserChoose(4242));
    EXPECT_TRUE(dialog.log.empty());
    dialog.EnableMenuItem(kExit, true);
    dialog.onCommand = [](int) {};
    EXPECT_TRUE(dialog.UserChoose(kExit));
    EXPECT_EQ(dialog.log, (std::vector<Notification>{{"command", kExit}}));
}

TEST_F(MenuTest, WithoutAMenuNothingHappens) {
    SampleDialog dialog;
    dialog.CheckMenuItem(kExit, true);
    EXPECT_FALSE(dialog.UserChoose(kExit));
    EXPECT_FALSE(dialog.IsMenuItemChecked(kExit));
}

TEST_F(MenuTest, ReplacingTheMenuDropsTheOldBar) {
    SampleDialog dialog;
    dialog.SetMenu(SampleMenu());
    dialog.SetMenu(MenuTemplate{7, {MenuPopup("X", "X", {MenuCommand(5, "Five", "Fünf")})}});
    EXPECT_EQ(dialog.findChildren<QMenuBar*>().size(), 1);
    EXPECT_FALSE(dialog.GetMenu()->HasItem(kExit));
    EXPECT_TRUE(dialog.GetMenu()->HasItem(5));
}

TEST_F(MenuTest, PopupMenuForTheTray) {
    std::vector<int> chosen;
    const MenuTemplate tray{0,
                            {MenuCommand(10, "Show", "Anzeigen"), MenuSeparator(),
                             MenuCommand(11, "Exit", "Beenden", false, true)}};
    auto menu = Menu::CreatePopup(tray, [&chosen](int id) { chosen.push_back(id); });
    ASSERT_NE(menu->Popup(), nullptr);
    EXPECT_EQ(menu->Bar(), nullptr);
    EXPECT_EQ(menu->Popup()->actions().size(), 3);
    EXPECT_TRUE(menu->Choose(10));
    EXPECT_FALSE(menu->Choose(11));
    EXPECT_TRUE(menu->EnableItem(11, true));
    EXPECT_TRUE(menu->Choose(11));
    EXPECT_FALSE(menu->CheckItem(99, true));
    EXPECT_EQ(chosen, (std::vector<int>{10, 11}));
}

}  // namespace
}  // namespace veltrix::platform::testing
