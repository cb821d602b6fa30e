#include "session/rebuild_figures.h"

#include <climits>
#include <limits>

#include "texts/format.h"

namespace veltrix {

namespace {

constexpr std::uint64_t kPollSeconds = 5;
constexpr std::uint64_t kSecondsPerMinute = 60;

}  // namespace

RebuildFigures ComputeRebuildFigures(std::uint64_t position, std::uint64_t lastPosition,
                                     std::uint64_t capacity) {
    RebuildFigures figures;
    const float advanced = static_cast<float>(position) - static_cast<float>(lastPosition);
    figures.speed = advanced * 512.0f / 5.0f / 1048576.0f;
    if (position <= lastPosition) {
        return figures;
    }
    figures.advanced = true;
    const std::uint64_t moved = position - lastPosition;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    // Sectors per minute; at least 12 for a step of one sector, so never 0.
    const std::uint64_t rate =
        moved > kMax / kSecondsPerMinute ? kMax : moved * kSecondsPerMinute / kPollSeconds;
    figures.minutes = capacity > position ? (capacity - position) / rate : 0;
    return figures;
}

std::string DurationText(std::uint64_t minutes) {
    const int shown =
        minutes > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(minutes);
    return Format("%d Min.", shown);
}

std::string SpeedText(float speed) {
    return Format("%5.2f", static_cast<double>(speed)) + " MB/s";
}

}  // namespace veltrix
