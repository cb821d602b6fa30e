// The poll cycle against the simulated service: failure counting and the automatic
// disconnect, events and their popups, list refills, the mail status and timer 2.

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;
using namespace control_id;

constexpr std::uint32_t kShortReplyWaitMs = 30;

class PollCycleTest : public MainWindowTest {
  protected:
    void StartConnected(sim::Scenario scenario, bool autoConnect = false) {
        ClientSettings settings = QuietSettings();
        settings.autoConnect = autoConnect;
        settings.popupLevel = 0;
        Start(std::move(scenario), Transport::Local, settings);
        session().Link().replyTimeoutMs = kShortReplyWaitMs;
        Connect();
        ui.clear();
    }

    std::size_t Count(std::uint32_t code) {
        const auto codes = receivedCodes();
        return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), code));
    }
};

TEST_F(PollCycleTest, OneCycleAsksInOrderAndArmsTheFiveSecondPeriod) {
    StartConnected(sim::TwoControllerScenario());
    sim().ClearTranscript();
    FirstTick();
    EXPECT_EQ(receivedCodes(),
              (std::vector<std::uint32_t>{GET_REBUILD_STATUS, GET_REBUILD_STATUS, GET_CHANGE_FLAG,
                                          GET_EVENT, GET_LOG_ENTRY, GET_MAIL_STATUS}));
    EXPECT_FALSE(session().State().justConnected);
    EXPECT_EQ(session().State().pollCount, 1u);
    sim().ClearTranscript();
    clock.Advance(4999);
    EXPECT_TRUE(receivedCodes().empty());
    clock.Advance(1);
    EXPECT_EQ(Count(GET_REBUILD_STATUS), 2u);
    EXPECT_TRUE(TakePopups().empty());
}

TEST_F(PollCycleTest, FifthSilentReplyIsShownAndTheNextTickDisconnectsAndReconnects) {
    StartConnected(sim::TwoControllerScenario(), true);
    sim().SetFault({.code = GET_CHANGE_FLAG, .kind = sim::FaultSpec::Kind::Silent});
    FirstTick();
    for (int tick = 2; tick <= 4; ++tick) {
        Tick();
    }
    EXPECT_EQ(session().Link().failureCounter, 4);
    EXPECT_TRUE(TakePopups().empty()) << "four silent replies pass quietly";

    Tick();
    EXPECT_EQ(TakePopups(), (std::vector<PopupEntry>{{"NO RESPONSE", Severity::Warning}}));
    EXPECT_TRUE(window().Monitor().IsConnected());

    sim().ClearFaults();
    Tick();
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_EQ(session().Link().failureCounter, 0);
    EXPECT_TRUE(sim().WaitForCode(LOGOFF, 5s).has_value());
    clock.Advance(9999);
    EXPECT_FALSE(window().Monitor().IsConnected());
    clock.Advance(1);
    EXPECT_TRUE(window().Monitor().IsConnected());
}

TEST_F(PollCycleTest, WithoutAutoconnectTheWindowStaysDisconnected) {
    StartConnected(sim::TwoControllerScenario(), false);
    session().Link().failureCounter = 5;
    FirstTick();
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Reconnect));
}

TEST_F(PollCycleTest, FlushErrorDisconnectsOnTheNextTick) {
    StartConnected(sim::TwoControllerScenario(), false);
    FirstTick();
    sim().Stop();  // the service goes away
    Tick();
    const auto popups = TakePopups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_NE(popups[0].text.find("\nError #KGD-1613."), std::string::npos) << popups[0].text;
    EXPECT_EQ(session().Link().failureCounter, 5);
    EXPECT_TRUE(window().Monitor().IsConnected());
    Tick();
    EXPECT_FALSE(window().Monitor().IsConnected());
}

