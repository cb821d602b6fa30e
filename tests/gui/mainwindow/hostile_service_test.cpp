// A service that stays silent, hangs or breaks the channel in the middle of a
// conversation: the window stays live, every wait ends, the user is told once.

#include <QCoreApplication>
#include <QTimer>

#include "gui/resources/main_window_ids.h"
#include "protocol/service_channel.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;
using namespace control_id;

constexpr std::uint32_t kShortReplyWaitMs = 30;

int CountText(const std::vector<PopupEntry>& popups, const std::string& text) {
    return static_cast<int>(std::count_if(popups.begin(), popups.end(),
                                          [&](const PopupEntry& p) { return p.text == text; }));
}

TEST_F(MainWindowTest, SilentLoginEndsWithTheReadErrorAndTheWindowStaysLive) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.faults.push_back({.code = sim::kLoginFaultCode, .kind = sim::FaultSpec::Kind::Silent});
    Start(scenario);
    session().SetReplyBound(1500);

    // The click returns while the session waits for the login reply; the window
    // handles its events meanwhile.
    ASSERT_TRUE(WindowDriver(unsettledWindow()).ClickItem(kConnect));
    bool handled = false;
    QTimer::singleShot(0, &unsettledWindow(), [&handled] { handled = true; });
    ASSERT_TRUE(sim().WaitForEntries(1, 5s));
    QCoreApplication::processEvents();
    EXPECT_TRUE(handled);
    EXPECT_TRUE(ui.messages.empty()) << "the session is still waiting";

    Settle();
    ASSERT_EQ(ui.messages.size(), 2u) << ::testing::PrintToString(ui.messageTexts());
    EXPECT_EQ(ui.messages[0].text, SystemErrorText(win32::ERROR_SEM_TIMEOUT));
    EXPECT_EQ(ui.messages[1].text, LoadString(ids::kServiceReadError) + "\nError #KGD-761");
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_FALSE(session().Link().pipe.IsOpen());
    EXPECT_EQ(driver().ItemText(kConnect), "Connect");
}

// Exits during a wait that has no end of its own: the wait ends at once.
TEST_F(MainWindowTest, ExitDuringASilentLoginEndsTheWaitAtOnce) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.faults.push_back({.code = sim::kLoginFaultCode, .kind = sim::FaultSpec::Kind::Silent});
    Start(scenario);
    bool written = false;
    unsettledWindow().SetSettingsWriter([&written](const ClientSettings&) { written = true; });
    ASSERT_TRUE(WindowDriver(unsettledWindow()).ClickItem(kConnect));
    ASSERT_TRUE(sim().WaitForEntries(1, 5s));

    // The session waits up to 30 s for the reply; the Exit path ends that wait.
    unsettledWindow().ExitProgram();
    EXPECT_TRUE(written);
    EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.messageTexts());
    EXPECT_EQ(tray.calls.back().op, shell::NotifyOp::Delete);
}

// With no controllers only the mail status is polled; a service that stops answering
// is given up after the fifth reply that did not come, not reported for ever.
TEST_F(MainWindowTest, MailOnlyPollingGivesUpAHungService) {
    ClientSettings settings = QuietSettings();
    settings.autoConnect = true;
    Start(sim::Scenario{}, Transport::Local, settings);
    session().Link().replyTimeoutMs = kShortReplyWaitMs;
    Connect();
    sim().SetFault({.code = sim::kAnyCommandFaultCode, .kind = sim::FaultSpec::Kind::Silent});

    for (int tick = 0; tick < 12; ++tick) {
        clock.Advance(4000);
        if (!window().Monitor().IsConnected()) {
            break;
        }
    }
    Settle();
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_EQ(CountText(TakePopups(), LoadString(ids::kNoResponse)), 1);
    EXPECT_TRUE(session().IsTimerSet(SessionTimer::Reconnect));
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::MailOnly));
}

// A re-read after an event on a channel that breaks: one message, the old objects
// stay, and the cycle counts one failure.
TEST_F(MainWindowTest, ReReadOverADeadChannelShowsOneMessageAndKeepsTheController) {
    Start(sim::TwoControllerScenario());
    session().Link().replyTimeoutMs = kShortReplyWaitMs;
    Connect();
    const std::size_t objects = window().Table().ObjectCount();
    const auto devices = driver().Rows(kDeviceList);
    ui.clear();
    sim().PushEvent({.controller = 0, .port = 1, .drive = 1, .code = EVENT_DRIVE_LOST});
    sim().SetFault({.code = GET_DEVICE, .kind = sim::FaultSpec::Kind::Close});
    FirstTick();

    EXPECT_EQ(ui.messages.size(), 1u) << ::testing::PrintToString(ui.messageTexts());
    EXPECT_EQ(session().Table().ObjectCount(), objects);
    EXPECT_EQ(driver().Rows(kDeviceList), devices);
    EXPECT_EQ(session().Link().failureCounter, 1);
}

// A controller number no table entry can hold is a system error, not a silent no-op.
TEST_F(MainWindowTest, EventForAControllerBeyondTheTableIsASystemError) {
    ClientSettings settings = QuietSettings();
    settings.popupLevel = 2;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    Connect();
    sim().PushEvent({.controller = 9, .port = 1, .code = EVENT_DRIVE_LOST});
    FirstTick();

    const auto popups = TakePopups();
    EXPECT_EQ(CountText(popups, LoadString(ids::kSystemError)), 1);
    EXPECT_TRUE(window().Monitor().IsConnected());
}

}  // namespace
}  // namespace veltrix::testing
