// Sleep and resume through the login manager: python-dbusmock's logind on a private
// system bus, the main window logged in to the simulated service. The sleep delay
// lock is held while logged in, given back only after the logoff is on the wire (or
// after its bound), and taken again by the reconnect after resume.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <iostream>

#include "gui/shell/sleep_watcher.h"
#include "support/main_window_fixture.h"
#include "support/private_buses.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

struct Inhibitor {
    QString what, who, why, mode;
};

class SleepTest : public MainWindowTest {
  protected:
    void SetUp() override {
        std::string whyNot;
        if (PrivateBuses::Get(whyNot) == nullptr) {
            GTEST_SKIP() << whyNot;
        }
        logind_ = std::make_unique<DbusMock>("logind", true, kLogin,
                                             QStringLiteral("/org/freedesktop/login1"));
        ASSERT_TRUE(logind_->ready()) << "python3-dbusmock's logind";
        Start(sim::TwoControllerScenario());
        watcher_ = window().findChild<shell::SleepWatcher*>();
        ASSERT_NE(watcher_, nullptr);
        ASSERT_TRUE(watcher_->IsListening());
    }

    // The delay locks the login manager holds now.
    std::vector<Inhibitor> Inhibitors() const {
        std::vector<Inhibitor> out;
        const QVariantList reply = logind_->CallMethod(kManager, QStringLiteral("ListInhibitors"));
        if (reply.isEmpty()) {
            return out;
        }
        const auto list = reply.front().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            Inhibitor inhibitor;
            uint uid = 0;
            uint pid = 0;
            list.beginStructure();
            list >> inhibitor.what >> inhibitor.who >> inhibitor.why >> inhibitor.mode >> uid >>
                pid;
            list.endStructure();
            out.push_back(inhibitor);
        }
        list.endArray();
        return out;
    }

    // Runs the event loop until `done` (5 s at most); whether it came.
    template <typename Done>
    static bool PumpUntil(Done done, std::chrono::milliseconds bound = 5s) {
        const QDeadlineTimer deadline(bound);
        while (!done()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents();
            QThread::usleep(200);
        }
        return true;
    }

    bool PrepareForSleep(bool start) const {
        return logind_->EmitSignal(kManager, QStringLiteral("PrepareForSleep"), QStringLiteral("b"),
                                   {start}, false);
    }

    // Keeps the session busy (as a long exchange would) until the gate opens.
    std::promise<void> BlockSession() {
        std::promise<void> gate;
        unsettledWindow().Session().Converse(
            [opened = gate.get_future().share()](ServiceLink&, StatusRequests&) {
                opened.wait_for(10s);
            });
        return gate;
    }

    // Resumes and waits for the reconnect 15 s later, which takes the lock again.
    void ResumeAndReconnect() {
        ASSERT_TRUE(PrepareForSleep(false));
        ASSERT_TRUE(PumpUntil([this] { return !unsettledWindow().Monitor().IsConnected(); }));
        EXPECT_TRUE(Inhibitors().empty());
        clock.Advance(15000);
        Settle();
        ASSERT_TRUE(window().Monitor().IsConnected());
        ASSERT_TRUE(PumpUntil([this] { return Inhibitors().size() == 1; })) << "taken again";
    }

    std::unique_ptr<DbusMock> logind_;
    shell::SleepWatcher* watcher_ = nullptr;
};

