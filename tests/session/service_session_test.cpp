// The session on its own, with no window and no widgets: a core application, the
// simulated service, a manual clock and scripted answers.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <memory>

#include "servicesim/scenario_builders.h"
#include "session/manual_time_source.h"
#include "session/service_session.h"
#include "support/recording_ui.h"
#include "support/sim_session.h"

namespace veltrix::testing {
namespace {

class SessionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "session_tests";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }

    void Start(sim::Scenario scenario) {
        service_ = std::make_unique<SimSession>(std::move(scenario), Transport::Local);
        session_ = std::make_unique<ServiceSession>(questions_, &clock_);
    }
    // Everything asked of the session so far has run and its signals were delivered.
    void Settle() {
        session_->Sync();
        QCoreApplication::sendPostedEvents();
    }

    ManualTimeSource clock_;
    RecordingUi questions_;
    std::unique_ptr<SimSession> service_;
    std::unique_ptr<ServiceSession> session_;
};

TEST_F(SessionTest, ConnectsEnumeratesAndPollsWithoutAWindow) {
    Start(sim::TwoControllerScenario());
    QSignalSpy connected(session_.get(), &ServiceSession::Connected);
    QSignalSpy enumerated(session_.get(), &ServiceSession::Enumerated);
    QSignalSpy polled(session_.get(), &ServiceSession::EventsHandled);
    session_->Connect(service_->host(), "kavo");
    Settle();

    ASSERT_EQ(connected.count(), 1);
    ASSERT_EQ(enumerated.count(), 1);
    EXPECT_EQ(enumerated[0][1].toInt(), 2);
    const auto table = enumerated[0][0].value<TableSnapshot>();
    ASSERT_NE(table, nullptr);
    EXPECT_NE(table->GetController(1), nullptr);
    EXPECT_TRUE(questions_.messages.empty());

    clock_.Advance(500);
    Settle();
    EXPECT_EQ(polled.count(), 1);
    EXPECT_TRUE(session_->IsTimerSet(session_timer::kPoll));
}

// The snapshots are copies: what the session changes later never reaches a table
// the window holds.
TEST_F(SessionTest, SnapshotsAreCopies) {
    Start(sim::TwoControllerScenario());
    QSignalSpy enumerated(session_.get(), &ServiceSession::Enumerated);
    session_->Connect(service_->host(), "kavo");
    Settle();
    ASSERT_EQ(enumerated.count(), 1);
    const auto table = enumerated[0][0].value<TableSnapshot>();
    session_->Disconnect();
    Settle();
    EXPECT_EQ(session_->Table().ObjectCount(), 0u);
    EXPECT_NE(table->ObjectCount(), 0u);
}

TEST_F(SessionTest, ShutdownLogsOffAndEndsTheThread) {
    Start(sim::TwoControllerScenario());
    session_->Connect(service_->host(), "kavo");
    Settle();
    EXPECT_TRUE(session_->Shutdown());
    EXPECT_TRUE(service_->sim().waitForCode(LOGOFF, std::chrono::seconds(5)).has_value());
    EXPECT_TRUE(session_->Shutdown()) << "a second time does nothing";
}

// A conversation of its own runs after what was asked before, with the logged-in
// link; while a BIOS update holds the channel it is turned away.
TEST_F(SessionTest, ConverseRunsInOrderAndIsTurnedAwayWhileTheChannelIsHeld) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.logFileName = "C:\\kavo.log";
    Start(scenario);
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

}  // namespace
}  // namespace veltrix::testing
