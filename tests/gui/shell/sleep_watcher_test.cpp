// The sleep watcher: PrepareForSleep gives the suspend and resume power events, and
// without a system bus the watcher is built quietly and does not listen.

#include "gui/shell/sleep_watcher.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "warning_catcher.h"

namespace veltrix::shell {
namespace {

// The system bus connection is made once per process: every test here points it at
// a socket that does not exist before anything asks for it.
class SleepWatcherTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/veltrix-bus", 1);
    }
};

TEST_F(SleepWatcherTest, PrepareForSleepGivesSuspendAndResume) {
    std::vector<PowerEvent> events;
    SleepWatcher watcher([&events](PowerEvent event) { events.push_back(event); });
    for (const auto& [start, event] :
         {std::pair{true, PowerEvent::Suspend}, std::pair{false, PowerEvent::Resume}}) {
        EXPECT_EQ(SleepWatcher::PowerEventFor(start), event);
        watcher.OnPrepareForSleep(start);
        EXPECT_EQ(events.back(), event);
    }
}

TEST_F(SleepWatcherTest, WithoutSystemBusItIsQuietAndDoesNotListen) {
    testing::WarningCatcher warnings;
    SleepWatcher watcher([](PowerEvent) {});
    watcher.ListenToSystemBus();
    EXPECT_FALSE(watcher.IsListening());
    EXPECT_TRUE(warnings.Caught().empty()) << warnings.Caught().front();
}

}  // namespace
}  // namespace veltrix::shell
