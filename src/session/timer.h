#pragma once
// One named timer on a time source, with its own handler: started (or re-armed, then
// counting from now), stopped, and stopped for good when it goes.

#include <functional>

#include "session/time_source.h"

namespace veltrix {

class Timer {
  public:
    Timer(TimeSource& time, std::function<void()> onTick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Ticks every `ms` milliseconds from now on; a running timer starts afresh.
    void Start(int ms);
    // False when it was not running. Safe inside its own tick.
    bool Stop();
    bool IsActive() const { return handle_ != 0; }

  private:
    TimeSource& time_;
    std::function<void()> onTick_;
    TimeSource::TimerHandle handle_ = 0;
};

}  // namespace veltrix