TEST_F(PollCycleTest, BusyExchangeSkipsTheTick) {
    StartConnected(sim::TwoControllerScenario());
    sim().ClearTranscript();
    session().Link().pipeBusy = true;
    FirstTick();
    EXPECT_TRUE(receivedCodes().empty());
    session().Link().pipeBusy = false;
    session().Link().flashBusy = true;
    Tick();
    EXPECT_TRUE(receivedCodes().empty());
}

struct PopupLevelCase {
    int popupLevel;
    bool popupEnabled;
    std::vector<std::string> shown;
};

class PopupLevelTest : public PollCycleTest,
                       public ::testing::WithParamInterface<PopupLevelCase> {};

TEST_P(PopupLevelTest, EventsPopUpAboveTheLevelAndAllGoToTheEventLog) {
    const PopupLevelCase& c = GetParam();
    ClientSettings settings = QuietSettings();
    settings.popupLevel = c.popupLevel;
    settings.popupEnabled = c.popupEnabled;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    Connect();
    sim().PushEvent({.controller = 0, .port = 3, .code = EVENT_DRIVE_FOUND});
    sim().PushEvent({.controller = 0, .setIndex = 0, .code = EVENT_RAID_STATUS_CHANGED});
    sim().PushEvent({.controller = 0, .port = 1, .drive = 1, .code = EVENT_DRIVE_LOST});
    sim().PushEvent({.controller = 0, .code = EVENT_GENERAL});
    sim().PushEvent({.controller = 0, .code = 0x777});
    FirstTick();

    std::vector<std::string> shown;
    for (const PopupEntry& popup : TakePopups()) {
        shown.push_back(popup.text);
    }
    EXPECT_EQ(shown, c.shown);
    const auto log = driver().Rows(kEventLog);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_NE(log[2].find("   C 0, Dev 1, Dri 1, : 15"), std::string::npos) << log[2];
    EXPECT_NE(log[4].find(": 1911"), std::string::npos) << log[4];
}

const std::string kFound = "Controller No.:0  Port:3\nDevice found.";
const std::string kChanged = "Controller No.:0  Set No.:0\nRAID Status changed.";
const std::string kLost = "Controller No.:0  Port:1\nDevice lost.";

INSTANTIATE_TEST_SUITE_P(Levels, PopupLevelTest,
                         ::testing::Values(PopupLevelCase{0, true, {kFound, kChanged, kLost}},
                                           PopupLevelCase{1, true, {kChanged, kLost}},
                                           PopupLevelCase{2, true, {kLost}},
                                           PopupLevelCase{0, false, {}}));

TEST_F(PollCycleTest, EventForAnotherControllerReReadsItButLeavesTheLists) {
    StartConnected(sim::TwoControllerScenario());
    const auto deviceRows = driver().Rows(kDeviceList);
    ASSERT_TRUE(driver().UserSelectRow(kSetList, 1));
    sim().ClearTranscript();
    sim().PushEvent({.controller = 1, .setIndex = 0, .code = EVENT_RAID_BROKEN});
    sim().SetChangeFlag(true);
    FirstTick();

    std::size_t infoForController1 = 0;
    for (const auto& entry : sim().Transcript()) {
        if (entry.code == GET_CONTROLLER_INFO && !entry.data.empty() && entry.data[0] == 1) {
            ++infoForController1;
        }
    }
    EXPECT_EQ(infoForController1, 2u) << "re-read, then its information once more";
    EXPECT_EQ(driver().Rows(kDeviceList), deviceRows);
    EXPECT_EQ(window().Body().State().selectedSet, 1);
    EXPECT_EQ(driver().SelectedRow(kSetList), 1);
    EXPECT_EQ(window().Table().ObjectCount(), 2u + 3 + 2 + 3 + 1);
}

