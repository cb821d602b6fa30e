// The main window against the simulated service running a timeline for a minute of
// (simulated) time: a drive lost, a mirror degraded and rebuilt, an unknown event and
// a phase in which the service stays silent.

#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;
using namespace control_id;

sim::TimelineEntry At(std::uint64_t ms, sim::EventSpec event, std::vector<sim::Effect> effects) {
    sim::TimelineEntry entry;
    entry.timing = {.atMs = ms, .anchor = sim::Anchor::Login};
    entry.event = event;
    entry.effects = std::move(effects);
    return entry;
}

sim::Effect DriveGone(std::uint8_t channel) {
    sim::Effect e;
    e.kind = sim::Effect::Kind::RemoveDrive;
    e.channel = channel;
    return e;
}

sim::Effect Degraded() {
    sim::Effect e;
    e.kind = sim::Effect::Kind::SetSet;
    e.stateFlags = 0x18;
    return e;
}

sim::Effect RebuildFromZero() {
    sim::Effect e;
    e.kind = sim::Effect::Kind::StartRebuild;
    e.setPort = 0;
    e.position = 0;
    return e;
}

class EndToEndTest : public MainWindowTest {
  protected:
    // Both clocks run one second at a time.
    void Run(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            sim().AdvanceClock(1s);
            clock.Advance(1000);
        }
    }
};

TEST_F(EndToEndTest, TimelineWithEventsRebuildAndSilence) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    sim::ControllerSpec& first = scenario.controllers[0];
    first.rebuild.sectorsPerSecond = 20000000;  // about 25 s for the whole mirror
    first.rebuild.completionEvent = sim::EventSpec{.controller = 0, .setIndex = 0, .code = 0xA02};
    first.rebuild.completedStateFlags = 0;
    scenario.timeline = {
        At(6000, {.controller = 0, .port = 3, .drive = 3, .code = EVENT_DRIVE_LOST},
           {DriveGone(3)}),
        At(11000, {.controller = 0, .port = 1, .setIndex = 0, .code = EVENT_REDUNDANCY_LOST},
           {Degraded(), RebuildFromZero()}),
        At(16000, {.controller = 1, .port = 2, .code = 0x1234}, {}),
    };
    Start(scenario);
    session().Link().replyTimeoutMs = 30;
    Connect();
    ASSERT_EQ(driver().RowCount(kDeviceList), 3);

    Run(10);
    EXPECT_EQ(driver().RowCount(kDeviceList), 2) << "the lost drive left the list";
    Run(10);
    EXPECT_TRUE(driver().IsItemShown(kProgress));
    EXPECT_GT(driver().Pos(kProgress), 0);
    EXPECT_NE(driver().ItemText(kSpeed), "-");

    // The service goes silent for three cycles: counted, not shown, still connected.
    sim().SetFault({.code = GET_EVENT, .kind = sim::FaultSpec::Kind::Silent, .count = 3});
    Run(15);
    EXPECT_EQ(session().Link().failureCounter, 3);
    EXPECT_TRUE(window().Monitor().IsConnected());
    Run(20);

    std::vector<std::string> popups;
    for (const PopupEntry& popup : TakePopups()) {
        popups.push_back(popup.text);
    }
    EXPECT_EQ(popups, (std::vector<std::string>{
                          "Controller No.:0  Port:3\nDevice lost.",
                          "Controller No.:0  Set Nr.:0\nlost Redundancy.",
                      }));
    std::vector<std::string> balloons;
    for (const auto& record : tray.balloons()) {
        balloons.push_back(record.balloonText);
    }
    ASSERT_GE(balloons.size(), 3u);
    EXPECT_EQ(balloons.front(), "Connection established.");
    EXPECT_EQ(balloons.back(), "Controller No.0  completed 100%");
    const auto progress = std::count_if(balloons.begin(), balloons.end(), [](const auto& text) {
        return text.starts_with("Controller No.0  ") && text.find("completed") == std::string::npos;
    });
    EXPECT_GE(progress, 1) << ::testing::PrintToString(balloons);

    const auto log = driver().Rows(kEventLog);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_NE(log[2].find(": 4660"), std::string::npos) << log[2];
    EXPECT_EQ(driver().ItemText(kPercent), " ") << "the rebuild is over";
    EXPECT_EQ(driver().ItemText(kRow7Value), "Ready");

    const auto codes = receivedCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), GET_MAIL_STATUS),
              std::count(codes.begin(), codes.end(), GET_CHANGE_FLAG) - 3)
        << "the silent cycles end before the mail status";
    window().ExitProgram();
    EXPECT_TRUE(sim().WaitForCode(LOGOFF, 5s).has_value());
}

}  // namespace
}  // namespace veltrix::testing
