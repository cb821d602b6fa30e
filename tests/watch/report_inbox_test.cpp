// Reports sent from another thread reach the window's thread in order, a burst in one
// posted event, and a handler's modal loop still gets the later ones.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "watch/report_inbox.h"

namespace veltrix::testing {
namespace {

class EventCounter : public QObject {  // counts the inbox's posted events
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::MetaCall ? 1 : 0;
        return false;
    }
    int count = 0;
};

TEST(ReportInboxTest, ABurstFromAnotherThreadArrivesInOrderInOneEvent) {
    ReportInbox inbox;
    EventCounter posted;
    inbox.installEventFilter(&posted);
    std::vector<std::string> seen;
    std::vector<QObject*> senders;  // each tells its end by its name
    for (const char* name : {"a", "b", "c"}) {
        auto* sender = new QObject;
        inbox.Route(sender, &QObject::destroyed,
                    [&seen, name = std::string(name)](QObject*) { seen.push_back(name); });
        senders.push_back(sender);
    }

    std::thread([&] {
        delete senders[0];
        delete senders[1];
        inbox.Push([&seen] { seen.emplace_back("pushed"); });
        delete senders[2];
    }).join();
    EXPECT_TRUE(seen.empty()) << "nothing runs on the sending thread";
    QCoreApplication::sendPostedEvents(&inbox);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "pushed", "c"}));
    EXPECT_EQ(posted.count, 1);
}

TEST(ReportInboxTest, AModalLoopInAHandlerRunsTheLaterReportsInOrder) {
    ReportInbox inbox;
    std::vector<std::string> seen;
    std::atomic<bool> firstRunning{false};
    inbox.Push([&] {
        seen.emplace_back("first begins");
        firstRunning = true;
        QEventLoop modal;
        while (seen.size() < 3) {
            modal.processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        seen.emplace_back("first ends");
    });
    std::thread sender([&] {
        while (!firstRunning) {
            std::this_thread::yield();
        }
        inbox.Push([&seen] { seen.emplace_back("second"); });
        inbox.Push([&seen] { seen.emplace_back("third"); });
    });
    QCoreApplication::sendPostedEvents(&inbox);
    sender.join();
    QCoreApplication::sendPostedEvents(&inbox);
    EXPECT_EQ(seen, (std::vector<std::string>{"first begins", "second", "third", "first ends"}));
}

}  // namespace
}  // namespace veltrix::testing
