// Connect, login, enumeration, Disconnect, reconnect timers and power events of the
// main window against the simulated service.

#include <QAbstractItemView>
#include <QApplication>

#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "protocol/service_channel.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;
using namespace control_id;

class ConnectionTest : public MainWindowTest, public ::testing::WithParamInterface<Transport> {};

TEST_P(ConnectionTest, LoginEnumeratesAndArmsThePoll) {
    Start(sim::TwoControllerScenario(), GetParam());
    Connect();
    EXPECT_EQ(window().Monitor().ControllerCount(), 2u);
    EXPECT_EQ(window().Body().State().currentController, 0);
    EXPECT_EQ(window().Monitor().ServiceVersion(), 3040000);
    EXPECT_TRUE(session().State().justConnected);
    EXPECT_EQ(driver().ItemText(kConnect), "connected");
    EXPECT_EQ(driver().ItemText(kDisconnect), "Disconnect");
    EXPECT_FALSE(driver().IsItemEnabled(kConnect));
    EXPECT_TRUE(driver().IsItemEnabled(kDisconnect));
    EXPECT_EQ(driver().ItemText(kSpeed), "-");
    EXPECT_TRUE(session().IsTimerSet(SessionTimer::Poll));
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::MailOnly));
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts()[0];

    const std::vector<std::uint32_t> codes = receivedCodes();
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(codes[0], 0u);  // the login block
    EXPECT_EQ(codes[1], GET_SERVICE_CONFIG);
    EXPECT_EQ(codes[2], GET_CONTROLLER_COUNT);
    EXPECT_EQ(codes[3], GET_CONTROLLER_INFO);

    // The connected icon replaces the one of the start, with the connect balloon.
    ASSERT_EQ(tray.calls.size(), 3u);
    EXPECT_EQ(tray.calls[0].op, shell::NotifyOp::Add);
    EXPECT_EQ(tray.calls[0].record.identifier, icon_id::kDisconnected);
    EXPECT_EQ(tray.calls[1].op, shell::NotifyOp::Delete);
    EXPECT_EQ(tray.calls[1].record.identifier, icon_id::kDisconnected);
    EXPECT_EQ(tray.calls[2].op, shell::NotifyOp::Add);
    EXPECT_EQ(tray.calls[2].record.identifier, icon_id::kConnected);
    EXPECT_EQ(tray.calls[2].record.flags, shell::kNotifyWithBalloon);
    EXPECT_EQ(tray.calls[2].record.tip, "Kavotronik Veltrix\nConnection established");
    EXPECT_EQ(tray.calls[2].record.balloonTitle, "Hostconnection:");
    EXPECT_EQ(tray.calls[2].record.balloonText, "Connection established.");
}

TEST_P(ConnectionTest, DisconnectLogsOffAndResetsTheDisplay) {
    Start(sim::TwoControllerScenario(), GetParam());
    Connect();
    tray.calls.clear();
    ASSERT_TRUE(Click(kDisconnect));

    EXPECT_TRUE(sim().WaitForCode(LOGOFF, 5s).has_value());
    EXPECT_FALSE(session().Link().pipe.IsOpen());
    const HostMonitor& host = window().Monitor();
    EXPECT_FALSE(host.IsConnected());
    EXPECT_EQ(host.ControllerCount(), 0u);
    EXPECT_EQ(host.Config().versionMajor, 0);
    EXPECT_EQ(host.ServiceVersion(), 3040000) << "the number outlives the words";
    EXPECT_EQ(window().Table().ObjectCount(), 0u);
    EXPECT_EQ(driver().ItemText(kConnect), "Connect");
    EXPECT_EQ(driver().ItemText(kDisconnect), "disconnected");
    EXPECT_TRUE(driver().IsItemEnabled(kConnect));
    EXPECT_FALSE(driver().IsItemEnabled(kDisconnect));
    EXPECT_EQ(driver().TabCount(kControllerTabs), 1);
    EXPECT_EQ(driver().TabText(kControllerTabs, 0), "---");
    EXPECT_EQ(driver().RowCount(kDeviceList), 0);
    EXPECT_EQ(driver().RowCount(kSetList), 0);
    for (const int id : {kControllerNumber, kDriverVersion, kBiosVersion, kChipset, kRaid5Support,
                         kJbodSupport, kPmSupport, kDuration, kSpeed, kRow2Value, kRow7Value}) {
        EXPECT_EQ(driver().ItemText(id), "-") << id;
    }
    EXPECT_EQ(driver().ItemText(kPercent), "0%");
    for (const int id : {kPriority, kPriorityHigh, kSpeed, kProgress, kPercent}) {
        EXPECT_FALSE(driver().IsItemShown(id)) << id;
    }
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Poll));

    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[0].op, shell::NotifyOp::Delete);
    EXPECT_EQ(tray.calls[1].record.identifier, icon_id::kDisconnected);
    EXPECT_EQ(tray.calls[1].record.tip, "Kavotronik Veltrix\ndisconnected!");
    EXPECT_EQ(tray.calls[1].record.balloonText, "disconnected.");
}

