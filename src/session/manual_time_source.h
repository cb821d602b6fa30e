#pragma once
// A clock that only moves when told: tests advance it and the timers that fall due
// fire at once, in time order, without waiting.
//
// Timers may be started and stopped from any thread (the session's timers live on its
// own thread); each tick runs on the thread that advances the clock, with no lock
// held, so a tick may hand its work to another thread and wait for it.

#include <map>
#include <mutex>

#include "session/time_source.h"

namespace veltrix {

class ManualTimeSource : public TimeSource {
  public:
    TimerHandle StartTimer(int periodMs, std::function<void()> onTick) override;
    void StopTimer(TimerHandle handle) override;
    std::int64_t NowMs() const override;

    // Moves the clock forward by `ms`, firing every tick that falls due on the way in
    // time order (equal times in the order the timers were started). The clock stands
    // at each tick's time while it runs; timers stopped, started or re-armed by a tick
    // take effect at once, so a timer started during the advance fires within it when
    // it falls due before the end.
    void Advance(std::int64_t ms);

    // Number of running timers.
    int ActiveTimers() const;

  private:
    struct Timer {
        std::int64_t due = 0;
        std::int64_t period = 1;
        std::function<void()> onTick;
    };

    mutable std::mutex mutex_;
    std::map<TimerHandle, Timer> timers_;
    TimerHandle nextHandle_ = 1;
    std::int64_t now_ = 0;
};

}  // namespace veltrix
