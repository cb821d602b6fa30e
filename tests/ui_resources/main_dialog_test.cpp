// The main window's templates: ids and initial state, a layout without overlaps or
// clipped texts in either language, headers over their list columns, the menu bar;
// screenshots of the window land in the test's build folder.

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <set>

#include "ui/platform/dialog.h"
#include "ui/platform/list_box.h"
#include "ui/platform/menu.h"
#include "ui/platform/screenshot.h"
#include "ui/resources/main_dialog.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {
namespace {

using namespace control_id;
using platform::ControlKind;
using platform::ControlTemplate;
using platform::Dialog;

class MainDialogTest : public ::testing::Test {
  protected:
    void TearDown() override { SetUiLanguage(Language::English); }
    const platform::DialogTemplate t = MainDialogTemplate();
};

QRect Rect(const ControlTemplate& c) {
    return {c.x, c.y, c.w, c.h};
}

TEST_F(MainDialogTest, UniqueIdsAndInitialState) {
    const std::set<int> hidden = {kPmSupportLabel, kPmSupport,   kRow1Label,       kRow1Value,
                                  kRow6Label,      kRow6Value,   kEventLog,        kEnde,
                                  kPriority,       kPriorityLow, kPriorityHigh,    kPriorityCaption,
                                  kSpeedCaption,   kSpeed,       kDurationCaption, kDuration,
                                  kProgress,       kPercent};
    const std::set<int> disabled = {kDisconnect,      kPriority,     kPriorityLow, kPriorityHigh,
                                    kPriorityCaption, kSpeedCaption, kSpeed,       kDurationCaption,
                                    kDuration,        kPercent};
    const Dialog dialog(t);
    std::set<int> seen;
    for (const ControlTemplate& c : t.controls) {
        SCOPED_TRACE(c.id);
        const bool addressed = c.id != platform::IDC_STATIC;
        EXPECT_TRUE(!addressed || seen.insert(c.id).second) << "duplicate";
        EXPECT_EQ(addressed ? dialog.IsItemShown(c.id) : c.visible, hidden.count(c.id) == 0);
        EXPECT_EQ(!addressed || dialog.IsItemEnabled(c.id), disabled.count(c.id) == 0);
    }
    EXPECT_TRUE(qobject_cast<QPushButton*>(dialog.item(kConnect))->isDefault());
}

// Controls stay apart; the tab control and the group box may hold controls whole.
TEST_F(MainDialogTest, ControlsDoNotOverlapAndThePictureCornerIsFree) {
    ASSERT_EQ(Rect(*platform::FindControl(t, kDiagram)), QRect(8, 320, 188, 171));
    const auto frame = [](const ControlTemplate& c) {
        return c.kind == ControlKind::TabControl || c.kind == ControlKind::GroupBox;
    };
    for (const ControlTemplate& a : t.controls) {
        EXPECT_TRUE(QRect(0, 0, t.width, t.height).contains(Rect(a))) << a.id;
        for (const ControlTemplate& b : t.controls) {
            if (&a == &b || !Rect(a).intersects(Rect(b))) {
                continue;
            }
            const bool held =
                frame(a) && !frame(b) && b.id != kDiagram && Rect(a).contains(Rect(b));
            EXPECT_TRUE(held || (frame(b) && !frame(a) && a.id != kDiagram))
                << a.id << " '" << a.textEn << "' overlaps " << b.id << " '" << b.textEn << "'";
        }
    }
}

TEST_F(MainDialogTest, TextsFitTheirControlsInBothLanguages) {
    for (const Language language : {Language::English, Language::German}) {
        SetUiLanguage(language);
        const Dialog dialog(MainDialogTemplate());
        for (const QLabel* label : dialog.ClientArea()->findChildren<QLabel*>()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                << label->text().toStdString();
            EXPECT_LE(label->fontMetrics().height(), label->height());
        }
        for (const QPushButton* button : dialog.ClientArea()->findChildren<QPushButton*>()) {
            EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
        }
    }
}

// The leftmost column in [left, right) holding a dark pixel between top and bottom.
int FirstInk(const QImage& image, int left, int right, int top, int bottom) {
    for (int x = left; x < right; ++x) {
        for (int y = top; y < bottom; ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                return x;
            }
        }
    }
    return -1;
}

// Row i holds header i's text in column i; as drawn it starts where the header does.
TEST_F(MainDialogTest, ColumnHeadersSitOverTheListColumns) {
    SetUiLanguage(Language::German);
    Dialog dialog(t);
    for (const int id : {kDeviceList, kSetList}) {
        const ControlTemplate& list = *platform::FindControl(t, id);
        std::vector<ControlTemplate> headers;  // the statics right above the list
        for (const ControlTemplate& c : t.controls) {
            if (c.kind == ControlKind::Static && c.x >= list.x && c.y + c.h <= list.y &&
                c.y + c.h + 4 >= list.y) {
                dialog.AddRow(id, std::string(headers.size(), '\t') + c.textDe);
                headers.push_back(c);
            }
        }
        auto* widget = qobject_cast<platform::ListBox*>(dialog.item(id));
        ASSERT_EQ(headers.size(), widget->TabStops().size() + 1) << id;
        widget->doItemsLayout();
        const QImage image = dialog.ClientArea()->grab().toImage();
        for (std::size_t i = 0; i < headers.size(); ++i) {
            const ControlTemplate& h = headers[i];
            const QRect row =
                widget->visualItemRect(widget->item(static_cast<int>(i)))
                    .translated(widget->viewport()->mapTo(dialog.ClientArea(), QPoint()));
            EXPECT_NEAR(FirstInk(image, list.x + 1, list.x + list.w - 1, row.top(), row.bottom()),
                        FirstInk(image, h.x, h.x + h.w, h.y, h.y + h.h), 1)
                << h.textDe;
        }
    }
}

TEST_F(MainDialogTest, MenuGreysHelpAndGermanMnemonicsAreUniquePerPopup) {
    SetUiLanguage(Language::German);
    Dialog dialog(t);
    dialog.SetMenu(MainMenuTemplate());
    EXPECT_FALSE(dialog.IsMenuItemEnabled(menu_id::kHelp));
    const QList<QAction*> popups = dialog.GetMenu()->Bar()->actions();
    ASSERT_EQ(popups.size(), 3);
    for (const int id : {menu_id::kAutoconnect, menu_id::kStartMinimized}) {
        EXPECT_TRUE(popups[1]->menu()->actions().contains(dialog.GetMenu()->Action(id))) << id;
        EXPECT_FALSE(dialog.IsMenuItemChecked(id)) << id;
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

// As the window starts, and with every control shown to see those the program
// reveals later.
TEST_F(MainDialogTest, SavesScreenshotsInBothLanguages) {
    for (const char* name : {"en", "de", "all_en", "all_de"}) {
        const std::string file = name;
        SetUiLanguage(file.ends_with("de") ? Language::German : Language::English);
        Dialog dialog(t);
        dialog.SetMenu(MainMenuTemplate());
        if (file.starts_with("all")) {
            for (const ControlTemplate& c : t.controls) {
                dialog.ShowItem(c.id, c.id != kEventLog && c.id != kEnde);
                dialog.EnableItem(c.id, true);
            }
            dialog.InsertTab(kControllerTabs, 0, "Controller 1");
        }
        const std::string path = VELTRIX_SCREENSHOT_DIR "/main_dialog_" + file + ".png";
        ASSERT_TRUE(platform::SavePng(dialog, path)) << path;
        EXPECT_EQ(QImage(QString::fromStdString(path)).size(), dialog.size());
    }
}

}  // namespace
}  // namespace veltrix
