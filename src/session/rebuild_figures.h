#pragma once
// The arithmetic of one rebuild step: how fast the rebuild moved since the last poll
// and how long the rest will take. Positions and capacity are in 512-byte sectors;
// the poll period is 5 s.

#include <cstdint>
#include <string>

namespace veltrix {

struct RebuildFigures {
    // False when the position did not move forward (a stalled step).
    bool advanced = false;
    // Remaining minutes; meaningful only when advanced.
    std::uint64_t minutes = 0;
    // MB/s, single precision as the display has always computed it.
    float speed = 0.0f;
};

// Never divides by zero and never wraps: a step that moved so far that the sectors per
// minute do not fit 64 bits counts as the fastest rate there is; a position at or
// past the capacity leaves 0 minutes.
RebuildFigures ComputeRebuildFigures(std::uint64_t position, std::uint64_t lastPosition,
                                     std::uint64_t capacity);

// "%d Min." with the minutes cut to what an int shows.
std::string DurationText(std::uint64_t minutes);
// "%5.2f" + " MB/s".
std::string SpeedText(float speed);

}  // namespace veltrix
