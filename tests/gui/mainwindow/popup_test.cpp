// Popups: the queue in arrival order from any thread, and the presenter that shows one
// box at a time on the GUI thread without blocking the pusher.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <thread>

#include "gui/mainwindow/popup_presenter.h"
#include "gui/mainwindow/popup_queue.h"

namespace veltrix::testing {
namespace {

TEST(PopupQueue, KeepsArrivalOrderAcrossThreadsAndWakesWaiters) {
    PopupQueue queue;
    std::vector<PopupEntry> received;
    std::thread consumer([&] {
        while (auto entry = queue.WaitPop()) {
            received.push_back(*entry);
        }
    });
    std::thread producer([&] {
        for (int i = 0; i < 200; ++i) {
            queue.Push(std::to_string(i), Severity::Warning);
        }
    });
    producer.join();
    queue.Close();  // what is queued is still handed out
    consumer.join();
    ASSERT_EQ(received.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(received[static_cast<std::size_t>(i)].text, std::to_string(i));
    }
    EXPECT_FALSE(queue.WaitPop().has_value()) << "a closed, empty queue does not wait";
}

TEST(PopupPresenter, ShowsOneBoxAtATimeInArrivalOrder) {
    PopupQueue queue;
    PopupPresenter presenter(queue, nullptr);
    std::thread([&] {
        queue.Push("Controller No.:0  Port:1\nDevice lost.", Severity::Error);
        queue.Push("NO RESPONSE", Severity::Warning);
    }).join();
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

TEST(PopupPresenter, NothingOpensOnceTheQueueIsClosed) {
    PopupQueue queue;
    PopupPresenter presenter(queue, nullptr);
    queue.Close();
    queue.Push("late", Severity::Warning);
    QApplication::processEvents();
    EXPECT_EQ(presenter.Current(), nullptr);
}

}  // namespace
}  // namespace veltrix::testing
