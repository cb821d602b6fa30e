// The window driver on a dialog built here, hidden and shown: what it reads, what its
// user actions send, and when it refuses or fails the test.

#include "support/window_driver.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "gui/platform/control_id.h"

namespace veltrix::testing {
namespace {

using platform::SetControlId;

// Control ids, then menu ids.
constexpr int kLabel = 1018, kEdit = 1004, kButton = 1001, kDisabled = 1003, kHidden = 1,
              kCheck = 1020, kGroup = 1080, kInGroup = 1043, kCombo = 1030, kTabs = 1066,
              kSlider = 1056, kProgress = 1050, kTree = 1067, kList = 1070, kMissing = 4242;
constexpr int kToggle = 32800, kGreyed = 32779;

constexpr int kTreeRows = 40;  // more than the view shows: the last needs scrolling

template <typename T>
T* Add(QLayout& layout, int id, T* control) {
    SetControlId(control, id);
    layout.addWidget(control);
    return control;
}

class WindowDriverTest : public ::testing::TestWithParam<bool> {
  protected:
    WindowDriverTest() {
        auto* layout = new QVBoxLayout(&window);
        layout->setMenuBar(new QMenuBar);
        QMenu* menu = static_cast<QMenuBar*>(layout->menuBar())->addMenu("File");
        for (const int id : {kToggle, kGreyed}) {
            SetControlId(menu->addAction(QString::number(id)), id);
        }
        driver.Control<QAction>(kToggle)->setCheckable(true);
        driver.Control<QAction>(kGreyed)->setEnabled(false);

        Add(*layout, kLabel, new QLabel("RX-Oak\t4P"));
        Add(*layout, kEdit, new QLineEdit("host"));
        button = Add(*layout, kButton, new QPushButton("Connect"));
        Add(*layout, kDisabled, new QPushButton("Off"))->setEnabled(false);
        Add(*layout, kHidden, new QPushButton("ENDE"))->hide();
        Add(*layout, kCheck, new QCheckBox("Auto"));
        group = Add(*layout, kGroup, new QGroupBox("Information"));
        Add(*new QVBoxLayout(group), kInGroup, new QPushButton("Inner"));
        Add(*layout, kCombo, new QComboBox)->addItems({"low", "high"});
        tabs = Add(*layout, kTabs, new QTabBar);
        for (const char* text : {"RX-Oak", "RX-Pine", "RX-Elm"}) {
            tabs->addTab(text);
        }
        tabs->setTabEnabled(2, false);
        slider = Add(*layout, kSlider, new QSlider(Qt::Horizontal));
        slider->setRange(0, 100);
        Add(*layout, kProgress, new QProgressBar)->setValue(40);
        tree = Add(*layout, kTree, new QTreeWidget);
        tree->setColumnCount(4);
        for (int i = 0; i < kTreeRows; ++i) {
            tree->addTopLevelItem(new QTreeWidgetItem(
                QStringList{QString::number(i), "KV-500", "232 GB", i == 1 ? "" : "Current"}));
        }
        // As the main window does: a second click on the selected row deselects it.
        QObject::connect(tree, &QTreeWidget::itemClicked, [this](QTreeWidgetItem* item) {
            ++clicks;
            lastClicked = item == lastClicked ? (tree->clearSelection(), nullptr) : item;
        });
        Add(*layout, kList, new QListWidget)->addItems({"first\tline", "second"});
        if (GetParam()) {
            window.show();
        }
    }

