#pragma once
// A clock that only moves when told: tests advance it and the timers that fall due
// fire at once, in time order, without waiting.

#include <map>

#include "session/time_source.h"

namespace veltrix {

class ManualTimeSource : public TimeSource {
  public:
    TimerHandle StartTimer(int periodMs, std::function<void()> onTick) override;
    void StopTimer(TimerHandle handle) override;
    std::int64_t NowMs() const override { return now_; }

    // Moves the clock forward by `ms`, firing every tick that falls due on the way in
    // time order (equal times in the order the timers were started). The clock stands
    // at each tick's time while it runs; timers stopped, started or re-armed by a tick
    // take effect at once, so a timer started during the advance fires within it when
    // it falls due before the end.
    void advance(std::int64_t ms);

    // Number of running timers.
    int ActiveTimers() const { return static_cast<int>(timers_.size()); }

  private:
    struct Timer {
        std::int64_t due = 0;
        std::int64_t period = 1;
        std::function<void()> onTick;
    };

    std::map<TimerHandle, Timer> timers_;
    TimerHandle nextHandle_ = 1;
    std::int64_t now_ = 0;
};

}  // namespace veltrix
