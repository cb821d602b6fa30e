#include "gui/shell/sleep_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QGuiApplication>
#include <QString>
#include <utility>

#include "gui/platform/gui_log.h"

namespace veltrix::shell {

namespace {

const QString kLoginService = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kPrepareForSleep = QStringLiteral("PrepareForSleep");

}  // namespace

SleepWatcher::SleepWatcher(std::function<void(PowerEvent event)> onPowerEvent, QObject* parent,
                           std::optional<QDBusConnection> bus)
    : QObject(parent), onPowerEvent_(std::move(onPowerEvent)) {
    suspendBound_.setSingleShot(true);
    suspendBound_.setInterval(kSuspendBoundMs);
    connect(&suspendBound_, &QTimer::timeout, this, [this] {
        // The session did not report in time (a long exchange ahead of the logoff):
        // the machine may sleep now.
        suspending_ = false;
        ReleaseLock();
    });
    if (bus) {
        Listen(*bus);
    }
}

void SleepWatcher::Listen(const QDBusConnection& bus) {
    bus_ = bus;
    if (!bus_.isConnected()) {
        // Normal in containers and on build machines: the program runs on without
        // sleep notices.
        ReportOnce("sleep and resume are not watched: no system bus", bus_.lastError().message());
        return;
    }
    listening_ = bus_.connect(kLoginService, kLoginPath, kLoginManager, kPrepareForSleep, this,
                              SLOT(OnPrepareForSleep(bool)));
    if (!listening_) {
        ReportOnce("sleep and resume are not watched", bus_.lastError().message());
        return;
    }
    if (loggedIn_ && !suspending_) {
        TakeLock();  // the login came before the bus was joined
    }
}

SleepWatcher::~SleepWatcher() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

PowerEvent SleepWatcher::PowerEventFor(bool goingToSleep) {
    return goingToSleep ? PowerEvent::Suspend : PowerEvent::Resume;
}

void SleepWatcher::SetLoggedIn(bool loggedIn) {
    loggedIn_ = loggedIn;
    if (!loggedIn) {
        ReleaseLock();
    } else if (!suspending_) {
        TakeLock();
    }
}

void SleepWatcher::OnPrepareForSleep(bool start) {
    if (start) {
        suspending_ = true;
        suspendBound_.start();
    }
    if (onPowerEvent_) {
        onPowerEvent_(PowerEventFor(start));
    }
    if (start && !HoldsLock() && !lockRequested_) {
        // Nothing holds the sleep back: no need to wait for the session's report.
        suspending_ = false;
        suspendBound_.stop();
    }
}

void SleepWatcher::PowerHandled(PowerEvent event) {
    if (event != PowerEvent::Suspend || !suspending_) {
        return;
    }
    suspending_ = false;
    suspendBound_.stop();
    ReleaseLock();
}

void SleepWatcher::TakeLock() {
    if (!listening_ || HoldsLock() || lockRequested_) {
        return;
    }
    lockRequested_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(kLoginService, kLoginPath, kLoginManager,
                                                       QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QGuiApplication::applicationDisplayName()
         << QStringLiteral("Logs off from the RAID monitoring service") << QStringLiteral("delay");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kInhibitCallBoundMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* pending) {
                pending->deleteLater();
                lockRequested_ = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *pending;
                if (reply.isError() || !reply.value().isValid()) {
                    ReportOnce("the sleep does not wait for the logoff",
                               reply.isError() ? reply.error().message()
                                               : QStringLiteral("no lock was given"));
                    return;
                }
                // An own copy, closed exactly when the lock is given back; the reply's
                // copy goes with the reply.
                const int fd = ::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0);
                if (fd < 0) {
                    return;
                }
                if (loggedIn_ && !suspending_ && lockFd_ < 0) {
                    lockFd_ = fd;
                } else {
                    ::close(fd);  // logged off or going to sleep meanwhile
                }
            });
}

void SleepWatcher::ReleaseLock() {
    if (lockFd_ < 0) {
        return;
    }
    ::close(lockFd_);
    lockFd_ = -1;
    emit LockReleased();
}

void SleepWatcher::ReportOnce(const char* what, const QString& why) {
    if (failureReported_) {
        return;
    }
    failureReported_ = true;
    qCDebug(platform::GuiLog, "%s (%s)", what, qPrintable(why));
}

}  // namespace veltrix::shell
