#include "session/timers.h"

#include <utility>

namespace veltrix {

WindowTimers::WindowTimers(TimeSource& time, Handler onTimer)
    : time_(time), onTimer_(std::move(onTimer)) {}

WindowTimers::~WindowTimers() {
    KillAll();
}

void WindowTimers::Set(int id, int ms) {
    Kill(id);
    handles_[id] = time_.StartTimer(ms, [this, id] { onTimer_(id); });
}

bool WindowTimers::Kill(int id) {
    const auto it = handles_.find(id);
    if (it == handles_.end()) {
        return false;
    }
    const TimeSource::TimerHandle handle = it->second;
    handles_.erase(it);
    time_.StopTimer(handle);
    return true;
}

void WindowTimers::KillAll() {
    while (!handles_.empty()) {
        Kill(handles_.begin()->first);
    }
}

}  // namespace veltrix
