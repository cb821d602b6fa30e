// Window timers on the manual clock (and one short check on real time).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "sample_dialog.h"
#include "session/manual_time_source.h"
#include "session/qt_time_source.h"
#include "session/timers.h"

namespace veltrix::platform::testing {
namespace {

TEST(ManualTimeSourceTest, PeriodicTimersFireOncePerPeriod) {
    struct Row {
        int period;
        std::int64_t advance;
        int expected;
    };
    const Row rows[] = {{500, 499, 0},   {500, 500, 1},    {500, 5000, 10},
                        {5000, 4999, 0}, {3000, 10000, 3}, {0, 5, 5}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.period);
        ManualTimeSource time;
        int ticks = 0;
        time.StartTimer(row.period, [&ticks] { ++ticks; });
        time.advance(row.advance);
        EXPECT_EQ(ticks, row.expected);
        EXPECT_EQ(time.NowMs(), row.advance);
    }
}

TEST(ManualTimeSourceTest, TicksComeInTimeOrderAndSeeTheirOwnTime) {
    ManualTimeSource time;
    std::vector<std::pair<char, std::int64_t>> seen;
    time.StartTimer(300, [&] { seen.emplace_back('A', time.NowMs()); });
    time.StartTimer(200, [&] { seen.emplace_back('B', time.NowMs()); });
    time.advance(600);
    const std::vector<std::pair<char, std::int64_t>> expected = {
        {'B', 200}, {'A', 300}, {'B', 400}, {'A', 600}, {'B', 600}};
    EXPECT_EQ(seen, expected);
}

TEST(ManualTimeSourceTest, ATimerStartedDuringAnAdvanceFiresWithinIt) {
    ManualTimeSource time;
    std::vector<std::int64_t> late;
    time.StartTimer(100, [&] {
        if (time.NowMs() == 100) {
            time.StartTimer(50, [&] { late.push_back(time.NowMs()); });
        }
    });
    time.advance(260);
    EXPECT_EQ(late, (std::vector<std::int64_t>{150, 200, 250}));
    time.StopTimer(12345);  // unknown: ignored
    EXPECT_EQ(time.ActiveTimers(), 2);
}

TEST(ManualTimeSourceTest, StoppingInsideItsOwnTick) {
    ManualTimeSource time;
    int ticks = 0;
    TimeSource::TimerHandle handle = 0;
    handle = time.StartTimer(10, [&] {
        ++ticks;
        time.StopTimer(handle);
    });
    time.advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(time.ActiveTimers(), 0);
}

TEST(WindowTimersTest, SetTimerReArmsAndCountsFromNow) {
    ManualTimeSource time;
    std::vector<std::pair<int, std::int64_t>> ticks;
    WindowTimers timers(time, [&](int id) { ticks.emplace_back(id, time.NowMs()); });
    timers.Set(1, 500);
    time.advance(400);
    timers.Set(1, 5000);  // replaces the first: no tick at 500
    time.advance(5000);
    EXPECT_EQ(ticks, (std::vector<std::pair<int, std::int64_t>>{{1, 5400}}));
    EXPECT_EQ(time.ActiveTimers(), 1);
    EXPECT_TRUE(timers.Kill(1));
    EXPECT_FALSE(timers.Kill(1));
    EXPECT_FALSE(timers.IsSet(1));
    EXPECT_EQ(time.ActiveTimers(), 0);
}

class DialogTimersTest : public ::testing::Test {
  protected:
    ManualTimeSource time;
    SampleDialog dialog{&time};

    std::vector<int> TimerIds() const {
        std::vector<int> ids;
        for (const auto& entry : dialog.log) {
            if (entry.kind == "timer") {
                ids.push_back(entry.id);
            }
        }
        return ids;
    }
};

TEST_F(DialogTimersTest, AllTimersArriveAtOnTimerWithTheirIds) {
    dialog.SetTimer(99, 3000);
    dialog.SetTimer(98, 200);
    time.advance(3000);
    EXPECT_EQ(dialog.Count("timer"), 16);
    const std::vector<int> ids = TimerIds();
    EXPECT_EQ(ids.front(), 98);
    // Both fall due at 3000 ms; the one armed first comes first.
    EXPECT_EQ(std::vector<int>(ids.end() - 2, ids.end()), (std::vector<int>{99, 98}));
    EXPECT_TRUE(dialog.IsTimerSet(98));
}

TEST_F(DialogTimersTest, KillAndReArmInsideOnTimer) {
    // Timer 98 hides once; timer 1 goes from 500 ms once to 5000 ms.
    dialog.onTimer = [this](int id) {
        if (id == 98) {
            dialog.KillTimer(98);
        } else if (id == 1 && time.NowMs() == 500) {
            dialog.SetTimer(1, 5000);
        }
    };
    dialog.SetTimer(98, 200);
    dialog.SetTimer(1, 500);
    time.advance(10500);
    EXPECT_EQ(TimerIds(), (std::vector<int>{98, 1, 1, 1}));
    EXPECT_FALSE(dialog.IsTimerSet(98));
    EXPECT_TRUE(dialog.IsTimerSet(1));
}

TEST_F(DialogTimersTest, KillingAnotherTimerDueAtTheSameTimeStopsIt) {
    dialog.onTimer = [this](int id) {
        if (id == 1) {
            dialog.KillTimer(2);
        }
    };
    dialog.SetTimer(1, 100);
    dialog.SetTimer(2, 100);
    time.advance(300);
    EXPECT_EQ(TimerIds(), (std::vector<int>{1, 1, 1}));
}

TEST(DialogTimersLifetimeTest, DestroyingTheDialogStopsItsTimers) {
    ManualTimeSource time;
    {
        SampleDialog dialog(&time);
        dialog.SetTimer(1, 10);
        dialog.SetTimer(2, 20);
        EXPECT_EQ(time.ActiveTimers(), 2);
    }
    EXPECT_EQ(time.ActiveTimers(), 0);
    time.advance(100);  // nothing left to call
}

TEST(QtTimeSourceTest, RealTimersTickAndStopInsideTheirTick) {
    QtTimeSource time;
    int ticks = 0;
    TimeSource::TimerHandle handle = 0;
    handle = time.StartTimer(1, [&] {
        if (++ticks == 3) {
            time.StopTimer(handle);
        }
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 3);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_GE(time.NowMs(), 3);
}

}  // namespace
}  // namespace veltrix::platform::testing
