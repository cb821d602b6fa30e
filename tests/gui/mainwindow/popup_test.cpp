// Popups: the queue in arrival order, and the presenter that shows one box at a time
// without blocking the pusher.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <QMessageBox>
#include <optional>
#include <vector>

#include "gui/mainwindow/popup_presenter.h"
#include "gui/mainwindow/popup_queue.h"
#include "gui/platform/control_id.h"
#include "gui/platform/qt_user_interface.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

TEST(PopupPresenter, ShowsOneBoxAtATimeInArrivalOrder) {
    PopupQueue queue;
    PopupPresenter presenter(queue, nullptr);
    queue.Push("Controller No.:0  Port:1\nDevice lost.", Severity::Error);
    queue.Push("NO RESPONSE", Severity::Warning);
    QApplication::processEvents();

    QMessageBox* first = presenter.Current();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), "Controller No.:0  Port:1\nDevice lost.");
    EXPECT_EQ(first->icon(), QMessageBox::Critical);
    EXPECT_FALSE(first->isModal()) << "the window and the poll cycle go on";
    EXPECT_EQ(queue.Size(), 1u) << "the second waits for the first";

    first->accept();
    QApplication::processEvents();
    QMessageBox* second = presenter.Current();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text(), "NO RESPONSE");
    EXPECT_EQ(second->icon(), QMessageBox::Warning);
    second->accept();
    QApplication::processEvents();
    EXPECT_EQ(presenter.Current(), nullptr);
}

// Closes every box the presenter opens; returns the texts in the order shown.
std::vector<QString> CloseAll(PopupPresenter& presenter) {
    std::vector<QString> shown;
    QApplication::processEvents();
    while (QMessageBox* box = presenter.Current()) {
        shown.push_back(box->text());
        box->accept();
        QApplication::processEvents();
    }
    return shown;
}

// While the first box is open the rest wait; more than three of them become one box.
TEST(PopupPresenter, SumsUpWhatWaitedBehindABox) {
    struct Case {
        int pushed;
        std::vector<QString> expected;
    };
    const std::vector<Case> cases = {
        {1, {"e0"}},
        {4, {"e0", "e1", "e2", "e3"}},
        {5, {"e0", "4 more events \u2014 see the event log"}},
        {300, {"e0", "299 more events \u2014 see the event log"}},
        {2500, {"e0", "2499 more events \u2014 see the event log"}},
    };
    for (const Case& c : cases) {
        PopupQueue queue;
        PopupPresenter presenter(queue, nullptr);
        queue.Push("e0", Severity::Information);
        QApplication::processEvents();
        for (int i = 1; i < c.pushed; ++i) {
            queue.Push("e" + std::to_string(i),
                       i == c.pushed / 2 ? Severity::Error : Severity::Information);
        }
        ASSERT_NE(presenter.Current(), nullptr);
        EXPECT_EQ(CloseAll(presenter), c.expected) << c.pushed;
    }
}

// The summary carries the most serious severity among what it sums up, also of the
// messages beyond what the queue keeps.
TEST(PopupQueue, SummaryTakesTheWorstSeverityAndTheQueueStaysBounded) {
    PopupQueue queue;
    for (std::size_t i = 0; i < PopupQueue::kMaxKept * 3; ++i) {
        queue.Push("x", i == PopupQueue::kMaxKept * 2 ? Severity::Error : Severity::Warning);
    }
    EXPECT_EQ(queue.Size(), PopupQueue::kMaxKept * 3);
    const auto summary = queue.TakeSummary();
    ASSERT_TRUE(summary.has_value());
    EXPECT_EQ(summary->severity, Severity::Error);
    EXPECT_EQ(summary->text, "3000 more events \u2014 see the event log");
    EXPECT_EQ(queue.Size(), 0u);

    for (std::size_t i = 0; i < PopupQueue::kMaxKept + 2; ++i) {
        queue.Push(std::to_string(i), Severity::Information);
    }
    std::size_t popped = 0;
    std::optional<PopupEntry> last;
    while (auto entry = queue.Pop()) {
        ++popped;
        last = entry;
    }
    EXPECT_EQ(popped, PopupQueue::kMaxKept + 1) << "the kept ones, then one for the rest";
    EXPECT_EQ(last->text, "2 more events \u2014 see the event log");
}

// With several hosts a box names its host before the program's name, and the summary
// the hosts it sums up; with one host the title is the program's name alone.
TEST(PopupPresenter, TitlesNameTheHostsOnlyAmongSeveral) {
    const QString program = platform::QtUserInterface::Title();
    struct Case {
        std::vector<std::string> hosts;  // of the pushed messages, in order
        std::vector<QString> titles;
    };
    const std::vector<Case> cases = {
        {{"", ""}, {program, program}},
        {{"nas", "db-1"}, {"nas \u2014 " + program, "db-1 \u2014 " + program}},
        {{"", "", "", "", ""}, {program, program}},
        {{"nas", "db-1", "nas", "db-1", "web"},
         {"nas \u2014 " + program, "db-1, nas, web \u2014 " + program}},
    };
    for (const Case& c : cases) {
        PopupQueue queue;
        PopupPresenter presenter(queue, nullptr);
        for (const std::string& host : c.hosts) {
            queue.Push("Device lost.", Severity::Error, host);
        }
        std::vector<QString> titles;
        QApplication::processEvents();
        while (QMessageBox* box = presenter.Current()) {
            titles.push_back(box->windowTitle());
            box->accept();
            QApplication::processEvents();
        }
        EXPECT_EQ(titles, c.titles) << c.hosts.size();
    }
}

// 300 "Spare Drive accessed" events in one poll with popups on for all events: two
// boxes, and every event in the event log.
TEST_F(MainWindowTest, ABurstOfEventsGivesTwoBoxesAndEveryLine) {
    StartConnectedWithEveryPopup();
    PopupPresenter presenter(window().Popups(), nullptr);
    const QAbstractItemModel* log =
        platform::FindControl<QListView>(window(), control_id::kEventLog)->model();
    const int before = log->rowCount();
    for (int i = 0; i < 300; ++i) {
        sim().PushEvent({.controller = 0, .code = EVENT_SPARE_ACCESSED});
    }
    Tick();
    EXPECT_EQ(log->rowCount() - before, 300);
    const std::vector<QString> shown = CloseAll(presenter);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], "299 more events \u2014 see the event log");
}

}  // namespace
}  // namespace veltrix::testing
