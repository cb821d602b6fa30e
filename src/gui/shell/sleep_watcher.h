#pragma once
// Tells the program when the machine is about to sleep and when it has woken up, from
// the login manager's PrepareForSleep signal on the system D-Bus, and makes the sleep
// wait for the program's logoff.
//
// While the program is logged in to the service it holds a delay lock of the login
// manager ("sleep", "delay"). When the machine is about to sleep, the suspend power
// event goes out (the session logs off and closes the pipe on its thread) and the lock
// is given back once the session reports it done, or after a bound at the latest, so
// the logoff is on the wire before the machine sleeps. The next login takes the lock
// again (after resume the program reconnects by itself).
//
// Without a system bus (containers, build machines) it says so once, reports nothing
// and takes no lock. The owner joins the system bus (ListenToSystemBus) once the window
// has painted, so that connecting does not hold up the window's first picture.

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "session/session_types.h"

namespace veltrix::shell {

class SleepWatcher : public QObject {
    Q_OBJECT

  public:
    // The longest the sleep waits for the session's logoff, below the login manager's
    // own default limit of 5 s.
    static constexpr int kSuspendBoundMs = 4000;
    // Bound on the login manager's answer to the lock request.
    static constexpr int kInhibitCallBoundMs = 5000;

    // Listens on `bus` at once; without one, once ListenToSystemBus() is called.
    explicit SleepWatcher(std::function<void(PowerEvent event)> onPowerEvent,
                          QObject* parent = nullptr,
                          std::optional<QDBusConnection> bus = std::nullopt);
    ~SleepWatcher() override;
    SleepWatcher(const SleepWatcher&) = delete;
    SleepWatcher& operator=(const SleepWatcher&) = delete;

    // Joins the system bus and listens there.
    void ListenToSystemBus() { Listen(QDBusConnection::systemBus()); }
    // Whether the signal subscription is in place.
    bool IsListening() const { return listening_; }
    // Whether the delay lock is held now.
    bool HoldsLock() const { return lockFd_ >= 0; }
    // Whether a sleep waits for the session's report.
    bool IsSuspending() const { return suspending_; }

    // The power event for PrepareForSleep(start): suspend before sleep, resume after.
    static PowerEvent PowerEventFor(bool goingToSleep);

    // The program logged in (true) or the connection ended (false): the lock is taken
    // or given back.
    void SetLoggedIn(bool loggedIn);
    // The session has run the steps of a power event.
    void PowerHandled(PowerEvent event);
    // Tests shorten the wait for the session.
    void SetSuspendBound(int ms) { suspendBound_.setInterval(ms); }

  signals:
    // The delay lock was given back.
    void LockReleased();

  public slots:
    // Receives PrepareForSleep from the bus.
    void OnPrepareForSleep(bool start);

  private:
    void Listen(const QDBusConnection& bus);
    void TakeLock();
    void ReleaseLock();
    void ReportOnce(const char* what, const QString& why);

    std::function<void(PowerEvent)> onPowerEvent_;
    QDBusConnection bus_{QString()};  // not connected until Listen
    bool listening_ = false;
    bool loggedIn_ = false;
    // Between PrepareForSleep(true) and the session's report (or the bound).
    bool suspending_ = false;
    bool lockRequested_ = false;
    bool failureReported_ = false;
    int lockFd_ = -1;
    QTimer suspendBound_;
};

}  // namespace veltrix::shell
