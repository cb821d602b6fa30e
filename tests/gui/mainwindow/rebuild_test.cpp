// Rebuild progress as the poll cycle shows it (percent, speed, remaining time, tooltip
// lines, balloons every further 5 %) and the priority slider.

#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;
using namespace control_id;

constexpr std::uint64_t kCapacity = 1000000;  // 1 % is 10000 sectors

// One controller per entry of `rates`, each with a mirror on channel 0 that rebuilds
// from `start` at that many sectors per second of the service's clock.
sim::Scenario Rebuilding(std::uint64_t start, std::vector<std::uint64_t> rates) {
    sim::Scenario scenario;
    for (std::size_t i = 0; i < rates.size(); ++i) {
        sim::ControllerSpec c;
        c.name = i == 0 ? "RX-Oak" : "RX-Pine";
        c.channelCount = 2;
        c.drives = {sim::MakeDrive(0, 0, "A"), sim::MakeDrive(1, 0, "B")};
        c.sets = {sim::MakeSet(0, 1, 0, {0, 1})};
        c.sets[0].capacity = kCapacity;
        c.rebuild.active = true;
        c.rebuild.setPort = 0;
        c.rebuild.startPosition = start;
        c.rebuild.sectorsPerSecond = rates[i];
        c.rebuild.completionEvent =
            sim::EventSpec{.controller = static_cast<std::uint8_t>(i), .code = 0xA02};
        scenario.controllers.push_back(c);
    }
    return scenario;
}

class RebuildTest : public MainWindowTest {
  protected:
    void StartRebuilding(sim::Scenario scenario) {
        Start(std::move(scenario));
        session().Link().replyTimeoutMs = 30;
        Connect();
        TakeTrayRecords();
    }
    // Lets the service's clock run, then one poll tick.
    void TickAfter(std::chrono::milliseconds serviceTime, bool first = false) {
        sim().AdvanceClock(serviceTime);
        first ? FirstTick() : Tick();
    }
    std::vector<std::string> BalloonTexts() {
        std::vector<std::string> texts;
        for (const auto& record : TakeTrayRecords()) {
            if (record.flags.testFlag(shell::NotifyPart::Balloon)) {
                texts.push_back(record.balloonTitle + " " + record.balloonText);
            }
        }
        return texts;
    }
};

struct BalloonCase {
    const char* name;
    std::vector<int> secondsBeforeTicks;  // service seconds before each tick (1 % each)
    std::vector<std::vector<std::string>> balloonsPerTick;
};

class RebuildBalloonTest : public RebuildTest, public ::testing::WithParamInterface<BalloonCase> {};

TEST_P(RebuildBalloonTest, ABalloonForEachFurtherFivePercentAfterTwoCycles) {
    const BalloonCase& c = GetParam();
    StartRebuilding(Rebuilding(80000, {10000}));
    TakeTrayRecords();
    for (std::size_t t = 0; t < c.secondsBeforeTicks.size(); ++t) {
        TickAfter(std::chrono::seconds(c.secondsBeforeTicks[t]), t == 0);
        EXPECT_EQ(BalloonTexts(), c.balloonsPerTick[t]) << "tick " << t;
    }
}

const std::vector<std::string> kNone;
const std::vector<std::string> kAt10{"Rebuildprogress: Controller No.0  10%"};
const std::vector<std::string> kAt15{"Rebuildprogress: Controller No.0  15%"};

INSTANTIATE_TEST_SUITE_P(
    Progress, RebuildBalloonTest,
    ::testing::Values(
        // 8 %, 9 %, 10 %, 14 %, 15 %
        BalloonCase{"NineToTen", {0, 1, 1, 4, 1}, {kNone, kNone, kAt10, kNone, kAt15}},
        // 8 %, 10 %: the second cycle is too early; 15 % on the third counts.
        BalloonCase{"TooEarly", {0, 2, 5}, {kNone, kNone, kAt15}},
        // 8 %, 9 %, stalled at 9 % (the cycle count starts again), 10 %, 15 %.
        BalloonCase{"AfterAStall", {0, 1, 0, 1, 5}, {kNone, kNone, kNone, kNone, kAt15}}),
    [](const ::testing::TestParamInfo<BalloonCase>& p) { return std::string(p.param.name); });

TEST_F(RebuildTest, SpeedRemainingTimeAndPercentOfTheShownController) {
    StartRebuilding(Rebuilding(80000, {2048}));
    TickAfter(0s, true);
    EXPECT_EQ(driver().ItemText(kSpeed), "-") << "no speed in the first cycle";
    EXPECT_EQ(driver().ItemText(kPercent), "8%");
    EXPECT_EQ(driver().Pos(kProgress), 8);
    // A screen reader hears the percentage as the progress bar's description.
    EXPECT_EQ(driver().Control<QWidget>(kProgress)->accessibleDescription(), "8%");
    for (const int id : {kSpeed, kDuration, kPercent, kProgress, kPriority}) {
        EXPECT_TRUE(driver().IsItemShown(id)) << id;
    }

    TickAfter(1s);
    EXPECT_EQ(driver().ItemText(kSpeed), " 0.20 MB/s");
    // (1000000 - 82048) / (2048 * 60 / 5) = 37.35
    EXPECT_EQ(driver().ItemText(kDuration), "37 Min.");

    TickAfter(0s);  // no progress: the speed goes, the remaining time stays
    EXPECT_EQ(driver().ItemText(kSpeed), "-");
    EXPECT_EQ(driver().ItemText(kDuration), "37 Min.");
    EXPECT_EQ(session().State().pollCount, 1u);
}

