#include "session/manual_time_source.h"

#include <algorithm>
#include <utility>

namespace veltrix {

TimeSource::TimerHandle ManualTimeSource::StartTimer(int periodMs, std::function<void()> onTick) {
    const std::int64_t period = std::max(periodMs, 1);
    const std::lock_guard lock(mutex_);
    const TimerHandle handle = nextHandle_++;
    timers_.emplace(handle, Timer{now_ + period, period, std::move(onTick)});
    return handle;
}

void ManualTimeSource::StopTimer(TimerHandle handle) {
    const std::lock_guard lock(mutex_);
    timers_.erase(handle);
}

std::int64_t ManualTimeSource::NowMs() const {
    const std::lock_guard lock(mutex_);
    return now_;
}

int ManualTimeSource::ActiveTimers() const {
    const std::lock_guard lock(mutex_);
    return static_cast<int>(timers_.size());
}

void ManualTimeSource::Advance(std::int64_t ms) {
    std::unique_lock lock(mutex_);
    const std::int64_t end = now_ + std::max<std::int64_t>(ms, 0);
    for (;;) {
        // Earliest due timer; handles grow with start order, so the first of equal
        // times is the one started first.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (next == timers_.end() || it->second.due < next->second.due) {
                next = it;
            }
        }
        if (next == timers_.end() || next->second.due > end) {
            break;
        }
        now_ = next->second.due;
        next->second.due += next->second.period;
        // A copy: the tick may stop its own timer and so destroy the stored callback.
        const std::function<void()> onTick = next->second.onTick;
        lock.unlock();
        onTick();
        lock.lock();
    }
    now_ = end;
}

}  // namespace veltrix
