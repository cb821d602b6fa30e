// Controls by id: texts, visibility, checks, list rows, selections, tabs, trackbar
// and progress bar, and which changes notify the dialog.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include "sample_dialog.h"
#include "ui/platform/list_box.h"
#include "ui/platform/screenshot.h"

namespace veltrix::platform::testing {
namespace {

class DialogControlsTest : public ::testing::Test {
  protected:
    SampleDialog dialog;
};

TEST_F(DialogControlsTest, ItemTextRoundTripsForEachTextKind) {
    const int ids[] = {kControllerNumber, kHost,        kPassword, kNotes,
                       kConnect,          kAutoconnect, kInfoGroup};
    for (const int id : ids) {
        SCOPED_TRACE(id);
        dialog.SetItemText(id, "Text\twith tab & ampersand");
        EXPECT_EQ(dialog.ItemText(id), "Text\twith tab & ampersand");
    }
    dialog.SetItemText(4242, "ignored");
    EXPECT_EQ(dialog.ItemText(4242), "");
    EXPECT_TRUE(dialog.log.empty());
}

TEST_F(DialogControlsTest, ShowAndEnableSetTheItemsOwnFlags) {
    dialog.ShowItem(kPmLabel, true);
    dialog.ShowItem(kConnect, false);
    dialog.EnableItem(kDisconnect, true);
    dialog.EnableItem(kHost, false);
    EXPECT_TRUE(dialog.IsItemShown(kPmLabel));
    EXPECT_FALSE(dialog.IsItemShown(kConnect));
    EXPECT_TRUE(dialog.IsItemEnabled(kDisconnect));
    EXPECT_FALSE(dialog.IsItemEnabled(kHost));
    // A disabled window does not change what its controls say of themselves.
    dialog.setEnabled(false);
    EXPECT_TRUE(dialog.IsItemEnabled(kDisconnect));
}

TEST_F(DialogControlsTest, ListRowsKeepTheirExactText) {
    const std::vector<std::string> rows = {"0\tRX-Disk 1000\t931 GB\tOK\t", "\t\t", "",
                                           "33\tModel \xC3\xA4\t1 TB\tfailed"};
    for (const std::string& row : rows) {
        dialog.AddRow(kDevices, row);
    }
    EXPECT_EQ(dialog.Rows(kDevices), rows);
    EXPECT_EQ(dialog.RowCount(kDevices), 4);
    EXPECT_EQ(dialog.Row(kDevices, 3), rows[3]);
    EXPECT_EQ(dialog.Row(kDevices, 9), "");
}

TEST_F(DialogControlsTest, InsertDeleteAndClearRows) {
    dialog.AddRow(kDevices, "a");
    dialog.AddRow(kDevices, "c");
    EXPECT_EQ(dialog.InsertRow(kDevices, 1, "b"), 1);
    EXPECT_EQ(dialog.InsertRow(kDevices, -1, "d"), 3);
    EXPECT_EQ(dialog.InsertRow(kDevices, 99, "e"), 4);
    EXPECT_EQ(dialog.Rows(kDevices), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(dialog.DeleteRow(kDevices, 0), 4);
    EXPECT_EQ(dialog.DeleteRow(kDevices, 4), -1);
    EXPECT_EQ(dialog.DeleteRow(kDevices, -1), -1);
    EXPECT_EQ(dialog.Rows(kDevices), (std::vector<std::string>{"b", "c", "d", "e"}));
    dialog.ClearRows(kDevices);
    EXPECT_EQ(dialog.RowCount(kDevices), 0);
    EXPECT_EQ(dialog.AddRow(kHost, "not a list"), -1);
}

TEST_F(DialogControlsTest, SortedListsAndCombosKeepRowsInOrder) {
    for (const int id : {kSorted, kSortedChoice}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(dialog.AddRow(id, "beta"), 0);
        EXPECT_EQ(dialog.AddRow(id, "Alpha"), 0);
        EXPECT_EQ(dialog.AddRow(id, "gamma"), 2);
        EXPECT_EQ(dialog.AddRow(id, "alpha"), 1);
        EXPECT_EQ(dialog.Rows(id), (std::vector<std::string>{"Alpha", "alpha", "beta", "gamma"}));
    }
    dialog.AddRow(kDevices, "b");
    dialog.AddRow(kDevices, "a");
    EXPECT_EQ(dialog.Rows(kDevices), (std::vector<std::string>{"b", "a"}));
}

TEST_F(DialogControlsTest, ProgrammaticSelectionDoesNotNotifyButTheUsersDoes) {
    for (const int id : {kDevices, kChoice}) {
        SCOPED_TRACE(id);
        dialog.log.clear();
        dialog.AddRow(id, "row 0");
        dialog.AddRow(id, "row 1");
        EXPECT_EQ(dialog.SelectedRow(id), -1);
        dialog.SetSelectedRow(id, 1);
        EXPECT_EQ(dialog.SelectedRow(id), 1);
        dialog.SetSelectedRow(id, -1);
        EXPECT_EQ(dialog.SelectedRow(id), -1);
        EXPECT_TRUE(dialog.log.empty());

        EXPECT_TRUE(dialog.UserSelectRow(id, 0));
        EXPECT_EQ(dialog.SelectedRow(id), 0);
        // Choosing the selected row again is reported again.
        EXPECT_TRUE(dialog.UserSelectRow(id, 0));
        EXPECT_FALSE(dialog.UserSelectRow(id, 2));
        EXPECT_EQ(dialog.log, (std::vector<Notification>{{"selchange", id}, {"selchange", id}}));
    }
}

TEST_F(DialogControlsTest, InsertingIntoAComboKeepsItsSelection) {
    dialog.AddRow(kChoice, "b");
    EXPECT_EQ(dialog.SelectedRow(kChoice), -1);
    dialog.SetSelectedRow(kChoice, 0);
    dialog.InsertRow(kChoice, 0, "a");
    EXPECT_EQ(dialog.SelectedRow(kChoice), 1);
    EXPECT_EQ(dialog.ItemText(kChoice), "b");
    EXPECT_TRUE(dialog.log.empty());
}

TEST_F(DialogControlsTest, UserCannotSelectInADisabledList) {
    dialog.AddRow(kDevices, "row");
    dialog.EnableItem(kDevices, false);
    EXPECT_FALSE(dialog.UserSelectRow(kDevices, 0));
    EXPECT_EQ(dialog.SelectedRow(kDevices), -1);
    EXPECT_TRUE(dialog.log.empty());
}

TEST_F(DialogControlsTest, RealMouseClicksAndKeysOnAListNotify) {
    dialog.AddRow(kDevices, "0\tfirst");
    dialog.AddRow(kDevices, "1\tsecond");
    dialog.show();
    auto* list = qobject_cast<ListBox*>(dialog.item(kDevices));
    ASSERT_NE(list, nullptr);
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    EXPECT_EQ(dialog.SelectedRow(kDevices), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(dialog.SelectedRow(kDevices), 0);
    EXPECT_EQ(dialog.Count("selchange"), 3);
    // A click below the last row selects nothing and says nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(5, list->viewport()->height() - 2));
    EXPECT_EQ(dialog.Count("selchange"), 3);
}

TEST_F(DialogControlsTest, TabControlOperations) {
    EXPECT_EQ(dialog.TabCount(kTabs), 0);
    EXPECT_EQ(dialog.SelectedTab(kTabs), -1);
    EXPECT_EQ(dialog.InsertTab(kTabs, 0, "---"), 0);
    EXPECT_EQ(dialog.SelectedTab(kTabs), 0);
    dialog.DeleteAllTabs(kTabs);
    EXPECT_EQ(dialog.InsertTab(kTabs, 0, "Controller 1"), 0);
    EXPECT_EQ(dialog.InsertTab(kTabs, 1, "Controller 3"), 1);
    EXPECT_EQ(dialog.InsertTab(kTabs, 1, "Controller 2"), 1);
    EXPECT_EQ(dialog.TabCount(kTabs), 3);
    EXPECT_EQ(dialog.TabText(kTabs, 2), "Controller 3");
    EXPECT_TRUE(dialog.SetTabText(kTabs, 2, "Controller 4"));
    EXPECT_FALSE(dialog.SetTabText(kTabs, 3, "nothing"));
    EXPECT_EQ(dialog.TabText(kTabs, 2), "Controller 4");
    dialog.SelectTab(kTabs, 2);
    EXPECT_EQ(dialog.SelectedTab(kTabs), 2);
    EXPECT_TRUE(dialog.DeleteTab(kTabs, 0));
    EXPECT_FALSE(dialog.DeleteTab(kTabs, 5));
    EXPECT_EQ(dialog.TabCount(kTabs), 2);
    EXPECT_EQ(dialog.TabText(kTabs, 0), "Controller 2");
    dialog.DeleteAllTabs(kTabs);
    EXPECT_EQ(dialog.TabCount(kTabs), 0);
    EXPECT_TRUE(dialog.log.empty());
}

TEST_F(DialogControlsTest, OnlyTheUserChangingTheTabNotifies) {
    dialog.InsertTab(kTabs, 0, "A");
    dialog.InsertTab(kTabs, 1, "B");
    dialog.SelectTab(kTabs, 1);
    EXPECT_TRUE(dialog.log.empty());
    EXPECT_TRUE(dialog.UserSelectTab(kTabs, 0));
    EXPECT_TRUE(dialog.UserSelectTab(kTabs, 0));  // already selected: no change
    EXPECT_FALSE(dialog.UserSelectTab(kTabs, 7));
    EXPECT_EQ(dialog.SelectedTab(kTabs), 0);
    EXPECT_EQ(dialog.log, (std::vector<Notification>{{"selchange", kTabs}}));
    // A real click on the other tab.
    dialog.show();
    auto* bar = qobject_cast<QTabBar*>(dialog.item(kTabs));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
    EXPECT_EQ(dialog.SelectedTab(kTabs), 1);
    EXPECT_EQ(dialog.Count("selchange"), 2);
}

TEST_F(DialogControlsTest, TrackbarRangeTicksAndPosition) {
    dialog.SetRange(kPriority, 0, 100);
    dialog.SetTickFrequency(kPriority, 10);
    dialog.SetPos(kPriority, 40);
    EXPECT_EQ(dialog.Pos(kPriority), 40);
    dialog.SetPos(kPriority, 140);
    EXPECT_EQ(dialog.Pos(kPriority), 100);
    auto* slider = qobject_cast<QSlider*>(dialog.item(kPriority));
    EXPECT_EQ(slider->tickInterval(), 10);
    dialog.SetRange(kPriority, 0, 50);  // clamps the position, silently
    EXPECT_EQ(dialog.Pos(kPriority), 50);
    EXPECT_TRUE(dialog.log.empty());

    EXPECT_TRUE(dialog.UserMoveTrackbar(kPriority, 20));
    EXPECT_EQ(dialog.Pos(kPriority), 20);
    EXPECT_EQ(dialog.log, (std::vector<Notification>{{"scroll", kPriority}}));
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a real user step
    EXPECT_EQ(dialog.Count("scroll"), 2);
    EXPECT_FALSE(dialog.UserMoveTrackbar(kProgress, 1));
}

TEST_F(DialogControlsTest, ProgressBarRangeAndPosition) {
    dialog.SetRange(kProgress, 0, 200);
    dialog.SetPos(kProgress, 150);
    EXPECT_EQ(dialog.Pos(kProgress), 150);
    dialog.SetPos(kProgress, 250);
    EXPECT_EQ(dialog.Pos(kProgress), 200);
    dialog.SetPos(kProgress, -5);
    EXPECT_EQ(dialog.Pos(kProgress), 0);
    EXPECT_FALSE(qobject_cast<QProgressBar*>(dialog.item(kProgress))->isTextVisible());
}

TEST_F(DialogControlsTest, ChecksAndRadioGroups) {
    dialog.SetCheck(kAutoconnect, true);
    EXPECT_TRUE(dialog.GetCheck(kAutoconnect));
    EXPECT_TRUE(dialog.log.empty());
    EXPECT_TRUE(dialog.ClickItem(kAutoconnect));
    EXPECT_FALSE(dialog.GetCheck(kAutoconnect));
    EXPECT_EQ(dialog.log, (std::vector<Notification>{{"command", kAutoconnect}}));

    // Low and High form one group; Other, after a non-radio control, another.
    dialog.SetCheck(kOther, true);
    dialog.ClickItem(kLow);
    dialog.ClickItem(kHigh);
    EXPECT_FALSE(dialog.GetCheck(kLow));
    EXPECT_TRUE(dialog.GetCheck(kHigh));
    EXPECT_TRUE(dialog.GetCheck(kOther));
    // The program may clear every button of a group.
    dialog.SetCheck(kHigh, false);
    EXPECT_FALSE(dialog.GetCheck(kHigh));
    EXPECT_FALSE(dialog.GetCheck(kLow));
    EXPECT_FALSE(dialog.GetCheck(kConnect));
}

TEST_F(DialogControlsTest, ClickingButtons) {
    EXPECT_TRUE(dialog.ClickItem(kConnect));
    EXPECT_FALSE(dialog.ClickItem(kDisconnect));  // disabled
    EXPECT_FALSE(dialog.ClickItem(kHost));        // not a button
    EXPECT_EQ(dialog.log, (std::vector<Notification>{{"command", kConnect}}));
}

TEST_F(DialogControlsTest, OkAndCancelEndTheDialogByDefault) {
    struct Row {
        int id;
        int result;
    };
    for (const Row row : {Row{IDOK, 1}, Row{IDCANCEL, 2}}) {
        SampleDialog d;
        d.show();
        d.onCommand = nullptr;
        if (row.id == IDOK) {
            EXPECT_TRUE(d.ClickItem(kEnde));  // the hidden button with id 1
        } else {
            d.reject();
        }
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), row.result);
    }
}

TEST_F(DialogControlsTest, CloseButtonGoesThroughOnClose) {
    dialog.show();
    dialog.onCommand = [](int) {};  // the dialog refuses to end
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.log.back(), (Notification{"command", IDCANCEL}));
    dialog.onCommand = nullptr;
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(dialog.Count("close"), 2);
}

TEST_F(DialogControlsTest, InitDialogRunsOnceBeforeTheFirstShow) {
    dialog.Initialize();
    dialog.show();
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.Count("init"), 1);
}

TEST_F(DialogControlsTest, PictureAndScreenshot) {
    QImage image(20, 10, QImage::Format_ARGB32);
    image.fill(Qt::red);
    dialog.SetPicture(kPicture, image);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("dialog.png")).toStdString();
    ASSERT_TRUE(SavePng(dialog, path));
    const QImage saved(QString::fromStdString(path));
    EXPECT_EQ(saved.size(), dialog.size());
    EXPECT_FALSE(SavePng(dialog, "/nonexistent-folder/x.png"));
}

}  // namespace
}  // namespace veltrix::platform::testing
