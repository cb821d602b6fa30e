// A host watched without a window: the monitor holds the session's snapshot while it
// is logged in and lets it go at the logoff, with no widget anywhere.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "servicesim/scenario_builders.h"
#include "session/manual_time_source.h"
#include "support/recording_ui.h"
#include "support/sim_session.h"
#include "watch/host_monitor.h"

namespace veltrix::testing {
namespace {

TEST(HostMonitorTest, HoldsTheSnapshotWhileLoggedIn) {
    ManualTimeSource clock;
    RecordingUi questions;
    const SimSession service(sim::TwoControllerScenario(), Transport::Local);
    HostMonitor monitor(questions, &clock);
    const auto settle = [&monitor] {
        monitor.Session().Sync();
        QCoreApplication::sendPostedEvents();
    };
    monitor.Session().Connect(service.host(), "kavo");
    settle();
    EXPECT_NE(monitor.Table()->GetController(1), nullptr);
    monitor.Session().Disconnect();
    settle();
    EXPECT_EQ(monitor.Table()->ObjectCount(), 0u);
    EXPECT_TRUE(questions.messages.empty());
}

}  // namespace
}  // namespace veltrix::testing
