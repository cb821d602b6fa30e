#pragma once
// Balloons as desktop notifications, for a desktop without a notification area: each
// goes to the notification service of the session bus (org.freedesktop.Notifications)
// with the program's name and icon, the balloon's title and text and an urgency from
// its severity.
//
// A balloon replaces the program's notification with the same title that is still on
// screen, so the rebuild's steps update one notification instead of stacking new ones.
// With several hosts a balloon's title begins with its host's name: each host's
// notifications replace only their own.
// Clicking a notification (its default action) calls onActivated. Calls are
// asynchronous and bounded: the window never waits for the service. Without a session
// bus or a notification service the balloons are dropped, reported once.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "session/session_types.h"

namespace veltrix::shell {

class DesktopNotifications : public QObject {
    Q_OBJECT

  public:
    // Bound on the service's answer to a notification.
    static constexpr int kCallBoundMs = 5000;

    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);

    void Show(const std::string& title, const std::string& text, Severity severity, int timeoutMs);

    // The user clicked one of the program's notifications.
    std::function<void()> onActivated;

    // The urgency the notification service is given for a severity: 1 normal, 2
    // critical.
    static unsigned char UrgencyFor(Severity severity);

  private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

  private:
    struct Balloon {
        QString title;
        QString text;
        Severity severity = Severity::Information;
        int timeoutMs = 0;
    };

    void Send(const Balloon& balloon);
    void OnSent(const QString& title, std::optional<uint> id, const QString& error);
    QString Body(const QString& text) const;

    QDBusConnection bus_;
    // The notification on screen for each title.
    std::map<QString, uint> shown_;
    // Titles whose notification is on its way, with the balloon that came meanwhile
    // (sent when the first is answered, replacing it).
    std::map<QString, std::optional<Balloon>> inFlight_;
    // Whether the service reads markup in the text; unknown until it has said.
    std::optional<bool> bodyMarkup_;
    bool failureReported_ = false;
};

}  // namespace veltrix::shell
