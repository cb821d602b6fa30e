#include "gui/app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <optional>
#include <utility>

namespace veltrix {

namespace {

constexpr char kShow[] = "show\n";
constexpr char kShown[] = "shown\n";
constexpr char kHidden[] = "hidden\n";
// Longer than any line of the exchange: a peer that sends more is not one of us.
constexpr qint64 kMaxLine = 16;
// Characters a display name keeps in the socket's name, and how many at most.
constexpr int kMaxDisplayKey = 40;

// Whether the process at the other end of a connected socket is this user's.
bool PeerIsSameUser(const QLocalSocket& socket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                        &credentials, &size) == 0 &&
           size == sizeof credentials && credentials.uid == ::getuid();
}

// Between two tries to reach the socket of a start that holds the lock.
constexpr int kRetryStepMs = 20;

// One line of at most kMaxLine bytes, read within `deadline`; empty when none came.
QByteArray ReadLine(QLocalSocket& socket, const QDeadlineTimer& deadline) {
    while (!socket.canReadLine() && socket.bytesAvailable() < kMaxLine &&
           socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    return socket.canReadLine() ? socket.readLine(kMaxLine + 1) : QByteArray();
}

}  // namespace

SingleInstance::SingleInstance(QString path, QObject* parent)
    : QObject(parent), path_(std::move(path)) {
    // No access options: with them Qt binds elsewhere and renames the socket over any
    // file of that name, so two starts at once could both listen. A plain bind fails
    // when the name is taken; the file's mode (the user's umask) and the private
    // runtime folder keep other users out.
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
}

QString SingleInstance::SocketPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::tempPath();
    }
    const QString platform = QGuiApplication::platformName();
    QString display;
    if (platform == QLatin1String("xcb")) {
        display = qEnvironmentVariable("DISPLAY");
    } else if (platform.startsWith(QLatin1String("wayland"))) {
        display = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    }
    if (display.isEmpty()) {
        display = platform;  // offscreen, vnc, ...: one per platform
    }
    QString key;
    for (const QChar c : display.left(kMaxDisplayKey)) {
        key += c.isLetterOrNumber() && c.unicode() < 0x80 ? c : QChar(u'_');
    }
    return folder + QStringLiteral("/veltrix-%1-%2").arg(::getuid()).arg(key);
}

SingleInstance::~SingleInstance() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // the lock goes with it
    }
}

SingleInstance::Start SingleInstance::Begin() {
    const QByteArray lockPath = QFile::encodeName(path_ + QStringLiteral(".lock"));
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(lockFd_);
        lockFd_ = -1;
        if (error == EWOULDBLOCK) {
            return HandOverToLockHolder();
        }
    }
    if (lockFd_ >= 0) {
        // Ours alone: a socket there is a crash's leftover or a running program's that
        // predates the lock; the hand-over tells which.
        if (QFileInfo::exists(path_)) {
            const Start handed = HandOver();
            if (handed != Start::First) {
                return handed;
            }
        }
        QLocalServer::removeServer(path_);
        return Listen();
    }
    // No lock file (a folder we cannot write): the socket alone decides, as before.
    if (server_.listen(path_)) {
        return Start::First;
    }
    if (server_.serverError() != QAbstractSocket::AddressInUseError) {
        qDebug("Veltrix: runs without the one-instance check (%s)",
               qPrintable(server_.errorString()));
        return Start::Alone;
    }
    // Someone's socket is there: a running instance takes over; a socket a crash left
    // behind refuses the connection and is replaced.
    const Start handed = HandOver();
    if (handed != Start::First) {
        return handed;
    }
    QLocalServer::removeServer(path_);
    if (server_.listen(path_)) {
        return Start::First;
    }
    qDebug("Veltrix: runs without the one-instance check (%s)", qPrintable(server_.errorString()));
    return Start::Alone;
}

SingleInstance::Start SingleInstance::Listen() {
    if (server_.listen(path_)) {
        return Start::First;
    }
    qDebug("Veltrix: runs without the one-instance check (%s)", qPrintable(server_.errorString()));
    return Start::Alone;
}

SingleInstance::Start SingleInstance::HandOverToLockHolder() {
    const QDeadlineTimer deadline(kAnswerBoundMs);
    while (!deadline.hasExpired()) {
        const Start start = HandOver();
        if (start != Start::First) {
            return start;
        }
        QThread::msleep(kRetryStepMs);  // the holder has not listened yet
    }
    return Start::NoAnswer;
}

SingleInstance::Start SingleInstance::HandOver() {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(kAnswerBoundMs)) {
        const auto error = socket.error();
        // Nobody listens: the socket is stale (First means: take its place).
        return error == QLocalSocket::ConnectionRefusedError ||
                       error == QLocalSocket::ServerNotFoundError
                   ? Start::First
                   : Start::NoAnswer;
    }
    if (!PeerIsSameUser(socket)) {
        // Not ours (a name taken in a shared temporary folder): run on without it.
        qDebug("Veltrix: runs without the one-instance check (%s belongs to another user)",
               qPrintable(path_));
        return Start::Alone;
    }
    const QDeadlineTimer deadline(kAnswerBoundMs);
    socket.write(kShow);
    socket.flush();
    const QByteArray answer = ReadLine(socket, deadline);
    socket.abort();
    return answer == kShown || answer == kHidden ? Start::HandedOver : Start::NoAnswer;
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        // A start that says nothing sensible in time is dropped.
        QTimer::singleShot(kAnswerBoundMs, client, [client] {
            client->abort();
            client->deleteLater();
        });
        connect(client, &QLocalSocket::readyRead, client, [this, client] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() >= kMaxLine) {
                    client->abort();
                }
                return;
            }
            if (client->readLine(kMaxLine + 1) == kShow) {
                const bool shown = onShowRequested && onShowRequested();
                client->write(shown ? kShown : kHidden);
                client->flush();
            }
            client->disconnectFromServer();
        });
    }
}

}  // namespace veltrix
