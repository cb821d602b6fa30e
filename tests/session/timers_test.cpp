// Window timers on the manual clock (and one short check on real time).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "session/manual_time_source.h"
#include "session/qt_time_source.h"
#include "session/timer.h"

namespace veltrix::testing {
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
        time.Advance(row.advance);
        EXPECT_EQ(ticks, row.expected);
        EXPECT_EQ(time.NowMs(), row.advance);
    }
}

TEST(ManualTimeSourceTest, TicksComeInTimeOrderAndSeeTheirOwnTime) {
    ManualTimeSource time;
    std::vector<std::pair<char, std::int64_t>> seen;
    time.StartTimer(300, [&] { seen.emplace_back('A', time.NowMs()); });
    time.StartTimer(200, [&] { seen.emplace_back('B', time.NowMs()); });
    time.Advance(600);
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
    time.Advance(260);
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
    time.Advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(time.ActiveTimers(), 0);
}

TEST(TimerTest, StartReArmsAndCountsFromNow) {
    ManualTimeSource time;
    std::vector<std::int64_t> ticks;
    {
        Timer timer(time, [&] { ticks.push_back(time.NowMs()); });
        timer.Start(500);
        time.Advance(400);
        timer.Start(5000);  // replaces the first: no tick at 500
        time.Advance(5000);
        EXPECT_EQ(ticks, std::vector<std::int64_t>{5400});
        EXPECT_EQ(time.ActiveTimers(), 1);
        EXPECT_TRUE(timer.Stop());
        EXPECT_FALSE(timer.Stop());
        EXPECT_FALSE(timer.IsActive());
        timer.Start(10);
    }
    EXPECT_EQ(time.ActiveTimers(), 0) << "a timer that goes stops";
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
}  // namespace veltrix::testing
