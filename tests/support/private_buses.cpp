#include "support/private_buses.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <memory>
#include <utility>

namespace veltrix::testing {

namespace {

constexpr int kStartBoundMs = 15000;

// A child process that dies with the test program, its standard output on `outFd`
// when asked for, its standard error nowhere when `quietErrors`.
pid_t Spawn(const std::vector<std::string>& argv, int* outFd, bool quietErrors = false) {
    int fds[2] = {-1, -1};
    if (outFd != nullptr && ::pipe2(fds, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        // Standard output to the pipe or nowhere (the mocks log every call there);
        // standard error stays, except the daemon's complaint about its file limit.
        const int nowhere = ::open("/dev/null", O_WRONLY);
        ::dup2(outFd != nullptr ? fds[1] : nowhere, STDOUT_FILENO);
        if (quietErrors) {
            ::dup2(nowhere, STDERR_FILENO);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    if (outFd != nullptr) {
        ::close(fds[1]);
        *outFd = pid > 0 ? fds[0] : -1;
        if (pid <= 0) {
            ::close(fds[0]);
        }
    }
    return pid;
}

void Stop(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

// The first line a child writes, within the start bound.
std::string FirstLine(int fd) {
    std::string line;
    const QDeadlineTimer deadline(kStartBoundMs);
    while (line.find('\n') == std::string::npos && !deadline.hasExpired()) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
            break;
        }
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        line.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t end = line.find('\n');
    return end == std::string::npos ? std::string() : line.substr(0, end);
}

// A dbus-daemon on a socket in `folder`, with its own configuration: no services
// started on demand, every call allowed. Its address; empty when it did not start.
QString StartDaemon(const QString& folder, const QString& name, pid_t& pid) {
    const QString config = folder + QStringLiteral("/%1.conf").arg(name);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(
        QStringLiteral(
            R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1/%2</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
            .arg(folder, name)
            .toUtf8());
    file.close();
    int out = -1;
    pid = Spawn(
        {"dbus-daemon", "--config-file=" + config.toStdString(), "--nofork", "--print-address=1"},
        &out, true);
    if (pid <= 0) {
        return {};
    }
    const std::string address = FirstLine(out);
    ::close(out);
    return QString::fromStdString(address);
}

class Daemons {
  public:
    Daemons() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            whyNot = "dbus-daemon is not installed (Debian package dbus-daemon)";
            return;
        }
        if (!folder_.isValid()) {
            whyNot = "no temporary folder for the buses";
            return;
        }
        buses_.sessionAddress = StartDaemon(folder_.path(), QStringLiteral("session"), session_);
        buses_.systemAddress = StartDaemon(folder_.path(), QStringLiteral("system"), system_);
        if (buses_.sessionAddress.isEmpty() || buses_.systemAddress.isEmpty()) {
            whyNot = "dbus-daemon did not start";
            return;
        }
        ::setenv("DBUS_SESSION_BUS_ADDRESS", buses_.sessionAddress.toUtf8().constData(), 1);
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", buses_.systemAddress.toUtf8().constData(), 1);
        started = true;
    }
    ~Daemons() {
        Stop(session_);
        Stop(system_);
    }
    Daemons(const Daemons&) = delete;
    Daemons& operator=(const Daemons&) = delete;

    const PrivateBuses* buses() const { return started ? &buses_ : nullptr; }
    bool started = false;
    std::string whyNot;

  private:
    QTemporaryDir folder_;
    PrivateBuses buses_;
    pid_t session_ = -1;
    pid_t system_ = -1;
};

// Plain values for a test to compare: string arrays as QStringList, dictionaries as
// QVariantMap of plain values, D-Bus variants unwrapped.
QVariant Plain(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        return Plain(value.value<QDBusVariant>().variant());
    }
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return value;
    }
    const auto argument = value.value<QDBusArgument>();
    switch (argument.currentType()) {
        case QDBusArgument::MapType: {
            QVariantMap map;
            argument >> map;
            for (auto it = map.begin(); it != map.end(); ++it) {
                it.value() = Plain(it.value());
            }
            return map;
        }
        case QDBusArgument::ArrayType: {
            if (argument.currentSignature() == QLatin1String("as")) {
                QStringList list;
                argument >> list;
                return list;
            }
            return value;
        }
        default:
            return value;
    }
}

}  // namespace

const PrivateBuses* PrivateBuses::Get(std::string& whyNot) {
    static const Daemons daemons;
    whyNot = daemons.whyNot;
    return daemons.buses();
}

DbusMock::DbusMock(const char* templateName, bool systemBus, QString service, QString path)
    : systemBus_(systemBus), service_(std::move(service)), path_(std::move(path)) {
    // Debian's python3-dbusmock belongs to the system's Python.
    const std::string python =
        QFile::exists(QStringLiteral("/usr/bin/python3")) ? "/usr/bin/python3" : "python3";
    pid_ = Spawn({python, "-m", "dbusmock", systemBus ? "--system" : "--session", "--template",
                  templateName},
                 nullptr);
    const QDeadlineTimer deadline(kStartBoundMs);
    QDBusConnectionInterface* names = bus().interface();
    while (pid_ > 0 && names != nullptr && !deadline.hasExpired()) {
        if (names->isServiceRegistered(service_)) {
            ready_ = true;
            break;
        }
        QThread::msleep(20);
    }
}

DbusMock::~DbusMock() {
    Stop(pid_);
    // Let the bus's NameOwnerChanged and the like reach their receivers now.
    QCoreApplication::processEvents();
}

QDBusConnection DbusMock::bus() const {
    return systemBus_ ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
}

std::vector<DbusMock::Call> DbusMock::Calls() const {
    std::vector<Call> calls;
    const QVariantList reply =
        CallMethod(QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetCalls"));
    if (reply.isEmpty()) {
        return calls;
    }
    const auto log = reply.front().value<QDBusArgument>();
    log.beginArray();
    while (!log.atEnd()) {
        Call call;
        qulonglong time = 0;
        log.beginStructure();
        log >> time >> call.method;
        log.beginArray();
        while (!log.atEnd()) {
            QDBusVariant arg;
            log >> arg;
            call.args.push_back(Plain(arg.variant()));
        }
        log.endArray();
        log.endStructure();
        calls.push_back(std::move(call));
    }
    log.endArray();
    return calls;
}

bool DbusMock::EmitSignal(const QString& interface, const QString& name, const QString& signature,
                          const QVariantList& args, bool wait) const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service_, path_, QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
    call << interface << name << signature << QVariant::fromValue(args);
    if (!wait) {
        return bus().send(call);
    }
    return bus().call(call, QDBus::Block, kStartBoundMs).type() == QDBusMessage::ReplyMessage;
}

QVariantList DbusMock::CallMethod(const QString& interface, const QString& method,
                                  const QVariantList& args) const {
    QDBusMessage call = QDBusMessage::createMethodCall(service_, path_, interface, method);
    call.setArguments(args);
    const QDBusMessage reply = bus().call(call, QDBus::Block, kStartBoundMs);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments() : QVariantList();
}

PrivateDisplay::PrivateDisplay() {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        return;
    }
    // Xvfb picks a free display number and writes it to standard output once it
    // accepts clients.
    int out = -1;
    // -noreset: the server would start afresh whenever its last client leaves (a probe,
    // a bus launcher), and a program connecting in that moment is refused.
    pid_ = Spawn(
        {"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0", "1024x768x24"},
        &out, true);
    if (pid_ <= 0) {
        return;
    }
    const std::string number = FirstLine(out);
    ::close(out);
    if (!number.empty()) {
        name_ = QStringLiteral(":") + QString::fromStdString(number);
    }
}

PrivateDisplay::~PrivateDisplay() {
    Stop(pid_);
}

QStringList PrivateDisplay::MappedWindowTitles() const {
    QStringList titles;
    if (name_.isEmpty()) {
        return titles;
    }
    xcb_connection_t* connection = xcb_connect(name_.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return titles;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (tree != nullptr) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr);
            const bool mapped = attributes != nullptr &&
                                attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
                                attributes->override_redirect == 0;
            std::free(attributes);
            if (!mapped) {
                continue;
            }
            xcb_get_property_reply_t* title =
                xcb_get_property_reply(connection,
                                       xcb_get_property(connection, 0, children[i],
                                                        XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256),
                                       nullptr);
            titles << (title != nullptr ? QString::fromUtf8(static_cast<const char*>(
                                                                xcb_get_property_value(title)),
                                                            xcb_get_property_value_length(title))
                                        : QString());
            std::free(title);
        }
        std::free(tree);
    }
    xcb_disconnect(connection);
    return titles;
}

}  // namespace veltrix::testing
