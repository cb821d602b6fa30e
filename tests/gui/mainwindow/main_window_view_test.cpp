// The main window's controls as built, in both languages: their ids, initial states
// and texts, the menu, and a window that grows with its lists.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gui/diagram/diagram_area.h"
#include "gui/diagram/diagram_pictures.h"
#include "gui/hostview/status_list.h"
#include "gui/mainwindow/main_window_view.h"
#include "gui/platform/control_id.h"
#include "gui/platform/menu.h"
#include "gui/resources/main_menu.h"
#include "gui/resources/main_window_ids.h"
#include "texts/strings.h"

namespace veltrix {
namespace {

using namespace control_id;
using picture_id::kBetaBadge;

class MainWindowViewTest : public ::testing::Test {
  protected:
    void TearDown() override { SetUiLanguage(Language::English); }
};

TEST_F(MainWindowViewTest, UniqueIdsAndInitialState) {
    const std::set<int> hidden = {kPmSupportLabel, kPmSupport,   kRow1Label,       kRow1Value,
                                  kRow6Label,      kRow6Value,   kEventLog,        kEnde,
                                  kPriority,       kPriorityLow, kPriorityHigh,    kPriorityCaption,
                                  kSpeedCaption,   kSpeed,       kDurationCaption, kDuration,
                                  kProgress,       kPercent,     kBetaBadge,       kReconnectStatus,
                                  kHostList};
    const std::set<int> disabled = {kDisconnect,      kPriority,     kPriorityLow, kPriorityHigh,
                                    kPriorityCaption, kSpeedCaption, kSpeed,       kDurationCaption,
                                    kDuration,        kPercent};
    QDialog window;
    const MainWindowView view = BuildMainWindowView(window);
    std::set<int> seen;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const int id = platform::ControlIdOf(control);
        if (id == -1) {
            continue;
        }
        SCOPED_TRACE(id);
        EXPECT_TRUE(seen.insert(id).second) << "duplicate";
        EXPECT_EQ(!control->isHidden(), hidden.count(id) == 0);
        EXPECT_EQ(control->isEnabled(), disabled.count(id) == 0);
    }
    EXPECT_EQ(seen.size(), 47u);  // with the reconnect countdown and the host list
    EXPECT_TRUE(view.connect->isDefault());
    EXPECT_EQ(view.diagram->size(), QSize(188, 171));
}

struct TextCase {
    int id;
    const char* en;
    const char* de;
};

TEST_F(MainWindowViewTest, TextsAndHeadersInBothLanguages) {
    const TextCase cases[] = {{kConnect, "Connect", "Verbinden"},
                              {kDisconnect, "Disconnect", "Trennen"},
                              {kSpeedCaption, "Rebuild Speed:", "Rebuildgeschwindigkeit:"},
                              {kDurationCaption, "Estimated Duration:", "Vorraussichtliche Dauer:"},
                              {kPriorityLow, "Low", "niedrig"},
                              {kRow6Label, "Interfacemode:", "Interface Mode:"}};
    for (const Language language : {Language::English, Language::German}) {
        SetUiLanguage(language);
        QDialog window;
        const MainWindowView view = BuildMainWindowView(window);
        const bool de = language == Language::German;
        for (const TextCase& c : cases) {
            const auto* button = platform::FindControl<QPushButton>(window, c.id);
            const auto* label = platform::FindControl<QLabel>(window, c.id);
            const QString text = button != nullptr ? button->text() : label->text();
            EXPECT_EQ(text.toStdString(), de ? c.de : c.en) << c.id;
        }
        EXPECT_EQ(view.sets->model()->headerData(2, Qt::Horizontal).toString().toStdString(),
                  de ? "Blockgröße" : "Chunksize");
        EXPECT_EQ(view.devices->model()->columnCount(), 4);
        EXPECT_EQ(view.sets->model()->columnCount(), 6);
    }
}

TEST_F(MainWindowViewTest, MenuOffersHelpAndGermanMnemonicsAreUniquePerPopup) {
    SetUiLanguage(Language::German);
    QDialog window;
    const auto menu = platform::Menu::CreateBar(MainMenuTemplate(), &window, nullptr);
    EXPECT_TRUE(menu->IsItemEnabled(menu_id::kHelp));
    const QList<QAction*> popups = menu->Bar()->actions();
    ASSERT_EQ(popups.size(), 3);
    for (const int id : {menu_id::kAutoconnect, menu_id::kStartMinimized}) {
        EXPECT_TRUE(popups[1]->menu()->actions().contains(menu->Action(id))) << id;
        EXPECT_FALSE(menu->IsItemChecked(id)) << id;
    }
    for (const QAction* popup : popups) {
        std::set<QChar> letters;
        for (const QAction* item : popup->menu()->actions()) {
            const QString text = item->text();
            const auto amp = text.indexOf(QLatin1Char('&'));
            EXPECT_TRUE(item->isSeparator() ||
                        (amp >= 0 && letters.insert(text[amp + 1].toLower()).second))
                << text.toStdString();
        }
    }
}

// A larger window gives its extra height to the two lists, not to the rest.
TEST_F(MainWindowViewTest, TheListsTakeTheRoomTheWindowGains) {
    QDialog window;
    const MainWindowView view = BuildMainWindowView(window);
    window.resize(window.minimumSizeHint());
    window.show();
    const int devices = view.devices->height();
    const int sets = view.sets->height();
    const int info = view.info->height();
    window.resize(window.width() + 400, window.height() + 300);
    QApplication::processEvents();
    EXPECT_GT(view.devices->height(), devices + 100);
    EXPECT_GT(view.sets->height(), sets + 100);
    EXPECT_EQ(view.info->height(), info);
}

// What comes and goes in the window has its room from the start: the countdown's
// longest text, and a rebuild's figures, leave their neighbours where they were.
struct AppearCase {
    const char* name;
    std::vector<int> shown;                       // already
    std::vector<std::pair<int, QString>> appear;  // labels and their texts
    std::vector<int> kept;
};

TEST_F(MainWindowViewTest, WhatAppearsMovesNothingElse) {
    for (const Language language : {Language::English, Language::German}) {
        SetUiLanguage(language);
        const AppearCase cases[] = {
            {"countdown",
             {},
             {{kReconnectStatus, ReconnectCountdownText(330)}},
             {kHost, kPassword, kConnect, kDisconnect, picture_id::kLogo}},
            {"rebuild figures",
             {kProgress, kPercent, kSpeed, kDuration, kSpeedCaption, kPriority},
             {{kPercent, QStringLiteral("42%")},
              {kSpeed, QStringLiteral("1234.56 MB/s")},
              {kDuration, QStringLiteral("123456 Min.")}},
             {kProgress, kPriority, kSpeedCaption}}};
        for (const AppearCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (language == Language::German ? " de" : " en"));
            QDialog window;
            BuildMainWindowView(window);
            const auto geometries = [&] {
                std::vector<QRect> out;
                for (const int id : c.kept) {
                    out.push_back(platform::FindControl<QWidget>(window, id)->geometry());
                }
                return out;
            };
            for (const int id : c.shown) {
                platform::FindControl<QWidget>(window, id)->show();
            }
            window.show();
            QApplication::processEvents();
            const std::vector<QRect> was = geometries();
            for (const auto& [id, text] : c.appear) {
                auto* label = platform::FindControl<QLabel>(window, id);
                label->setText(text);
                label->show();
            }
            QApplication::processEvents();
            EXPECT_EQ(geometries(), was);
        }
    }
}

// Each caption fits its column in the font the list is drawn in, also after that font
// has grown (the last column takes what room is left).
TEST_F(MainWindowViewTest, CaptionsFitTheirColumnsAndFollowTheFont) {
    QDialog window;
    const MainWindowView view = BuildMainWindowView(window);
    window.show();
    for (const int pointSize : {0, 30}) {
        if (pointSize > 0) {
            QFont larger = window.font();
            larger.setPointSize(pointSize);
            window.setFont(larger);
            QApplication::processEvents();
        }
        for (const QTreeView* list : {view.devices, view.sets}) {
            const QFontMetrics metrics(list->header()->font());
            for (int c = 0; c + 1 < list->model()->columnCount(); ++c) {
                EXPECT_GT(list->header()->sectionSize(c),
                          metrics.horizontalAdvance(
                              list->model()->headerData(c, Qt::Horizontal).toString()))
                    << pointSize << " " << c;
            }
        }
    }
}

}  // namespace
}  // namespace veltrix
