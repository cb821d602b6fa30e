#pragma once
// Tells the program when the machine is about to sleep and when it has woken up, from
// the login manager's PrepareForSleep signal on the system D-Bus. Without a system
// bus (containers, build machines) it stays quiet and reports nothing.

#include <QObject>
#include <functional>

namespace veltrix::app {

// Power events handed to the program, as the power-broadcast message numbers them.
inline constexpr int kPowerSuspend = 4;
inline constexpr int kPowerResumeSuspend = 7;

class SleepWatcher : public QObject {
    Q_OBJECT

  public:
    explicit SleepWatcher(std::function<void(int powerEvent)> onPowerEvent,
                          QObject* parent = nullptr);

    // Whether the signal subscription is in place.
    bool IsListening() const { return listening_; }

    // The power event for PrepareForSleep(start): suspend before sleep, resume after.
    static int PowerEventFor(bool goingToSleep);

  public slots:
    // Receives PrepareForSleep from the bus.
    void OnPrepareForSleep(bool start);

  private:
    std::function<void(int)> onPowerEvent_;
    bool listening_ = false;
};

}  // namespace veltrix::app
