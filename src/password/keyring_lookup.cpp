#include "password/keyring_lookup.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QMap>
#include <optional>

#include "password/password_location.h"
#include "password/session_bus_address.h"

namespace veltrix::password {

namespace {

using Kind = KeyringAnswer::Kind;
using Attributes = QMap<QString, QString>;

const QString kSecretsService = QStringLiteral("org.freedesktop.secrets");
const QString kServicePath = QStringLiteral("/org/freedesktop/secrets");
const QString kServiceInterface = QStringLiteral("org.freedesktop.Secret.Service");
const QString kConnectionName = QStringLiteral("veltrix-keyring-lookup");

// One Secret Service conversation on a private connection, each call within what is
// left of the bound. A keyring that is not running is not started (no auto-start).
class SecretService {
  public:
    SecretService(const QString& address, std::chrono::milliseconds bound)
        : bus_(QDBusConnection::connectToBus(address, kConnectionName)), deadline_(bound) {}
    ~SecretService() { QDBusConnection::disconnectFromBus(kConnectionName); }
    SecretService(const SecretService&) = delete;
    SecretService& operator=(const SecretService&) = delete;

    QDBusConnection& Bus() { return bus_; }

    // The reply, or the answer that ends the lookup.
    std::optional<QDBusMessage> Call(const QString& path, const QString& interface,
                                     const QString& method, const QVariantList& arguments,
                                     KeyringAnswer& failure) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(kSecretsService, path, interface, method);
        message.setArguments(arguments);
        message.setAutoStartService(false);
        const auto left = static_cast<int>(deadline_.remainingTime());
        const QDBusMessage reply = bus_.call(message, QDBus::Block, left > 0 ? left : 1);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            return reply;
        }
        const QDBusError error(reply);
        switch (error.type()) {
            case QDBusError::ServiceUnknown:
                failure.kind = Kind::NoKeyring;
                break;
            case QDBusError::NoReply:
            case QDBusError::Timeout:
            case QDBusError::TimedOut:
                failure.kind = Kind::NoAnswer;
                break;
            default:
                failure.kind = Kind::Failed;
                failure.detail = error.message().toStdString();
        }
        return std::nullopt;
    }

  private:
    QDBusConnection bus_;
    QDeadlineTimer deadline_;
};

// The secret's value of a GetSecret reply: the struct (session, parameters, value,
// content type).
QByteArray SecretValue(const QDBusMessage& reply) {
    const QVariantList arguments = reply.arguments();
    if (arguments.isEmpty() || !arguments[0].canConvert<QDBusArgument>()) {
        return {};
    }
    const auto argument = arguments[0].value<QDBusArgument>();
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
    argument.beginStructure();
    argument >> session >> parameters >> value >> contentType;
    argument.endStructure();
    return value;
}

}  // namespace

KeyringAnswer LookUpKeyringPassword(std::chrono::milliseconds bound) {
    KeyringAnswer answer;
    const std::optional<std::string> address = ExistingSessionBusAddress();
    if (!address) {
        answer.kind = Kind::NoSessionBus;
        return answer;
    }
    qDBusRegisterMetaType<Attributes>();
    SecretService service(QString::fromStdString(*address), bound);
    if (!service.Bus().isConnected()) {
        answer.kind = Kind::NoSessionBus;
        answer.detail = service.Bus().lastError().message().toStdString();
        return answer;
    }
    const Attributes attributes{{QStringLiteral("server"), QString::fromLatin1(kKeyringService)},
                                {QStringLiteral("user"), QString::fromLatin1(kKeyringKey)}};
    const auto found = service.Call(kServicePath, kServiceInterface, QStringLiteral("SearchItems"),
                                    {QVariant::fromValue(attributes)}, answer);
    if (!found) {
        return answer;
    }
    const QVariantList lists = found->arguments();
    if (lists.size() != 2) {
        answer.detail = "unexpected answer to SearchItems";
        return answer;
    }
    const auto unlocked = qdbus_cast<QList<QDBusObjectPath>>(lists[0]);
    if (unlocked.isEmpty()) {
        const auto locked = qdbus_cast<QList<QDBusObjectPath>>(lists[1]);
        answer.kind = locked.isEmpty() ? Kind::NoEntry : Kind::Locked;
        return answer;
    }
    // A plain session: the secret crosses the private bus connection unencrypted, as
    // it would through the library the window uses.
    const auto opened = service.Call(
        kServicePath, kServiceInterface, QStringLiteral("OpenSession"),
        {QStringLiteral("plain"), QVariant::fromValue(QDBusVariant(QString()))}, answer);
    if (!opened) {
        return answer;
    }
    const QVariantList session = opened->arguments();
    const auto sessionPath =
        session.size() == 2 ? session[1].value<QDBusObjectPath>() : QDBusObjectPath();
    const auto secret =
        service.Call(unlocked.front().path(), QStringLiteral("org.freedesktop.Secret.Item"),
                     QStringLiteral("GetSecret"), {QVariant::fromValue(sessionPath)}, answer);
    KeyringAnswer closed;
    service.Call(sessionPath.path(), QStringLiteral("org.freedesktop.Secret.Session"),
                 QStringLiteral("Close"), {}, closed);
    if (!secret) {
        return answer;
    }
    answer.kind = Kind::Found;
    answer.password = QString::fromUtf8(SecretValue(*secret)).toStdString();
    return answer;
}

std::string Describe(const KeyringAnswer& answer, std::chrono::milliseconds bound) {
    switch (answer.kind) {
        case Kind::Found:
            return "found";
        case Kind::NoSessionBus:
            return answer.detail.empty() ? "no session bus" : "no session bus: " + answer.detail;
        case Kind::NoKeyring:
            return "no keyring runs on the session bus";
        case Kind::NoEntry:
            return "no entry";
        case Kind::Locked:
            return "locked";
        case Kind::NoAnswer:
            return "no answer within " + std::to_string(bound.count()) + " ms";
        case Kind::Failed:
            return answer.detail;
    }
    return answer.detail;
}

}  // namespace veltrix::password