INSTANTIATE_TEST_SUITE_P(Transports, ConnectionTest,
                         ::testing::Values(Transport::Local, Transport::Tcp));

TEST_F(MainWindowTest, WrongPasswordClosesThePipeWithoutBalloon) {
    ClientSettings settings = QuietSettings();
    settings.password = "wrong";
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    Click(kConnect);

    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Invalid Password!"});
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_FALSE(session().Link().pipe.IsOpen());
    EXPECT_TRUE(driver().IsItemEnabled(kConnect));
    EXPECT_EQ(driver().ItemText(kConnect), "Connect");
    EXPECT_TRUE(tray.balloons().empty());
    EXPECT_TRUE(sim().WaitForConnectionsClosed(1, 5s));
}

TEST_F(MainWindowTest, NoControllersKeepsTheConnectionAndPollsMailOnly) {
    Start(sim::Scenario{});
    Click(kConnect);

    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Kavotronik driver not found."});
    EXPECT_TRUE(window().Monitor().IsConnected());
    EXPECT_EQ(driver().ItemText(kConnect), "connected");
    EXPECT_EQ(driver().ItemText(kDisconnect), "Disconnect");
    EXPECT_TRUE(session().IsTimerSet(SessionTimer::MailOnly));
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Poll));
}

TEST_F(MainWindowTest, DisconnectWithoutLoginDoesNothing) {
    Start(sim::TwoControllerScenario());
    const std::string before = driver().ItemText(kDisconnect);
    window().Disconnect();
    EXPECT_EQ(driver().ItemText(kDisconnect), before);
    EXPECT_EQ(tray.calls.size(), 1u) << "only the icon of the start";
    EXPECT_TRUE(receivedCodes().empty());
}

TEST_F(MainWindowTest, ServiceNotRunningGivesTheNotAvailableMessage) {
    Start(sim::TwoControllerScenario());
    sim().Stop();
    Click(kConnect);
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& text = ui.messages[0].text;
    EXPECT_NE(text.find("Kavotronik Service not available ?\nError #KGD-715"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("busy"), std::string::npos);
    EXPECT_FALSE(window().Monitor().IsConnected());
}

TEST_F(MainWindowTest, BusyPipeSaysTheLineIsBusy) {
    Start(sim::TwoControllerScenario());
    // Another client holds the service's only instance.
    ServiceChannel other;
    ServiceChannel::ServerAvailable(host(), kServicePipeName, 1000);
    other.Open(host(), kServicePipeName);
    const auto block = BuildLoginBlock("kavo");
    other.Write(block.data(), block.size());
    ASSERT_TRUE(sim().WaitForEntries(1, 5s));

    Click(kConnect);
    ASSERT_EQ(ui.messages.size(), 1u) << ::testing::PrintToString(ui.messageTexts());
    const std::string expected = SystemErrorText(win32::ERROR_SEM_TIMEOUT) +
                                 "\nThe \"Line\" is busy.\n"
                                 "Kavotronik Service not available ?\nError #KGD-715";
    EXPECT_EQ(ui.messages[0].text, expected);
    EXPECT_FALSE(window().Monitor().IsConnected());
}

TEST_F(MainWindowTest, AutoconnectConnectsThreeSecondsAfterStart) {
    ClientSettings settings = QuietSettings();
    settings.autoConnect = true;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    EXPECT_TRUE(driver().IsMenuItemChecked(menu_id::kAutoconnect));
    EXPECT_FALSE(driver().IsMenuItemChecked(menu_id::kStartMinimized));

    clock.Advance(2999);
    EXPECT_FALSE(window().Monitor().IsConnected());
    clock.Advance(1);
    EXPECT_TRUE(window().Monitor().IsConnected());
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Reconnect));
}

