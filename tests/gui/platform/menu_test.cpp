// Menus from templates: texts by language, ids on every action, check marks and
// greying set by the program only, choosing an item reaching the handler.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>
#include <QWidget>
#include <map>
#include <string>
#include <utility>

#include "gui/platform/control_id.h"
#include "gui/platform/menu.h"
#include "texts/strings.h"

namespace veltrix::platform::testing {
namespace {

enum : int {
    kShowLog = 32795,
    kExit = 32781,
    kAutoconnectItem = 32799,
    kStartMinimized = 32800,
    kAbout = 32778,
    kHelp = 32779,
};

// The sample menus' texts in both languages, answered as the program's translations
// answer its message ids.
class SampleTexts : public QTranslator {
  public:
    QString translate(const char*, const char* id, const char*, int) const override {
        static const std::map<std::string, std::pair<const char*, const char*>> kTexts = {
            {"file", {"&File", "&Datei"}},
            {"show-log", {"Show Error Log", "Fehlerprotokoll &anzeigen"}},
            {"exit", {"Exit", "&Beenden"}},
            {"configuration", {"&Configuration", "&Einstellungen"}},
            {"autoconnect", {"Autoconnect", "&Autoconnect"}},
            {"start-minimized", {"Start minimized", "minimiert &Starten"}},
            {"help-menu", {"?", "?"}},
            {"about", {"About Veltrix", "&Info über Veltrix"}},
            {"help", {"Help", "&Hilfe"}},
            {"show", {"Show", "Anzeigen"}}};
        const auto it = kTexts.find(id);
        if (it == kTexts.end()) {
            return {};
        }
        return QString::fromUtf8(UiLanguage() == Language::German ? it->second.second
                                                                  : it->second.first);
    }
    bool isEmpty() const override { return false; }
};

MenuTemplate SampleMenu() {
    MenuTemplate menu;
    menu.id = 141;
    menu.items = {
        MenuPopup("file",
                  {MenuCommand(kShowLog, "show-log"), MenuSeparator(), MenuCommand(kExit, "exit")}),
        MenuPopup("configuration", {MenuCommand(kAutoconnectItem, "autoconnect", true),
                                    MenuCommand(kStartMinimized, "start-minimized")}),
        MenuPopup("help-menu",
                  {MenuCommand(kAbout, "about"), MenuCommand(kHelp, "help", false, true)}),
    };
    return menu;
}

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override { QCoreApplication::installTranslator(&texts_); }
    void TearDown() override {
        QCoreApplication::removeTranslator(&texts_);
        SetUiLanguage(Language::English);
    }
    // A bar whose commands are logged, and whose handler toggles the mark as the
    // program's toggles do.
    std::unique_ptr<Menu> Bar() {
        return Menu::CreateBar(SampleMenu(), &window, [this](int id) {
            chosen.push_back(id);
            if (toggle) {
                menu->CheckItem(id, !menu->IsItemChecked(id));
            }
        });
    }

    SampleTexts texts_;
    QWidget window;
    std::unique_ptr<Menu> menu;
    std::vector<int> chosen;
    bool toggle = false;
};

QStringList TopLevelTitles(const Menu& menu) {
    QStringList titles;
    for (const QAction* action : menu.Bar()->actions()) {
        titles << action->text();
    }
    return titles;
}

TEST_F(MenuTest, BarHasThePopupsTextsAndIdsOfTheLanguage) {
    SetUiLanguage(Language::German);
    menu = Bar();
    EXPECT_EQ(TopLevelTitles(*menu), (QStringList{"&Datei", "&Einstellungen", "?"}));
    EXPECT_EQ(menu->Action(kExit)->text(), "&Beenden");
    EXPECT_EQ(menu->Id(), 141);
    // Every command can be found by its id.
    EXPECT_EQ(FindControl<QAction>(window, kExit), menu->Action(kExit));
    EXPECT_EQ(ControlIdOf(menu->Action(kHelp)), kHelp);

    SetUiLanguage(Language::English);
    menu = Bar();
    EXPECT_EQ(TopLevelTitles(*menu), (QStringList{"&File", "&Configuration", "?"}));
    // File: two commands around a separator.
    const QMenu* file = menu->Bar()->actions().at(0)->menu();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_TRUE(file->actions().at(1)->isSeparator());
}

TEST_F(MenuTest, InitialCheckAndGreyState) {
    menu = Bar();
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
        EXPECT_EQ(menu->IsItemChecked(row.id), row.checked);
        EXPECT_EQ(menu->IsItemEnabled(row.id), row.enabled);
    }
    // Unchecked items show no check box at all.
    EXPECT_FALSE(menu->Action(kStartMinimized)->isCheckable());
    EXPECT_FALSE(menu->IsItemChecked(4242));
    EXPECT_FALSE(menu->IsItemEnabled(4242));
}

TEST_F(MenuTest, ChoosingAnItemCallsTheHandlerAndLeavesTheMarkToIt) {
    menu = Bar();
    toggle = true;
    EXPECT_TRUE(menu->Choose(kAutoconnectItem));
    EXPECT_FALSE(menu->IsItemChecked(kAutoconnectItem));
    EXPECT_TRUE(menu->Choose(kAutoconnectItem));
    EXPECT_TRUE(menu->IsItemChecked(kAutoconnectItem));
    menu->Action(kStartMinimized)->trigger();  // the real menu path
    EXPECT_TRUE(menu->IsItemChecked(kStartMinimized));
    EXPECT_EQ(chosen, (std::vector<int>{kAutoconnectItem, kAutoconnectItem, kStartMinimized}));

    // Without a handler that touches it, a checked item stays checked.
    toggle = false;
    menu->Action(kAutoconnectItem)->trigger();
    EXPECT_TRUE(menu->IsItemChecked(kAutoconnectItem));
}

TEST_F(MenuTest, GreyedItemsCannotBeChosen) {
    menu = Bar();
    EXPECT_FALSE(menu->Choose(kHelp));
    menu->EnableItem(kExit, false);
    EXPECT_FALSE(menu->Choose(kExit));
    EXPECT_FALSE(menu->Choose(4242));
    EXPECT_TRUE(chosen.empty());
    menu->EnableItem(kExit, true);
    EXPECT_TRUE(menu->Choose(kExit));
    EXPECT_EQ(chosen, std::vector<int>{kExit});
}

TEST_F(MenuTest, PopupMenuForTheTray) {
    const MenuTemplate tray{
        0, {MenuCommand(10, "show"), MenuSeparator(), MenuCommand(11, "exit", false, true)}};
    auto popup = Menu::CreatePopup(tray, [this](int id) { chosen.push_back(id); });
    ASSERT_NE(popup->Popup(), nullptr);
    EXPECT_EQ(popup->Bar(), nullptr);
    EXPECT_EQ(popup->Popup()->actions().size(), 3);
    EXPECT_TRUE(popup->Choose(10));
    EXPECT_FALSE(popup->Choose(11));
    EXPECT_TRUE(popup->EnableItem(11, true));
    EXPECT_TRUE(popup->Choose(11));
    EXPECT_FALSE(popup->CheckItem(99, true));
    EXPECT_EQ(chosen, (std::vector<int>{10, 11}));
}

}  // namespace
}  // namespace veltrix::platform::testing
