#include "session/manual_time_source.h"

#include <algorithm>
#include <utility>

namespace veltrix {

TimeSource::TimerHandle ManualTimeSource::StartTimer(int periodMs, std::function<void()> onTick) {
    const std::int64_t period = std::max(periodMs, 1);
    const TimerHandle handle = nextHandle_++;
    timers_.emplace(handle, Timer{now_ + period, period, std::move(onTick)});
    return handle;
}

void ManualTimeSource::StopTimer(TimerHandle handle) {
    timers_.erase(handle);
}

void ManualTimeSource::advance(std::int64_t ms) {
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
        onTick();
    }
    now_ = end;
}

}  // namespace veltrix