TEST_F(MainWindowTest, SuspendLogsOffKeepsTheDisplayAndResumeReconnects) {
    Start(sim::TwoControllerScenario());
    Connect();
    window().OnPowerEvent(PowerEvent::Suspend);

    EXPECT_TRUE(sim().WaitForCode(LOGOFF, 5s).has_value());
    EXPECT_FALSE(session().Link().pipe.IsOpen());
    EXPECT_TRUE(session().State().pipeClosedBySuspend);
    EXPECT_TRUE(session().State().wasConnectedBeforeSuspend);
    EXPECT_EQ(driver().TabText(kControllerTabs, 0), "RX-Oak 4P") << "display kept";
    EXPECT_EQ(driver().ItemText(kDisconnect), "Disconnect") << "no busy text when quiet";

    sim().ClearTranscript();
    window().OnPowerEvent(PowerEvent::Resume);
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_EQ(driver().TabText(kControllerTabs, 0), "---");
    EXPECT_TRUE(session().IsTimerSet(SessionTimer::Reconnect));
    clock.Advance(14999);
    EXPECT_FALSE(window().Monitor().IsConnected());
    clock.Advance(1);
    EXPECT_TRUE(window().Monitor().IsConnected());
    const auto codes = receivedCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LOGOFF), 0) << "no second logout";
}

TEST_F(MainWindowTest, SuspendWhileDisconnectedDoesNotReconnect) {
    Start(sim::TwoControllerScenario());
    window().OnPowerEvent(PowerEvent::Suspend);
    window().OnPowerEvent(PowerEvent::Resume);
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Reconnect));
}

TEST_F(MainWindowTest, ChannelFailureWhileEnumeratingDisconnectsAfterOneMessage) {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.faults.push_back({.code = GET_DEVICE, .kind = sim::FaultSpec::Kind::Close});
    Start(scenario);
    Click(kConnect);
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_FALSE(session().Link().pipe.IsOpen());
    EXPECT_EQ(driver().ItemText(kConnect), "Connect");
    EXPECT_EQ(ui.messages.size(), 1u) << ::testing::PrintToString(ui.messageTexts());
}

// A window given another monitor shows that host's lists and connection and hears
// nothing more of the first; the switch asks neither session anything.
TEST_F(MainWindowTest, ShowsAnotherMonitorWithoutTouchingEitherSession) {
    StartConnectedWithEveryPopup();
    HostMonitor& first = window().Monitor();
    HostMonitor second(ui, &clock);
    const auto rows = [this](int id) {
        return platform::FindControl<QAbstractItemView>(window(), id)->model()->rowCount();
    };
    const auto settleFirst = [&first] {
        first.Session().Sync();
        QCoreApplication::sendPostedEvents();
    };
    const SessionState told = first.Session().State();
    std::size_t codes = receivedCodes().size();
    ASSERT_GT(rows(kDeviceList), 0);

    window().ShowMonitor(second);
    settleFirst();
    EXPECT_EQ(receivedCodes().size(), codes);
    EXPECT_EQ(rows(kDeviceList), 0);
    EXPECT_EQ(rows(kSetList), 0);
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_TRUE(driver().IsItemEnabled(kConnect));
    EXPECT_EQ(driver().ItemText(kConnect), "Connect");
    EXPECT_FALSE(second.Session().State().isConnected);

    // The first host goes on polling; its event reaches its own history, not the shown
    // lists, and its popup the window's queue, as every watched host's does.
    const int shownLog = rows(kEventLog);
    const int firstLog = first.Events().rowCount();
    sim().PushEvent({.controller = 0, .code = EVENT_SPARE_ACCESSED});
    clock.Advance(5000);
    settleFirst();
    EXPECT_GT(first.Events().rowCount(), firstLog);
    EXPECT_EQ(rows(kEventLog), shownLog);
    EXPECT_FALSE(TakePopups().empty());

    codes = receivedCodes().size();
    window().ShowMonitor(first);
    settleFirst();
    EXPECT_EQ(receivedCodes().size(), codes);
    EXPECT_TRUE(window().Monitor().IsConnected());
    EXPECT_EQ(window().Monitor().ControllerCount(), 2u);
    EXPECT_EQ(driver().ItemText(kConnect), "connected");
    EXPECT_GT(rows(kDeviceList), 0);
    EXPECT_EQ(rows(kEventLog), first.Events().rowCount());
    const SessionState& now = first.Session().State();
    EXPECT_EQ(std::tie(now.currentController, now.selectedSetIndex, now.sliderPosition),
              std::tie(told.currentController, told.selectedSetIndex, told.sliderPosition));
}

}  // namespace
}  // namespace veltrix::testing