// A host shown again shows its running rebuild's figures at once, not from its next poll.
TEST_F(RebuildTest, AHostShownAgainShowsItsRebuildAtOnce) {
    StartRebuilding(Rebuilding(80000, {10000}));
    WatchFurtherHosts({sim::Scenario{}});
    TickAfter(std::chrono::seconds(0), true);
    ASSERT_EQ(driver().ItemText(kPercent), "8%");
    for (const int row : {1, 0}) {
        ASSERT_TRUE(driver().UserSelectRow(kHostList, row));
    }
    EXPECT_EQ(driver().ItemText(kPercent), "8%");
}

TEST_F(RebuildTest, TooltipHasALinePerControllerAndOtherControllersLeaveTheControls) {
    // Controller 0 rebuilds nothing; controller 1 (not shown) goes from 8 % to 15 %.
    sim::Scenario scenario = Rebuilding(80000, {0, 10000});
    scenario.controllers[0].rebuild.active = false;
    StartRebuilding(scenario);
    TickAfter(0s, true);
    TickAfter(1s);
    TakeTrayRecords();
    TickAfter(6s);

    const auto records = TakeTrayRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().tip,
              "Kavotronik Veltrix\nRebuildstatus:\nController No.0    -   "
              "\nController No.1 Rebuild 15%");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].balloonText, "Controller No.1  15%");
    EXPECT_EQ(driver().ItemText(kPercent), " ") << "the shown controller's own";
}

TEST_F(RebuildTest, NoBalloonOrTooltipLineAtZeroAndCompletionIsAnnounced) {
    StartRebuilding(Rebuilding(0, {100000}));  // 10 s to the end
    TickAfter(0s, true);
    auto records = TakeTrayRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0].tip, "Kavotronik Veltrix\nRebuildstatus:");

    TickAfter(11s);  // finished: the completion event re-reads the controller
    const auto balloons = BalloonTexts();
    EXPECT_EQ(balloons,
              std::vector<std::string>{"Rebuildprogress: Controller No.0  completed 100%"});
    EXPECT_EQ(driver().ItemText(kPercent), " ");
    EXPECT_EQ(driver().ItemText(kDuration), "-");
}

TEST_F(RebuildTest, AnUnchangedTooltipIsNotSentAgainUntilTheNextConnect) {
    sim::Scenario scenario = Rebuilding(0, {0});
    scenario.controllers[0].rebuild.active = false;
    StartRebuilding(scenario);
    const std::string quiet = "Kavotronik Veltrix\nRebuildstatus:\nController No.0    -   ";
    for (int connect = 0; connect < 2; ++connect) {
        TickAfter(0s, true);
        const auto records = TakeTrayRecords();
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.back().tip, quiet) << "the connect's own tip is replaced";
        TickAfter(5s);
        TickAfter(5s);
        EXPECT_TRUE(TakeTrayRecords().empty()) << "quiet cycles repeat the same tooltip";
        ASSERT_TRUE(Click(kDisconnect));
        Connect();
    }
}

TEST_F(RebuildTest, OneRebuildPriorityCommandPerSliderMoveAtTheNextCycle) {
    StartRebuilding(Rebuilding(80000, {0}));
    ASSERT_EQ(window().Body().State().selectedSet, 0);
    TickAfter(0s, true);
    sim().ClearTranscript();
    ASSERT_TRUE(driver().UserMoveTrackbar(kPriority, 30));
    ASSERT_TRUE(driver().UserMoveTrackbar(kPriority, 70));
    EXPECT_FALSE(sim().WaitForCode(SET_REBUILD_PRIORITY, 50ms).has_value()) << "not while dragging";

    Tick();
    Tick();
    std::vector<std::vector<std::uint8_t>> sent;
    for (const auto& entry : sim().Transcript()) {
        if (entry.code == SET_REBUILD_PRIORITY) {
            sent.push_back(entry.data);
        }
    }
    EXPECT_EQ(sent, (std::vector<std::vector<std::uint8_t>>{{0, 0, 70, 0}}));
}

// A service that reports absurd positions (far past the capacity, jumping by more
// than 2^64 / 60 sectors, whose 60-fold wraps to 0): every cycle runs to its end.
TEST_F(RebuildTest, AbsurdPositionsNeverEndACycle) {
    sim::Scenario scenario = Rebuilding(0, {std::uint64_t{1} << 62});
    scenario.controllers[0].rebuild.endPosition = ~std::uint64_t{0};
    StartRebuilding(std::move(scenario));
    for (int tick = 0; tick < 4; ++tick) {
        TickAfter(1000ms, tick == 0);
    }
    EXPECT_TRUE(window().Monitor().IsConnected());
    const auto codes = receivedCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), GET_REBUILD_STATUS), 4);
    EXPECT_EQ(session().Link().failureCounter, 0);
}

}  // namespace
}  // namespace veltrix::testing
