#pragma once
// One Veltrix per user and display: the first start listens on a local socket named
// after both; a later start finds it, asks the running program to show its window and
// ends. The socket goes with the process that listens; one a crash left behind refuses
// connections, and the next start takes its place.
//
// A lock beside the socket (`<socket>.lock`, flock) decides who that is when two
// start in the same instant: only the start that holds it replaces a stale socket and
// listens; the other waits (bounded) for the holder's socket and hands over to it. The
// kernel drops the lock with the process, also after a crash.
//
// The exchange is one line each way: "show\n" from the new start, then "shown\n" (or
// "hidden\n" when the window could not be shown) from the running program.
//
// Plain Unix sockets with a socket notifier rather than Qt's local socket classes:
// those bring the whole network library (and Kerberos and a proxy resolver with it)
// into every start for one line each way.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace veltrix {

class SingleInstance : public QObject {
  public:
    // Bound on the running program's answer.
    static constexpr int kAnswerBoundMs = 5000;

    enum class Start {
        First,       // no other instance: this one listens for later starts
        HandedOver,  // the running instance answered; this one ends
        NoAnswer,    // one runs but did not answer in time
        Alone,       // the socket could not be set up: this one runs without it
    };

    // `path`: the socket; see SocketPath().
    explicit SingleInstance(QString path, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The socket for this user and display: in $XDG_RUNTIME_DIR (the user's own
    // folder), else in the temporary folder with the user id in the name. Needs the
    // application object (the display comes from its platform).
    static QString SocketPath();

    // Listens, or hands over to the instance that does.
    Start Begin();

    // A later start asked for the window; returns whether it is visible now.
    std::function<bool()> onShowRequested;

  private:
    Start HandOver();
    // Another start holds the lock: its socket appears within the bound.
    Start HandOverToLockHolder();
    // Binds and listens: First, Alone, or nothing when the name is taken.
    std::optional<Start> Listen();
    void OnNewConnection();

    QString path_;
    int listenFd_ = -1;
    std::unique_ptr<QSocketNotifier> listener_;
    int lockFd_ = -1;  // held for the program's life
};

}  // namespace veltrix
