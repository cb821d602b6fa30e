#pragma once
// Tells the program when the machine is about to sleep and when it has woken up, from
// the login manager's PrepareForSleep signal on the system D-Bus. Without a system
// bus (containers, build machines) it stays quiet and reports nothing.

#include <QObject>
#include <functional>

#include "session/session_types.h"

namespace veltrix::app {

class SleepWatcher : public QObject {
    Q_OBJECT

  public:
    explicit SleepWatcher(std::function<void(PowerEvent event)> onPowerEvent,
                          QObject* parent = nullptr);

    // Whether the signal subscription is in place.
    bool IsListening() const { return listening_; }

    // The power event for PrepareForSleep(start): suspend before sleep, resume after.
    static PowerEvent PowerEventFor(bool goingToSleep);

  public slots:
    // Receives PrepareForSleep from the bus.
    void OnPrepareForSleep(bool start);

  private:
    std::function<void(PowerEvent)> onPowerEvent_;
    bool listening_ = false;
};

}  // namespace veltrix::app
