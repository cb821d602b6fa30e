#include "gui/shell/desktop_notifications.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QImage>
#include <QStringList>
#include <QVariantMap>
#include <utility>

#include "gui/platform/gui_log.h"
#include "gui/resources/icons.h"
#include "gui/resources/main_window_ids.h"

namespace veltrix::shell {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");

constexpr int kImageSize = 48;

// The program's icon as the notification service takes raw pixels: width, height,
// bytes per row, alpha, bits per sample, samples per pixel, RGBA bytes.
struct ImageData {
    QImage image;
};

QDBusArgument& operator<<(QDBusArgument& out, const ImageData& data) {
    const QImage& image = data.image;
    out.beginStructure();
    out << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true << 8
        << 4
        << QByteArray(reinterpret_cast<const char*>(image.constBits()),
                      static_cast<qsizetype>(image.sizeInBytes()));
    out.endStructure();
    return out;
}

// Only sent, never received; the service has no reason to send one.
const QDBusArgument& operator>>(const QDBusArgument& in, ImageData&) {
    return in;
}

const ImageData& ProgramImage() {
    static const ImageData kImage{ProgramPixmap(icon_id::kApplication, kImageSize)
                                      .toImage()
                                      .convertToFormat(QImage::Format_RGBA8888)};
    return kImage;
}

}  // namespace

}  // namespace veltrix::shell

Q_DECLARE_METATYPE(veltrix::shell::ImageData)

namespace veltrix::shell {

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    qDBusRegisterMetaType<ImageData>();
    if (!bus_.isConnected()) {
        return;  // reported with the first balloon
    }
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnNotificationClosed(uint, uint)));
    // Whether the text is read as markup: until the service has said, it is escaped.
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                      QStringLiteral("GetCapabilities")),
                       kCallBoundMs),
        this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QStringList> reply = *call;
                if (!reply.isError()) {
                    bodyMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
                }
                call->deleteLater();
            });
}

unsigned char DesktopNotifications::UrgencyFor(Severity severity) {
    return severity == Severity::Error ? 2 : 1;
}

void DesktopNotifications::Show(const std::string& title, const std::string& text,
                                Severity severity, int timeoutMs) {
    const Balloon balloon{QString::fromStdString(title), QString::fromStdString(text), severity,
                          timeoutMs};
    const auto flying = inFlight_.find(balloon.title);
    if (flying != inFlight_.end()) {
        // Its notification number is not known yet: the balloon follows the answer and
        // replaces that notification; a later one replaces this one.
        flying->second = balloon;
        return;
    }
    Send(balloon);
}

void DesktopNotifications::Send(const Balloon& balloon) {
    if (!bus_.isConnected()) {
        OnSent(balloon.title, std::nullopt, bus_.lastError().message());
        return;
    }
    inFlight_[balloon.title] = std::nullopt;
    const auto shown = shown_.find(balloon.title);
    const uint replaces = shown != shown_.end() ? shown->second : 0;

    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(UrgencyFor(balloon.severity)));
    hints.insert(QStringLiteral("image-data"), QVariant::fromValue(ProgramImage()));
    if (!QGuiApplication::desktopFileName().isEmpty()) {
        hints.insert(QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName());
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QGuiApplication::applicationDisplayName() << replaces << QString() << balloon.title
         << Body(balloon.text)
         << QStringList{kDefaultAction, QGuiApplication::applicationDisplayName()} << hints
         << balloon.timeoutMs;

    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallBoundMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, title = balloon.title](QDBusPendingCallWatcher* pending) {
                const QDBusPendingReply<uint> reply = *pending;
                if (reply.isError()) {
                    OnSent(title, std::nullopt, reply.error().message());
                } else {
                    OnSent(title, reply.value(), {});
                }
                pending->deleteLater();
            });
}

void DesktopNotifications::OnSent(const QString& title, std::optional<uint> id,
                                  const QString& error) {
    std::optional<Balloon> next;
    if (const auto flying = inFlight_.find(title); flying != inFlight_.end()) {
        next = std::move(flying->second);
        inFlight_.erase(flying);
    }
    if (id && *id != 0) {
        shown_[title] = *id;
    } else {
        shown_.erase(title);
        if (!failureReported_) {
            failureReported_ = true;
            // Normal on a desktop without notifications: the program runs on and shows
            // its messages in its window and popups.
            qCDebug(platform::GuiLog, "desktop notifications are not shown (%s)",
                    qPrintable(error));
        }
    }
    if (next) {
        Send(*next);
    }
}

QString DesktopNotifications::Body(const QString& text) const {
    // The service's own markup must not turn a text from the monitoring service into
    // something else.
    return bodyMarkup_.value_or(true) ? text.toHtmlEscaped() : text;
}

void DesktopNotifications::OnActionInvoked(uint id, const QString& action) {
    if (action != kDefaultAction) {
        return;
    }
    for (const auto& [title, shown] : shown_) {
        if (shown == id) {
            if (onActivated) {
                onActivated();
            }
            return;
        }
    }
}

void DesktopNotifications::OnNotificationClosed(uint id, uint) {
    for (auto it = shown_.begin(); it != shown_.end(); ++it) {
        if (it->second == id) {
            shown_.erase(it);
            return;
        }
    }
}

}  // namespace veltrix::shell
