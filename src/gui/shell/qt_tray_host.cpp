#include "gui/shell/qt_tray_host.h"

#include <QIcon>

#include "gui/resources/icons.h"
#include "gui/resources/main_window_ids.h"

namespace veltrix::shell {

namespace {

QSystemTrayIcon::MessageIcon BalloonIcon(Severity severity) {
    switch (severity) {
        case Severity::Information:
            return QSystemTrayIcon::Information;
        case Severity::Warning:
            return QSystemTrayIcon::Warning;
        case Severity::Error:
            return QSystemTrayIcon::Critical;
    }
    return QSystemTrayIcon::NoIcon;
}

// How often an added icon looks for a tray that was not there (a panel that starts
// after the program, as at log-in).
constexpr int kTrayWaitMs = 5000;

}  // namespace

QtTrayHost::QtTrayHost(QObject* parent) : QObject(parent), icon_(new QSystemTrayIcon(this)) {
    connect(icon_, &QSystemTrayIcon::activated, this, &QtTrayHost::OnActivated);
    trayWait_.setInterval(kTrayWaitMs);
    connect(&trayWait_, &QTimer::timeout, this, &QtTrayHost::ShowWhenTrayThere);
}

QtTrayHost::~QtTrayHost() {
    // Take the icon off the panel before the object goes, not when Qt gets to it.
    icon_->hide();
}

void QtTrayHost::Notify(NotifyOp op, const NotifyRecord& record) {
    switch (op) {
        case NotifyOp::Add:
            Apply(record);
            // The tray shows nothing for an icon without a picture; the program's own
            // icon stands in when the record names none we draw.
            if (icon_->icon().isNull()) {
                icon_->setIcon(ProgramIcon(icon_id::kApplication));
                iconId_ = icon_id::kApplication;
            }
            shownIdentifier_ = record.identifier;
            ShowWhenTrayThere();
            break;
        case NotifyOp::Modify:
            // As in the desktop shell: only an icon that is there can be modified.
            if (!IsShown() || record.identifier != shownIdentifier_) {
                return;
            }
            Apply(record);
            ShowWhenTrayThere();
            break;
        case NotifyOp::Delete:
            if (!IsShown() || record.identifier != shownIdentifier_) {
                return;
            }
            trayWait_.stop();
            icon_->hide();
            shownIdentifier_ = 0;
            return;
    }
    if (record.flags.testFlag(NotifyPart::Balloon)) {
        ShowBalloon(record);
    }
}

void QtTrayHost::ShowBalloon(const NotifyRecord& record) {
    // A balloon needs the icon on a panel to point at; without one (no tray, or the
    // panel went away) it becomes a desktop notification.
    if (icon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_->showMessage(QString::fromStdString(record.balloonTitle),
                           QString::fromStdString(record.balloonText),
                           BalloonIcon(record.balloonSeverity), static_cast<int>(record.timeoutMs));
        return;
    }
    if (!notifications_) {
        notifications_ = std::make_unique<DesktopNotifications>();
        notifications_->onActivated = [this] {
            if (onNotificationActivated) {
                onNotificationActivated();
            }
        };
    }
    notifications_->Show(record.balloonTitle, record.balloonText, record.balloonSeverity,
                         static_cast<int>(record.timeoutMs));
}

bool QtTrayHost::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QString QtTrayHost::ToolTip() const {
    return icon_->toolTip();
}

void QtTrayHost::SimulateActivation(QSystemTrayIcon::ActivationReason reason) {
    emit icon_->activated(reason);
}

void QtTrayHost::Apply(const NotifyRecord& record) {
    // The poll cycle modifies the icon every 5 s with what it mostly already shows; a
    // tray on the bus would be sent a new icon and tooltip each time, so only changes
    // reach it.
    if (record.flags.testFlag(NotifyPart::Icon) && record.iconId != iconId_) {
        const QIcon icon = ProgramIcon(record.iconId);
        // An unknown number keeps the icon there is; the tray refuses to show none.
        if (!icon.isNull()) {
            icon_->setIcon(icon);
            iconId_ = record.iconId;
        }
    }
    if (record.flags.testFlag(NotifyPart::Tip)) {
        const QString tip = QString::fromStdString(record.tip);
        if (tip != icon_->toolTip()) {
            icon_->setToolTip(tip);
        }
    }
}

void QtTrayHost::ShowWhenTrayThere() {
    if (!IsShown() || icon_->isVisible()) {
        trayWait_.stop();
        return;
    }
    // Showing without a tray would only make Qt look for one on a platform that may
    // not offer it, and complain; the timer looks again instead.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_->show();
        trayWait_.stop();
    } else if (!trayWait_.isActive()) {
        trayWait_.start();
    }
}

void QtTrayHost::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    // Only a plain left click reaches the program; the icon has no context menu.
    if (onActivated) {
        onActivated(reason);
    }
}

}  // namespace veltrix::shell
