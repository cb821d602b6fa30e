// A conversation job: its work runs on the session's thread, its end comes back on the
// job's thread, a busy channel is a result, and a receiver that went first misses it
// while the job still goes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <memory>
#include <optional>

#include "session/manual_time_source.h"
#include "support/recording_ui.h"
#include "watch/conversation_job.h"
#include "watch/host_monitor.h"

namespace veltrix::testing {
namespace {

using Outcome = ConversationResult::Outcome;

struct JobCase {
    const char* name;
    bool channelHeld;                 // a BIOS update holds the channel when the job starts
    bool receiverGone;                // the receiver is deleted before the result arrives
    std::optional<Outcome> expected;  // nullopt: the receiver hears nothing
};

TEST(ConversationJobTest, EndsOnTheJobsThreadWithItsResult) {
    const JobCase cases[] = {
        {"done", false, false, Outcome::Done},
        {"busy", true, false, Outcome::Busy},
        {"receiver gone", false, true, std::nullopt},
    };
    ManualTimeSource clock;
    RecordingUi questions;
    HostMonitor monitor(questions, &clock);
    for (const JobCase& c : cases) {
        SCOPED_TRACE(c.name);
        monitor.Session().Sync();
        monitor.Session().Link().flashBusy = c.channelHeld;
        QThread* workThread = nullptr;
        QThread* endThread = nullptr;
        std::optional<ConversationResult> heard;
        auto receiver = std::make_unique<QObject>();
        QPointer<ConversationJob> job = ConversationJob::Start(
            monitor,
            [&](ServiceLink&, StatusRequests&) {
                workThread = QThread::currentThread();
                return ConversationResult::Read(42);
            },
            77);
        QObject::connect(job, &ConversationJob::Finished, receiver.get(),
                         [&](const ConversationResult& result) {
                             endThread = QThread::currentThread();
                             heard = result;
                         });
        if (c.receiverGone) {
            receiver.reset();
        }
        monitor.Session().Sync();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        monitor.Session().Link().flashBusy = false;

        EXPECT_TRUE(job.isNull()) << "the job deletes itself after its end";
        ASSERT_EQ(heard.has_value(), c.expected.has_value());
        if (!heard) {
            continue;
        }
        EXPECT_EQ(endThread, QThread::currentThread());
        EXPECT_EQ(heard->outcome, *c.expected);
        if (heard->IsBusy()) {
            EXPECT_EQ(workThread, nullptr) << "nothing runs while the channel is held";
            EXPECT_EQ(heard->site, 77);
            EXPECT_NE(heard->ErrorMessage().find("77"), std::string::npos);
        } else {
            EXPECT_NE(workThread, QThread::currentThread());
            EXPECT_EQ(heard->payload.toInt(), 42);
            EXPECT_TRUE(heard->ErrorMessage().empty());
        }
    }
}

}  // namespace
}  // namespace veltrix::testing
