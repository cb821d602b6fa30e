#include "ui/shell/sleep_watcher.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QString>
#include <utility>

namespace veltrix::app {

namespace {

const QString kLoginService = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kPrepareForSleep = QStringLiteral("PrepareForSleep");

}  // namespace

SleepWatcher::SleepWatcher(std::function<void(PowerEvent event)> onPowerEvent, QObject* parent)
    : QObject(parent), onPowerEvent_(std::move(onPowerEvent)) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        // Normal in containers and on build machines: the program runs on without
        // sleep notices.
        qDebug("Veltrix: no system bus, sleep and resume are not watched (%s)",
               qPrintable(bus.lastError().message()));
        return;
    }
    listening_ = bus.connect(kLoginService, kLoginPath, kLoginManager, kPrepareForSleep, this,
                             SLOT(OnPrepareForSleep(bool)));
    if (!listening_) {
        qDebug("Veltrix: sleep and resume are not watched (%s)",
               qPrintable(bus.lastError().message()));
    }
}

PowerEvent SleepWatcher::PowerEventFor(bool goingToSleep) {
    return goingToSleep ? PowerEvent::Suspend : PowerEvent::Resume;
}

void SleepWatcher::OnPrepareForSleep(bool start) {
    if (onPowerEvent_) {
        onPowerEvent_(PowerEventFor(start));
    }
}

}  // namespace veltrix::app
