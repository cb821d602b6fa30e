#include "support/veltrix_process.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <fstream>
#include <sstream>

namespace veltrix::testing {

QProcess* StartProgram(const QStringList& args, const QProcessEnvironment& env) {
    auto* process = new QProcess;
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(VELTRIX_EXECUTABLE), args);
    return process;
}

QProcessEnvironment PrivateEnvironment(const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString runtime = dir + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    ::chmod(runtime.toLocal8Bit().constData(), 0700);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const QString noBus = QStringLiteral("unix:path=") + dir + QStringLiteral("/no-bus");
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus);
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), noBus);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

ProgramRun::ProgramRun(sim::Scenario scenario, const char* moreSettings)
    : moreSettings_(moreSettings) {
    file_ = dir_.filePath("config/KavotronikVeltrix/Veltrix.conf").toStdString();
    QDir(dir_.path()).mkpath(QStringLiteral("config/KavotronikVeltrix"));
    WriteSettings();
    sim::ServiceSimOptions options;
    options.pipeDir = dir_.path().toStdString();
    services_.push_back(std::make_unique<sim::ServiceSim>(std::move(scenario)));
    services_.back()->Start(options);

    env_ = PrivateEnvironment(dir_.path());
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    env_.insert(QStringLiteral("VELTRIX_PIPE_DIR"), dir_.path());
}

ProgramRun::~ProgramRun() = default;

sim::ServiceSim& ProgramRun::AddTcpHost(const std::string& name, sim::Scenario scenario,
                                        sim::ServiceSimOptions options) {
    options.listenLocal = false;
    options.listenTcp = true;
    options.tcpAddress = "127.0.0.1";
    options.tcpPort = 0;
    services_.push_back(std::make_unique<sim::ServiceSim>(std::move(scenario)));
    services_.back()->Start(options);
    const std::string index = std::to_string(++furtherHostCount_) + "\\";
    furtherHosts_ += index + "Name=" + name + "\n" + index +
                     "Address=127.0.0.1:" + std::to_string(services_.back()->TcpPort()) + "\n" +
                     index + "Autoconnect=1\n" + index + "Password=kavo\n";
    WriteSettings();
    return *services_.back();
}

void ProgramRun::WriteSettings() const {
    std::ofstream file(file_);
    file << "[SettingsGUI]\nDPPW=kavo\nServerHostname=.\nAutoconnect=1\n" << moreSettings_;
    if (furtherHostCount_ > 0) {
        file << "[Hosts]\nsize=" << furtherHostCount_ << "\n" << furtherHosts_;
    }
    file.close();
    ::chmod(file_.c_str(), 0644);
}

QProcess& ProgramRun::Launch(const QStringList& args) {
    processes_.emplace_back(StartProgram(args, env_));
    return *processes_.back();
}

std::string ProgramRun::InstanceSocket() const {
    return dir_.filePath(QStringLiteral("runtime/veltrix-%1-offscreen").arg(::getuid()))
        .toStdString();
}

void ProgramRun::SetEnvironment(const char* name, const QString& value) {
    env_.insert(QString::fromLatin1(name), value);
}

void ProgramRun::OnDesktop(const QString& display, const QString& bus) {
    SetEnvironment("QT_QPA_PLATFORM", QStringLiteral("xcb"));
    SetEnvironment("DISPLAY", display);
    SetEnvironment("DBUS_SESSION_BUS_ADDRESS", bus);
    SetEnvironment("LSAN_OPTIONS", QStringLiteral("suppressions=" VELTRIX_TEST_SUPPORT_DIR
                                                  "/qt_leaks.supp:fast_unwind_on_malloc=0"));
}

std::size_t ProgramRun::Requests(std::uint32_t code) const {
    std::size_t count = 0;
    for (const sim::TranscriptEntry& entry : services_.front()->Transcript()) {
        count += !entry.login && entry.code == code ? 1 : 0;
    }
    return count;
}

void ProgramRun::Signal(int number) {
    ::kill(static_cast<pid_t>(process().processId()), number);
}

std::string ProgramRun::Settings() const {
    std::stringstream written;
    written << std::ifstream(file_).rdbuf();
    return written.str();
}

bool ProgramRun::SettingsArePrivate() const {
    struct stat info {};
    return ::stat(file_.c_str(), &info) == 0 && (info.st_mode & 07777) == 0600u;
}

namespace {
const QString kBusLauncher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
}  // namespace

bool AccessibilityBus::Available() {
    QProcess probe;
    probe.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), "import pyatspi"});
    return QFileInfo::exists(kBusLauncher) && probe.waitForFinished(20000) && probe.exitCode() == 0;
}

AccessibilityBus::AccessibilityBus(const QString& sessionAddress, const QString& display)
    : desktop_(QProcessEnvironment::systemEnvironment()) {
    desktop_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionAddress);
    desktop_.insert(QStringLiteral("DISPLAY"), display);
    bus_.setProcessEnvironment(desktop_);
    bus_.start(kBusLauncher, {QStringLiteral("--launch-immediately")});
}

AccessibilityBus::~AccessibilityBus() {
    bus_.terminate();
    bus_.waitForFinished(5000);
}

QString RegisteredItem(const DbusMock& watcher) {
    QString name;
    for (const DbusMock::Call& call : watcher.Calls()) {
        if (call.method == QLatin1String("RegisterStatusNotifierItem")) {
            name = call.args.value(0).toString();
        }
    }
    return name;
}

QString ItemToolTip(const DbusMock& watcher, const QString& item) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        item, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("ToolTip");
    const QDBusMessage reply = watcher.bus().call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    // (icon name, icon pixmaps a(iiay), title, text)
    const QVariant value = reply.arguments().front().value<QDBusVariant>().variant();
    const auto tip = value.value<QDBusArgument>();
    QString iconName;
    QString title;
    QString text;
    tip.beginStructure();
    tip >> iconName;
    tip.beginArray();
    while (!tip.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        tip.beginStructure();
        tip >> width >> height >> pixels;
        tip.endStructure();
    }
    tip.endArray();
    tip >> title >> text;
    tip.endStructure();
    return title;
}

}  // namespace veltrix::testing
