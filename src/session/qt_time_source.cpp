#include "session/qt_time_source.h"

#include <QTimer>
#include <algorithm>
#include <utility>

namespace veltrix {

struct QtTimeSource::Entry {
    std::unique_ptr<QTimer> timer;
    std::function<void()> onTick;
    int firing = 0;  // nesting depth of running ticks (a tick may run a modal loop)
};

QtTimeSource::QtTimeSource() {
    clock_.start();
}

QtTimeSource::~QtTimeSource() {
    while (!timers_.empty()) {
        StopTimer(timers_.begin()->first);
    }
}

TimeSource::TimerHandle QtTimeSource::StartTimer(int periodMs, std::function<void()> onTick) {
    const TimerHandle handle = nextHandle_++;
    auto entry = std::make_shared<Entry>();
    entry->timer = std::make_unique<QTimer>();
    entry->timer->setTimerType(Qt::PreciseTimer);
    entry->timer->setInterval(std::max(periodMs, 1));
    entry->onTick = std::move(onTick);
    QObject::connect(entry->timer.get(), &QTimer::timeout, [this, handle] { Fire(handle); });
    entry->timer->start();
    timers_.emplace(handle, std::move(entry));
    return handle;
}

void QtTimeSource::StopTimer(TimerHandle handle) {
    const auto it = timers_.find(handle);
    if (it == timers_.end()) {
        return;
    }
    std::shared_ptr<Entry> entry = std::move(it->second);
    timers_.erase(it);
    entry->timer->stop();
    QObject::disconnect(entry->timer.get(), nullptr, nullptr, nullptr);
    if (entry->firing > 0) {
        // The timer is emitting right now; it must outlive its own signal.
        entry->timer.release()->deleteLater();
    }
}

void QtTimeSource::Fire(TimerHandle handle) {
    const auto it = timers_.find(handle);
    if (it == timers_.end()) {
        return;
    }
    std::shared_ptr<Entry> entry = it->second;
    const std::function<void()> onTick = entry->onTick;
    ++entry->firing;
    onTick();
    --entry->firing;
}

std::int64_t QtTimeSource::NowMs() const {
    return clock_.elapsed();
}

}  // namespace veltrix
