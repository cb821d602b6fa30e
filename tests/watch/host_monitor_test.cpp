// A host watched without a window: the monitor holds the session's snapshot and the
// connection's state while it is logged in, lets them go at the logoff, and counts down
// Autoconnect's wait, with no widget anywhere.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <vector>

#include "servicesim/scenario_builders.h"
#include "session/manual_time_source.h"
#include "support/recording_ui.h"
#include "support/sim_session.h"
#include "watch/host_monitor.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

class HostMonitorTest : public ::testing::Test {
  protected:
    void Settle() {
        monitor.Session().Sync();
        QCoreApplication::sendPostedEvents();
    }
    void Login() {
        monitor.Session().Connect(service.host(), "kavo");
        Settle();
        ASSERT_TRUE(monitor.IsConnected());
    }

    ManualTimeSource clock;
    RecordingUi questions;
    SimSession service{sim::TwoControllerScenario(), Transport::Local};
    HostMonitor monitor{questions, &clock};
};

TEST_F(HostMonitorTest, HoldsTheSnapshotAndConnectionWhileLoggedIn) {
    Login();
    EXPECT_NE(monitor.Table()->GetController(1), nullptr);
    EXPECT_EQ(monitor.ControllerCount(), 2u);
    EXPECT_EQ(monitor.ServiceVersion(), 3040000);
    EXPECT_NE(monitor.Config().versionMajor, 0);
    monitor.Session().Disconnect();
    Settle();
    EXPECT_EQ(monitor.Table()->ObjectCount(), 0u);
    EXPECT_FALSE(monitor.IsConnected());
    EXPECT_EQ(monitor.ControllerCount(), 0u);
    EXPECT_EQ(monitor.Config().versionMajor, 0) << "the configuration goes with the logoff";
    EXPECT_EQ(monitor.ServiceVersion(), 3040000) << "the version stays";
    EXPECT_TRUE(questions.messages.empty());
}

TEST_F(HostMonitorTest, CountsDownAutoconnectsWaitEverySecond) {
    std::vector<int> told;
    QObject::connect(&monitor, &HostMonitor::ReconnectCountdown,
                     [&told](int seconds) { told.push_back(seconds); });
    monitor.Session().SetAutoConnect(true);
    monitor.Session().SeedBackoff(26);
    Login();
    EXPECT_EQ(monitor.ReconnectSecondsLeft(), -1);
    const std::size_t closed = service.sim().ConnectionsClosed();
    service.sim().BeginOutage();
    ASSERT_TRUE(service.sim().WaitForConnectionsClosed(closed + 1, 5s));
    for (int tick = 0; tick < 10 && monitor.IsConnected(); ++tick) {
        clock.Advance(5000);
        Settle();
    }
    ASSERT_FALSE(monitor.IsConnected());
    const int left = monitor.ReconnectSecondsLeft();
    ASSERT_GT(left, 1);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), left);
    clock.Advance(1000);
    Settle();
    EXPECT_EQ(told.back(), left - 1);
    EXPECT_EQ(monitor.ReconnectSecondsLeft(), left - 1);
}

}  // namespace
}  // namespace veltrix::testing