    QDialog window;
    WindowDriver driver{window};
    QPushButton* button;
    QGroupBox* group;
    QTabBar* tabs;
    QSlider* slider;
    QTreeWidget* tree;
    QTreeWidgetItem* lastClicked = nullptr;
    int clicks = 0;
};

INSTANTIATE_TEST_SUITE_P(HiddenAndShown, WindowDriverTest, ::testing::Bool());

TEST_P(WindowDriverTest, ReadsTextsRowsAndFlags) {
    const std::pair<int, std::string> texts[] = {
        {kLabel, "RX-Oak\t4P"},  {kEdit, "host"}, {kButton, "Connect"}, {kCheck, "Auto"},
        {kGroup, "Information"}, {kCombo, "low"}, {kTree, ""}};
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(driver.ItemText(id), text) << id;
    }
    EXPECT_EQ(driver.Row(kTree, 0), "0\tKV-500\t232 GB\tCurrent");
    EXPECT_EQ(driver.Row(kTree, 1), "1\tKV-500\t232 GB\t") << "an empty last column";
    EXPECT_EQ(driver.Row(kTree, kTreeRows), "");
    EXPECT_EQ(driver.RowCount(kTree), kTreeRows);
    EXPECT_EQ(driver.SelectedRow(kTree), -1);
    EXPECT_EQ(driver.Rows(kList), (std::vector<std::string>{"first\tline", "second"}));
    EXPECT_EQ(driver.Rows(kCombo), (std::vector<std::string>{"low", "high"}));
    EXPECT_EQ(driver.Pos(kProgress), 40);
    EXPECT_FALSE(driver.IsItemShown(kHidden));
    EXPECT_FALSE(driver.IsItemEnabled(kDisabled));
    group->setEnabled(false);
    EXPECT_TRUE(driver.IsItemEnabled(kInGroup)) << "the control's own flag";
    EXPECT_FALSE(driver.IsMenuItemEnabled(kGreyed));
}

TEST_P(WindowDriverTest, ClicksOnlyWhatTheUserCouldClick) {
    QSignalSpy clicked(button, &QPushButton::clicked);
    EXPECT_TRUE(driver.ClickItem(kButton));
    EXPECT_TRUE(driver.ClickItem(kCheck));
    EXPECT_TRUE(driver.Control<QCheckBox>(kCheck)->isChecked());
    group->hide();
    button->setEnabled(false);
    for (const int id : {kDisabled, kHidden, kInGroup, kButton}) {
        EXPECT_FALSE(driver.ClickItem(id)) << id;
    }
    group->show();
    group->setEnabled(false);
    EXPECT_FALSE(driver.ClickItem(kInGroup)) << "inside a disabled group";
    EXPECT_EQ(clicked.count(), 1);
}

TEST_P(WindowDriverTest, RowClicksRunTheViewsSelectionAndReachTheWindowEachTime) {
    QSignalSpy selection(tree, &QTreeWidget::itemSelectionChanged);
    QSignalSpy current(tree, &QTreeWidget::currentItemChanged);
    for (const int row : {2, kTreeRows - 1}) {
        ASSERT_TRUE(driver.UserSelectRow(kTree, row));
        EXPECT_EQ(driver.SelectedRow(kTree), row);
    }
    EXPECT_EQ(selection.count(), 2);
    EXPECT_EQ(current.count(), 2);
    ASSERT_TRUE(driver.UserSelectRow(kTree, kTreeRows - 1));
    EXPECT_EQ(clicks, 3) << "the selected row again still reaches the window";
    EXPECT_EQ(driver.SelectedRow(kTree), -1);
    ASSERT_TRUE(driver.UserSelectRow(kTree, -1));
    EXPECT_EQ(clicks, 3) << "empty space is no row";

    ASSERT_TRUE(driver.UserSelectRow(kList, 1));
    EXPECT_EQ(driver.SelectedRow(kList), 1);
    QSignalSpy activated(driver.Control<QComboBox>(kCombo), &QComboBox::activated);
    ASSERT_TRUE(driver.UserSelectRow(kCombo, 1));
    EXPECT_EQ(driver.SelectedRow(kCombo), 1);
    EXPECT_EQ(activated.count(), 1);
}

TEST_P(WindowDriverTest, RowSelectionsTheUserCannotMake) {
    EXPECT_FALSE(driver.UserSelectRow(kTree, kTreeRows));
    EXPECT_FALSE(driver.UserSelectRow(kCombo, -1));
    tree->setEnabled(false);
    EXPECT_FALSE(driver.UserSelectRow(kTree, 0));
    tree->setEnabled(true);
    tree->hide();
    EXPECT_FALSE(driver.UserSelectRow(kTree, 0));
    EXPECT_EQ(driver.SelectedRow(kTree), -1);
    EXPECT_EQ(clicks, 0);
}

TEST_P(WindowDriverTest, TabsTrackbarAndMenu) {
    QSignalSpy changed(tabs, &QTabBar::currentChanged);
    QSignalSpy tabClicks(tabs, &QTabBar::tabBarClicked);
    EXPECT_EQ(driver.TabText(kTabs, 1), "RX-Pine");
    ASSERT_TRUE(driver.UserSelectTab(kTabs, 1));
    ASSERT_TRUE(driver.UserSelectTab(kTabs, 1));
    EXPECT_FALSE(driver.UserSelectTab(kTabs, 2)) << "disabled tab";
    EXPECT_FALSE(driver.UserSelectTab(kTabs, 3));
    EXPECT_EQ(driver.SelectedTab(kTabs), 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(tabClicks.count(), 2);

    std::vector<std::string> seen;
    QObject::connect(slider, &QSlider::sliderPressed, [&] { seen.push_back("pressed"); });
    QObject::connect(slider, &QSlider::valueChanged, [&](int) { seen.push_back("value"); });
    QObject::connect(slider, &QSlider::sliderReleased, [&] { seen.push_back("released"); });
    ASSERT_TRUE(driver.UserMoveTrackbar(kSlider, 300));
    EXPECT_EQ(seen, (std::vector<std::string>{"pressed", "value", "released"}));
    EXPECT_EQ(driver.Pos(kSlider), 100);
    slider->setEnabled(false);
    EXPECT_FALSE(driver.UserMoveTrackbar(kSlider, 10));

    EXPECT_TRUE(driver.UserChoose(kToggle));
    EXPECT_TRUE(driver.IsMenuItemChecked(kToggle));
    EXPECT_FALSE(driver.UserChoose(kGreyed));
    driver.Control<QAction>(kToggle)->setVisible(false);
    EXPECT_FALSE(driver.UserChoose(kToggle));
    EXPECT_TRUE(driver.IsMenuItemChecked(kToggle));
}

TEST_P(WindowDriverTest, KeysGoToTheControlTheFocusWidgetOrTheWindow) {
    auto* edit = driver.Control<QLineEdit>(kEdit);
    edit->clear();
    driver.UserPressKey(Qt::Key_H, kEdit);
    edit->setFocus();
    driver.UserPressKey(Qt::Key_1);
    EXPECT_EQ(edit->text(), "h1");
    edit->clearFocus();
    QSignalSpy rejected(&window, &QDialog::rejected);
    driver.UserPressKey(Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
}

TEST_P(WindowDriverTest, AWrongIdOrTypeFailsTheTest) {
    const std::function<void()> calls[] = {
        [&] { driver.ItemText(kMissing); },
        [&] { EXPECT_FALSE(driver.UserChoose(kButton)); },  // a control, not an action
        [&] { EXPECT_FALSE(driver.UserSelectTab(kTree, 0)); },
        [&] { EXPECT_TRUE(driver.Rows(kButton).empty()); },
        [&] { driver.Pos(kLabel); },
        [&] { driver.UserPressKey(Qt::Key_A, kMissing); },
    };
    for (const auto& call : calls) {
        EXPECT_NONFATAL_FAILURE(call(), "");
    }
    SetControlId(new QLabel(&window), kLabel);
    EXPECT_NONFATAL_FAILURE(driver.ItemText(kLabel), "2 controls carry id 1018");
}

// A dialog or view the window owns is a window of its own: its ids may repeat the
// window's.
TEST_P(WindowDriverTest, ControlsOfAnOwnedWindowAreNotTheWindows) {
    auto* owned = new QDialog(&window);
    SetControlId(new QPushButton("Hide", owned), kHidden);
    SetControlId(new QLabel("other", owned), kMissing);
    EXPECT_EQ(driver.ItemText(kHidden), "ENDE");
    EXPECT_NONFATAL_FAILURE(driver.ItemText(kMissing), "no control with id 4242");
}

}  // namespace
}  // namespace veltrix::testing
