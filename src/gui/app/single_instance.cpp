#include "gui/app/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "gui/platform/gui_log.h"

namespace veltrix {

namespace {

constexpr char kShow[] = "show\n";
constexpr char kShown[] = "shown\n";
constexpr char kHidden[] = "hidden\n";
// Longer than any line of the exchange: a peer that sends more is not one of us.
constexpr int kMaxLine = 16;
// Characters a display name keeps in the socket's name, and how many at most.
constexpr int kMaxDisplayKey = 40;
// Starts that may wait for the running program to take them.
constexpr int kBacklog = 8;

// Between two tries to reach the socket of a start that holds the lock.
constexpr int kRetryStepMs = 20;

// The socket address of `path`; nothing when the path does not fit.
std::optional<sockaddr_un> AddressOf(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return address;
}

// Whether the process at the other end of a connected socket is this user's.
bool PeerIsSameUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           size == sizeof credentials && credentials.uid == ::getuid();
}

// Waits for `events` on `fd` until `deadline`; whether they came.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

// Connects to `address` within `deadline`: the socket, or -1 with errno set.
int ConnectWithin(const sockaddr_un& address, const QDeadlineTimer& deadline) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    int error = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = errno;
        // A full backlog: the running program has not taken earlier starts yet.
        if (error == EAGAIN && WaitFor(fd, POLLOUT, deadline)) {
            socklen_t size = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
                error = errno;
            }
        } else if (error == EAGAIN) {
            error = ETIMEDOUT;
        }
    }
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// One line of at most kMaxLine bytes, read within `deadline`; empty when none came.
QByteArray ReadLine(int fd, const QDeadlineTimer& deadline) {
    QByteArray line;
    char buffer[kMaxLine + 1];
    while (!line.contains('\n') && line.size() <= kMaxLine && WaitFor(fd, POLLIN, deadline)) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        line.append(buffer, got);
    }
    const qsizetype end = line.indexOf('\n');
    return end >= 0 && end < kMaxLine ? line.left(end + 1) : QByteArray();
}

// A later start connected to the running program: its line, the answer, the end.
class InstanceClient : public QObject {
  public:
    // `owner`: the listening instance, whose onShowRequested answers at the time.
    InstanceClient(int fd, SingleInstance* owner)
        : QObject(owner), fd_(fd), owner_(owner), notifier_(fd, QSocketNotifier::Read) {
        connect(&notifier_, &QSocketNotifier::activated, this, &InstanceClient::Read);
        // A start that says nothing sensible in time is dropped.
        QTimer::singleShot(SingleInstance::kAnswerBoundMs, this, &InstanceClient::End);
    }
    ~InstanceClient() override {
        notifier_.setEnabled(false);  // before its descriptor goes
        ::close(fd_);
    }
    InstanceClient(const InstanceClient&) = delete;
    InstanceClient& operator=(const InstanceClient&) = delete;

  private:
    void Read() {
        char buffer[kMaxLine + 1];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        if (got <= 0) {
            End();
            return;
        }
        line_.append(buffer, got);
        if (!line_.contains('\n')) {
            if (line_.size() >= kMaxLine) {
                End();
            }
            return;
        }
        if (line_ == kShow) {
            const bool shown = owner_->onShowRequested && owner_->onShowRequested();
            const char* answer = shown ? kShown : kHidden;
            // A few bytes into an empty socket buffer: never blocks.
            [[maybe_unused]] const ssize_t sent =
                ::send(fd_, answer, std::strlen(answer), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        End();
    }
    void End() {
        notifier_.setEnabled(false);
        deleteLater();
    }

    int fd_;
    SingleInstance* owner_;
    QSocketNotifier notifier_;
    QByteArray line_;
};

}  // namespace

SingleInstance::SingleInstance(QString path, QObject* parent)
    : QObject(parent), path_(std::move(path)) {}

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
    if (listenFd_ >= 0) {
        listener_.reset();
        ::close(listenFd_);
        // The name goes with the program that listened on it.
        ::unlink(QFile::encodeName(path_).constData());
    }
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
    const QByteArray name = QFile::encodeName(path_);
    if (lockFd_ >= 0) {
        // Ours alone: a socket there is a crash's leftover or a running program's that
        // predates the lock; the hand-over tells which.
        if (QFileInfo::exists(path_)) {
            const Start handed = HandOver();
            if (handed != Start::First) {
                return handed;
            }
        }
        ::unlink(name.constData());
        return Listen().value_or(Start::Alone);
    }
    // No lock file (a folder we cannot write): the socket alone decides, as before.
    if (const std::optional<Start> listened = Listen()) {
        return *listened;
    }
    // Someone's socket is there: a running instance takes over; a socket a crash left
    // behind refuses the connection and is replaced.
    const Start handed = HandOver();
    if (handed != Start::First) {
        return handed;
    }
    ::unlink(name.constData());
    return Listen().value_or(Start::Alone);
}

std::optional<SingleInstance::Start> SingleInstance::Listen() {
    const std::optional<sockaddr_un> address = AddressOf(path_);
    if (!address) {
        qCDebug(platform::GuiLog, "runs without the one-instance check (%s: name too long)",
                qPrintable(path_));
        return Start::Alone;
    }
    // A plain bind fails when the name is taken, so two starts at once cannot both
    // listen; the file's mode (the user's umask) and the private runtime folder keep
    // other users out.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
        ::listen(fd, kBacklog) == 0) {
        listenFd_ = fd;
        listener_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(listener_.get(), &QSocketNotifier::activated, this,
                &SingleInstance::OnNewConnection);
        return Start::First;
    }
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    if (error == EADDRINUSE) {
        return std::nullopt;
    }
    qCDebug(platform::GuiLog, "runs without the one-instance check (%s)", std::strerror(error));
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
    const std::optional<sockaddr_un> address = AddressOf(path_);
    if (!address) {
        return Start::First;  // nobody can listen on it either; Listen() says why
    }
    const QDeadlineTimer deadline(kAnswerBoundMs);
    const int fd = ConnectWithin(*address, deadline);
    if (fd < 0) {
        // Nobody listens: the socket is stale (First means: take its place).
        return errno == ECONNREFUSED || errno == ENOENT ? Start::First : Start::NoAnswer;
    }
    if (!PeerIsSameUser(fd)) {
        ::close(fd);
        // Not ours (a name taken in a shared temporary folder): run on without it.
        qCDebug(platform::GuiLog,
                "runs without the one-instance check (%s belongs to another user)",
                qPrintable(path_));
        return Start::Alone;
    }
    const auto length = static_cast<ssize_t>(std::strlen(kShow));
    const bool asked = ::send(fd, kShow, static_cast<std::size_t>(length), MSG_NOSIGNAL) == length;
    const QByteArray answer = asked ? ReadLine(fd, deadline) : QByteArray();
    ::close(fd);
    return answer == kShown || answer == kHidden ? Start::HandedOver : Start::NoAnswer;
}

void SingleInstance::OnNewConnection() {
    for (;;) {
        const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            return;  // none waiting (or one that went away already)
        }
        new InstanceClient(client, this);
    }
}

}  // namespace veltrix
