#include "session/timer.h"

#include <utility>

namespace veltrix {

Timer::Timer(TimeSource& time, std::function<void()> onTick)
    : time_(time), onTick_(std::move(onTick)) {}

Timer::~Timer() {
    Stop();
}

void Timer::Start(int ms) {
    Stop();
    handle_ = time_.StartTimer(ms, [this] { onTick_(); });
}

bool Timer::Stop() {
    if (handle_ == 0) {
        return false;
    }
    const TimeSource::TimerHandle handle = handle_;
    handle_ = 0;
    time_.StopTimer(handle);
    return true;
}

}  // namespace veltrix
