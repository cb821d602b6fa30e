#pragma once
// Window timers by id: SetTimer/KillTimer of one window, every tick reported to one
// handler with the timer's id.

#include <functional>
#include <map>

#include "session/time_source.h"

namespace veltrix {

class WindowTimers {
  public:
    using Handler = std::function<void(int id)>;

    WindowTimers(TimeSource& time, Handler onTimer);
    ~WindowTimers();
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    // Arms timer `id` to tick every `ms` milliseconds; a timer already running with
    // that id is replaced and counts again from now.
    void Set(int id, int ms);
    // Stops timer `id`; false when it was not running.
    bool Kill(int id);
    bool IsSet(int id) const { return handles_.count(id) != 0; }
    void KillAll();

  private:
    TimeSource& time_;
    Handler onTimer_;
    std::map<int, TimeSource::TimerHandle> handles_;
};

}  // namespace veltrix