// Event 12 refreshes one drive from the service; its list row only changes when the
// service also reported a change.
class ChangeFlagTest : public PollCycleTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ChangeFlagTest, ListsAreRefilledOnlyWhenTheServiceReportsChanges) {
    const bool changed = GetParam();
    sim::Scenario scenario = sim::TwoControllerScenario();
    sim::TimelineEntry entry;
    entry.timing = {.atMs = 1000, .anchor = sim::Anchor::Login};
    entry.event = sim::EventSpec{.controller = 0, .deviceIndex = 1, .code = EVENT_DEVICE_CHANGED};
    sim::Effect effect;
    effect.kind = sim::Effect::Kind::SetDrive;
    effect.channel = 1;
    effect.portState = 0x0000;
    entry.effects = {effect};
    entry.setChangeFlag = changed;
    scenario.timeline = {entry};
    StartConnected(scenario);
    const std::string before = driver().Row(kDeviceList, 1);
    ASSERT_TRUE(driver().UserSelectRow(kDeviceList, 1));
    // A cycle that refills nothing leaves the selection as it is, not cleared and set anew.
    int selectionChanges = 0;
    QObject::connect(
        platform::FindControl<QAbstractItemView>(window(), kDeviceList)->selectionModel(),
        &QItemSelectionModel::selectionChanged, [&] { ++selectionChanges; });
    sim().AdvanceClock(1000ms);
    FirstTick();

    const std::string after = driver().Row(kDeviceList, 1);
    EXPECT_EQ(after != before, changed) << after;
    EXPECT_EQ(driver().SelectedRow(kDeviceList), 1) << "the selection stays";
    EXPECT_EQ(selectionChanges > 0, changed);
    EXPECT_EQ(driver().Rows(kEventLog).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Flag, ChangeFlagTest, ::testing::Bool());

struct MailCase {
    const char* name;
    std::uint16_t year;
    std::string popup;
    int failures;
};

class MailStatusTest : public PollCycleTest, public ::testing::WithParamInterface<MailCase> {};

TEST_P(MailStatusTest, FailedMailIsReportedAndAnOldTimeStampCounts) {
    const MailCase& c = GetParam();
    StartConnected(sim::TwoControllerScenario());
    SystemTime time;
    time.year = c.year;
    time.month = 3;
    time.day = 1;
    sim().PushMailFailure({.errorCode = 42, .text = "SMTP refused", .time = time});
    FirstTick();
    EXPECT_EQ(TakePopups(), (std::vector<PopupEntry>{{c.popup, Severity::Warning}}));
    EXPECT_EQ(session().Link().failureCounter, c.failures);
}

INSTANTIATE_TEST_SUITE_P(
    Years, MailStatusTest,
    ::testing::Values(MailCase{"Valid", 2026, "E-Mail System Error:\nSMTP refused 42", 0},
                      MailCase{"Before2010", 2009, "2009\nError #KGD-2200", 1}),
    [](const ::testing::TestParamInfo<MailCase>& p) { return std::string(p.param.name); });

TEST_F(PollCycleTest, MailOnlyPollWithoutControllersAndItsWriteError) {
    StartConnected(sim::Scenario{});
    sim().ClearTranscript();
    clock.Advance(4000);
    EXPECT_EQ(receivedCodes(), (std::vector<std::uint32_t>{FLASH_END, GET_MAIL_STATUS}));

    sim().Stop();
    clock.Advance(4000);
    const auto popups = TakePopups();
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(popups[0].text, "Kavotronik Service Write Error!\nError #KGD-1625");
    EXPECT_FALSE(window().Monitor().IsConnected());
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::MailOnly));
}

TEST_F(PollCycleTest, ErrorLogEntriesAreDrainedEachCycle) {
    StartConnected(sim::TwoControllerScenario());
    sim().PushLogEntry({.controller = 0, .port = 1, .status = 0x51, .command = 0x25});
    sim().PushLogEntry({.controller = 1, .port = 2, .status = 0x41, .command = 0x35});
    FirstTick();
    ASSERT_EQ(window().Monitor().ErrorLog().size(), 2u);
    EXPECT_EQ(window().Monitor().ErrorLog()[1].port, 2);
    EXPECT_EQ(window().Monitor().ErrorLog()[1].command, 0x35);
}

}  // namespace
}  // namespace veltrix::testing
