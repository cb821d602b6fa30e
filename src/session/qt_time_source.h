#pragma once
// Real time: one precise QTimer per started timer, driven by the Qt event loop.

#include <QElapsedTimer>
#include <map>
#include <memory>

#include "session/time_source.h"

class QTimer;

namespace veltrix {

class QtTimeSource : public TimeSource {
  public:
    QtTimeSource();
    ~QtTimeSource() override;
    QtTimeSource(const QtTimeSource&) = delete;
    QtTimeSource& operator=(const QtTimeSource&) = delete;

    TimerHandle StartTimer(int periodMs, std::function<void()> onTick) override;
    void StopTimer(TimerHandle handle) override;
    std::int64_t NowMs() const override;

  private:
    struct Entry;
    void Fire(TimerHandle handle);

    std::map<TimerHandle, std::shared_ptr<Entry>> timers_;
    TimerHandle nextHandle_ = 1;
    QElapsedTimer clock_;
};

}  // namespace veltrix
