// The session on its own, with no window and no widgets: a core application, the
// simulated service, a manual clock and scripted answers.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <future>
#include <memory>
#include <thread>
#include <utility>

#include "servicesim/scenario_builders.h"
#include "support/session_fixture.h"

namespace veltrix::testing {
namespace {

class SessionTest : public SessionFixture<> {
  protected:
    // Everything asked of the session so far has run and its signals were delivered.
    void Settle() {
        session_->Sync();
        QCoreApplication::sendPostedEvents();
    }
};

TEST_F(SessionTest, ConnectsEnumeratesAndPollsWithoutAWindow) {
    StartSession(sim::TwoControllerScenario());
    QSignalSpy Connected(session_.get(), &ServiceSession::Connected);
    QSignalSpy Enumerated(session_.get(), &ServiceSession::Enumerated);
    QSignalSpy polled(session_.get(), &ServiceSession::EventsHandled);
    session_->Connect(service_->host(), "kavo");
    Settle();

    ASSERT_EQ(Connected.count(), 1);
    ASSERT_EQ(Enumerated.count(), 1);
    EXPECT_EQ(Enumerated[0][1].toInt(), 2);
    const auto table = Enumerated[0][0].value<TableSnapshot>();
    ASSERT_NE(table, nullptr);
    EXPECT_NE(table->GetController(1), nullptr);
    EXPECT_TRUE(questions_.messages.empty());

    for (const int ms : {500, 5000, 5000}) {
        clock_.Advance(ms);
        Settle();
    }
    EXPECT_EQ(polled.count(), 3);
    EXPECT_TRUE(session_->IsTimerSet(SessionTimer::Poll));
    // Nobody moved a slider: the first set's rebuild priority (40) is left as it is.
    for (const sim::TranscriptEntry& entry : service_->sim().Transcript()) {
        EXPECT_NE(entry.code, SET_REBUILD_PRIORITY);
    }
}

// The snapshots are copies: what the session changes later never reaches a table
// the window holds.
TEST_F(SessionTest, SnapshotsAreCopies) {
    StartSession(sim::TwoControllerScenario());
    QSignalSpy Enumerated(session_.get(), &ServiceSession::Enumerated);
    session_->Connect(service_->host(), "kavo");
    Settle();
    ASSERT_EQ(Enumerated.count(), 1);
    const auto table = Enumerated[0][0].value<TableSnapshot>();
    session_->Disconnect();
    Settle();
    EXPECT_EQ(session_->Table().ObjectCount(), 0u);
    EXPECT_NE(table->ObjectCount(), 0u);
}

TEST_F(SessionTest, ShutdownLogsOffAndEndsTheThread) {
    StartSession(sim::TwoControllerScenario());
    session_->Connect(service_->host(), "kavo");
    Settle();
    EXPECT_TRUE(session_->Shutdown());
    EXPECT_TRUE(service_->sim().WaitForCode(LOGOFF, std::chrono::seconds(5)).has_value());
    EXPECT_TRUE(session_->Shutdown()) << "a second time does nothing";
}

// A service that cannot send a reply cut short drops the connection before the logoff.
TEST_F(SessionTest, ShutdownWhileAReplyIsOnItsWayStillLogsOff) {
    StartSession(sim::TwoControllerScenario());
    session_->Connect(service_->host(), "kavo");
    Settle();
    std::promise<void> received;
    bool first = true;  // the service's thread only
    service_->sim().SetMessageObserver([&](const sim::TranscriptEntry&) {
        if (std::exchange(first, false)) {
            received.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(40));  // replies late
        }
    });
    ServiceConfig config;
    session_->Converse([&](ServiceLink&, StatusRequests& r) { r.RequestServiceConfig(config); });
    ASSERT_EQ(received.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(session_->Shutdown());
    EXPECT_TRUE(service_->sim().WaitForCode(LOGOFF, std::chrono::seconds(5)).has_value());
    service_->sim().SetMessageObserver(nullptr);
}

// A conversation of its own runs after what was asked before, with the logged-in
// link; while a BIOS update holds the channel it is turned away.
TEST_F(SessionTest, ConverseRunsInOrderAndIsTurnedAwayWhileTheChannelIsHeld) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.logFileName = "C:\\kavo.log";
    StartSession(scenario);
    session_->Connect(service_->host(), "kavo");
    std::string logFile;
    bool busy = false;
    session_->Converse([&](ServiceLink&, StatusRequests& requests) {
        ServiceConfig config;
        requests.RequestServiceConfig(config);
        logFile = config.LogFileNameText();
    });
    Settle();
    EXPECT_EQ(logFile, "C:\\kavo.log");

    session_->Link().flashBusy = true;
    bool ran = false;
    session_->Converse([&](ServiceLink&, StatusRequests&) { ran = true; }, [&] { busy = true; });
    Settle();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(busy);
    session_->Link().flashBusy = false;
}

// A password the service refuses is not tried again by itself: the automatic tries end
// with the refusal, and the user's own connect still shows its box.
TEST_F(SessionTest, ARefusedPasswordEndsTheAutomaticTries) {
    StartSession(sim::TwoControllerScenario());
    QSignalSpy refused(session_.get(), &ServiceSession::LoginRefused);
    QObject::connect(
        session_.get(), &ServiceSession::ReconnectDue, session_.get(),
        [this] { session_->Connect(service_->host(), "wrong"); }, Qt::DirectConnection);
    session_->SetAutoConnect(true);
    session_->ArmReconnect(3000);
    Settle();
    clock_.Advance(3000);
    Settle();
    EXPECT_EQ(refused.count(), 1);
    EXPECT_FALSE(session_->IsTimerSet(SessionTimer::Reconnect));
    EXPECT_TRUE(questions_.messages.empty());

    session_->Connect(service_->host(), "wrong");
    Settle();
    EXPECT_EQ(refused.count(), 2);
    EXPECT_EQ(questions_.messages.size(), 1u);
    EXPECT_FALSE(session_->IsTimerSet(SessionTimer::Reconnect));
}

}  // namespace
}  // namespace veltrix::testing
