#pragma once
// Where window timers get their ticks from: real time in the program, a manual
// clock in tests.

#include <cstdint>
#include <functional>

namespace veltrix {

class TimeSource {
  public:
    using TimerHandle = std::uint64_t;  // never 0 for a started timer

    virtual ~TimeSource() = default;

    // Starts a periodic timer that calls `onTick` every `periodMs` milliseconds until
    // stopped (periods below 1 ms count as 1 ms).
    virtual TimerHandle StartTimer(int periodMs, std::function<void()> onTick) = 0;
    // Stops a timer; unknown or already stopped handles are ignored. Safe inside the
    // timer's own tick.
    virtual void StopTimer(TimerHandle handle) = 0;
    // Milliseconds since an arbitrary fixed point.
    virtual std::int64_t NowMs() const = 0;
};

}  // namespace veltrix
