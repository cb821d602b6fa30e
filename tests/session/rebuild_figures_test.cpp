// Rebuild speed and remaining time from two positions, including positions a hostile
// service could send.

#include <gtest/gtest.h>

#include <limits>

#include "session/rebuild_figures.h"

namespace veltrix {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

struct FiguresCase {
    const char* name;
    std::uint64_t position;
    std::uint64_t last;
    std::uint64_t capacity;
    bool advanced;
    std::uint64_t minutes;
};

class RebuildFiguresTest : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(RebuildFiguresTest, NeverDividesByZeroNorWraps) {
    const FiguresCase& c = GetParam();
    const RebuildFigures figures = ComputeRebuildFigures(c.position, c.last, c.capacity);
    EXPECT_EQ(figures.advanced, c.advanced);
    if (c.advanced) {
        EXPECT_EQ(figures.minutes, c.minutes);
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, RebuildFiguresTest,
                         ::testing::Values(
                             // 2048 sectors in 5 s are 24576 a minute.
                             FiguresCase{"usual", 2048, 0, 2048 + 24576 * 10, true, 10},
                             FiguresCase{"stalled", 5000, 5000, 100000, false, 0},
                             FiguresCase{"backwards", 4000, 5000, 100000, false, 0},
                             FiguresCase{"past_capacity", 200000, 100000, 150000, true, 0},
                             // (kMax - 0) * 60 wraps; the rate stays the largest there is.
                             FiguresCase{"huge_step", kMax, 0, kMax, true, 0},
                             // A step whose 60-fold wraps to exactly 0 in 64 bits.
                             FiguresCase{"wraps_to_zero", (1ull << 62), 0, kMax, true,
                                         (kMax - (1ull << 62)) / kMax},
                             FiguresCase{"one_sector", 1, 0, 1 + 12 * 7, true, 7}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(RebuildTextsTest, SpeedAndDurationAsShown) {
    EXPECT_EQ(SpeedText(ComputeRebuildFigures(2048, 0, 4096).speed), " 0.20 MB/s");
    EXPECT_EQ(DurationText(kMax), "2147483647 Min.");
    EXPECT_EQ(DurationText(42), "42 Min.");
}

}  // namespace
}  // namespace veltrix