// The lock comes with the login and goes with the disconnect; at sleep it waits for
// the session, which is busy, and goes only after the logoff was written.
TEST_F(SleepTest, LockIsGivenBackOnlyAfterTheLogoff) {
    EXPECT_TRUE(Inhibitors().empty()) << "not logged in";
    Connect();
    ASSERT_TRUE(PumpUntil([this] { return Inhibitors().size() == 1; }));
    const Inhibitor lock = Inhibitors().front();
    EXPECT_EQ(lock.what, QStringLiteral("sleep"));
    EXPECT_EQ(lock.mode, QStringLiteral("delay"));
    EXPECT_EQ(lock.who, QStringLiteral("Veltrix Test"));

    int releases = 0;
    bool logoffBeforeRelease = false;
    QObject::connect(watcher_, &shell::SleepWatcher::LockReleased, [&] {
        ++releases;
        logoffBeforeRelease = sim().WaitForCode(LOGOFF, 5s).has_value();
    });
    sim().ClearTranscript();
    std::promise<void> gate = BlockSession();
    ASSERT_TRUE(PrepareForSleep(true));
    ASSERT_TRUE(PumpUntil([&] { return watcher_->IsSuspending() || releases > 0; }));
    PumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(releases, 0) << "the session has not logged off yet";
    EXPECT_EQ(Inhibitors().size(), 1u);
    EXPECT_FALSE(sim().WaitForCode(LOGOFF, 0ms).has_value());

    gate.set_value();
    ASSERT_TRUE(PumpUntil([&] { return releases == 1; }));
    EXPECT_TRUE(logoffBeforeRelease);
    EXPECT_TRUE(Inhibitors().empty());
    EXPECT_TRUE(session().State().pipeClosedBySuspend);

    ResumeAndReconnect();
    EXPECT_EQ(sim().ConnectionsAccepted(), 2u);
    Click(control_id::kDisconnect);
    EXPECT_TRUE(PumpUntil([this] { return Inhibitors().empty(); })) << "given back at logoff";
}

// A session that does not report holds the sleep back no longer than the bound; its
// logoff follows when it can.
TEST_F(SleepTest, BoundGivesTheLockBackWhenTheSessionDoesNotReport) {
    Connect();
    ASSERT_TRUE(PumpUntil([this] { return Inhibitors().size() == 1; }));
    watcher_->SetSuspendBound(200);
    std::promise<void> gate = BlockSession();
    ASSERT_TRUE(PrepareForSleep(true));
    EXPECT_TRUE(PumpUntil([this] { return !watcher_->HoldsLock(); }));
    EXPECT_TRUE(PumpUntil([this] { return Inhibitors().empty(); }));
    EXPECT_FALSE(sim().WaitForCode(LOGOFF, 0ms).has_value());
    gate.set_value();
    EXPECT_TRUE(sim().WaitForCode(LOGOFF, 5s).has_value());
}

// Suspend and resume several times: each sleep gets its logoff and each wake-up its
// reconnect. Prints the time from PrepareForSleep(true) leaving the test to the
// LOGOFF reaching the service.
TEST_F(SleepTest, EverySleepLogsOffAndEveryWakeUpReconnects) {
    std::atomic<std::int64_t> logoffAt{0};
    sim().SetMessageObserver([&logoffAt](const sim::TranscriptEntry& entry) {
        if (entry.code == LOGOFF) {
            logoffAt = std::chrono::steady_clock::now().time_since_epoch().count();
        }
    });
    Connect();
    ASSERT_TRUE(PumpUntil([this] { return Inhibitors().size() == 1; }));
    std::vector<double> latenciesMs;
    for (int run = 0; run < 9; ++run) {
        logoffAt = 0;
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_TRUE(PrepareForSleep(true));
        ASSERT_TRUE(PumpUntil([&] { return logoffAt != 0; })) << run;
        latenciesMs.push_back(
            std::chrono::duration<double, std::milli>(
                std::chrono::steady_clock::duration(logoffAt.load()) - sent.time_since_epoch())
                .count());
        ASSERT_TRUE(PumpUntil([this] { return !watcher_->HoldsLock(); })) << run;
        ResumeAndReconnect();
    }
    sim().SetMessageObserver({});
    std::sort(latenciesMs.begin(), latenciesMs.end());
    std::cout << "PrepareForSleep(true) to LOGOFF at the service: median "
              << latenciesMs[latenciesMs.size() / 2] << " ms (" << latenciesMs.front() << " to "
              << latenciesMs.back() << " ms, " << latenciesMs.size() << " runs)\n";
    RecordProperty("prepare_for_sleep_to_logoff_median_ms",
                   std::to_string(latenciesMs[latenciesMs.size() / 2]));
    EXPECT_EQ(sim().ConnectionsAccepted(), 10u);
}

}  // namespace
}  // namespace veltrix::testing
