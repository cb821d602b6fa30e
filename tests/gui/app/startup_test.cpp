// The Veltrix program as a process: the information options without a display, the
// termination signals while it is connected to the simulated service, one instance
// per user and display, a run in a desktop's notification area, and a screen
// reader's reading of it over AT-SPI.

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gui/app/single_instance.h"
#include "model/file_version_info.h"
#include "protocol/protocol.h"
#include "servicesim/service_sim.h"
#include "support/mail_scenario.h"
#include "support/private_buses.h"
#include "support/veltrix_process.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using testing::PrivateEnvironment;
using testing::ProgramRun;
using testing::StartProgram;
using testing::WaitUntil;

struct InformationCase {
    const char* option;
    const char* pattern;  // the whole output
};

class InformationOptionTest : public ::testing::TestWithParam<InformationCase> {};

// Answered before the application object would need a display.
TEST_P(InformationOptionTest, AnswersWithoutDisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    std::unique_ptr<QProcess> process(StartProgram({QLatin1String(GetParam().option)}, env));
    ASSERT_TRUE(process->waitForFinished(20000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
    const QString output = QString::fromUtf8(process->readAll());
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(GetParam().pattern))
                    .match(output)
                    .hasMatch())
        << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, InformationOptionTest,
    ::testing::Values(InformationCase{"--version", R"(Veltrix \d+\.\d+\.\d+\.\d+\n)"},
                      InformationCase{"--help", R"((?s)Usage: Veltrix.*Veltrix\.conf.*)"
                                                R"(VELTRIX_PIPE_DIR.*VELTRIX_PIPE_PORT.*)"}),
    [](const auto& p) { return std::string(p.param.option + 2); });

// The program carries the project's version in its version block, and --version
// prints what that block says; a copy cut short has none.
TEST(ProgramVersionTest, BlockHoldsTheProjectVersionAndVersionPrintsIt) {
    FileVersionInfo info;
    ASSERT_TRUE(info.Load(VELTRIX_EXECUTABLE, LanguageIdOf(Language::German)));
    const ProductVersion expected{VELTRIX_VERSION_PARTS};
    EXPECT_EQ(info.Product(), expected);
    EXPECT_EQ(info.Value("ProductVersion"), VELTRIX_PROJECT_VERSION);
    EXPECT_EQ(info.Value("ProductName"), "Kavotronik Veltrix");
    EXPECT_EQ(info.Value("FileDescription"), "Kavotronik Veltrix RAID-Statusprogramm");

    std::unique_ptr<QProcess> process(
        StartProgram({QStringLiteral("--version")}, QProcessEnvironment::systemEnvironment()));
    ASSERT_TRUE(process->waitForFinished(20000));
    EXPECT_EQ(process->readAll().toStdString(), "Veltrix " VELTRIX_PROJECT_VERSION "\n");

    QTemporaryDir dir;
    const std::string cutCopy = dir.filePath(QStringLiteral("Veltrix")).toStdString();
    std::ifstream in(VELTRIX_EXECUTABLE, std::ios::binary);
    std::string program((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    program.pop_back();
    std::ofstream(cutCopy, std::ios::binary) << program;
    EXPECT_FALSE(info.Load(cutCopy, LanguageIdOf(Language::English)));
}

struct LanguageCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> environment;
    const char* texts;  // Connect button, first menu, Qt's Yes button
};

class StartupLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

// The language comes from the environment before the first window: the program's
// own texts and Qt's.
TEST_P(StartupLanguageTest, WindowAndStandardButtonsFollowTheEnvironment) {
    QTemporaryDir dir;
    QProcessEnvironment env = PrivateEnvironment(dir.path());
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        env.remove(QString::fromLatin1(name));
    }
    for (const auto& [name, value] : GetParam().environment) {
        env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    }
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    env.insert(QStringLiteral("VELTRIX_PIPE_DIR"), dir.path());
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(VELTRIX_SNAPSHOT),
                  {dir.filePath(QStringLiteral("w.png")), QStringLiteral("0")});
    ASSERT_TRUE(process.waitForFinished(20000));
    const std::string output = process.readAll().toStdString();
    EXPECT_NE(output.find(std::string("texts: ") + GetParam().texts + "\n"), std::string::npos)
        << output;
}

INSTANTIATE_TEST_SUITE_P(
    Environments, StartupLanguageTest,
    ::testing::Values(
        LanguageCase{"language_de", {{"LANGUAGE", "de"}, {"LANG", "C"}}, "Verbinden|&Datei|&Ja"},
        LanguageCase{"lang_alone", {{"LANG", "de_DE.UTF-8"}}, "Verbinden|&Datei|&Ja"},
        LanguageCase{"lc_all_over_lang",
                     {{"LC_ALL", "de_AT.UTF-8"}, {"LANG", "en_US.UTF-8"}},
                     "Verbinden|&Datei|&Ja"},
        LanguageCase{"c_locale", {{"LANG", "C"}}, "Connect|&File|&Yes"}),
    [](const auto& p) { return std::string(p.param.name); });

sim::Scenario OneController() {
    sim::Scenario scenario;
    sim::ControllerSpec controller;
    controller.name = "KT-4P SATA RAID";
    controller.channelCount = 4;
    sim::DriveSpec drive;
    drive.model = "KV-500 Enterprise 250";
    drive.capacity = 488397168;
    controller.drives.push_back(drive);
    scenario.controllers.push_back(controller);
    return scenario;
}

class SignalTest : public ::testing::TestWithParam<int> {};

// Connected and polling, the program takes the Exit path: logs off, writes the
// settings (narrowing the file to its owner) and ends with status 0.
TEST_P(SignalTest, TakesTheExitPath) {
    ProgramRun run(OneController());  // password "kavo"
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    // Connects 3 s after the start, polls half a second after connecting.
    const bool polled = run.service().WaitForCode(GET_CONTROLLER_COUNT, 15s) &&
                        run.service().WaitForCode(GET_CHANGE_FLAG, 15s);
    run.Signal(GetParam());
    const bool finished = run.process().waitForFinished(20000);
    const std::string output = run.process().readAll().toStdString();
    ASSERT_TRUE(polled && finished) << output;

    EXPECT_EQ(run.process().exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(run.process().exitCode(), 0) << output;
    EXPECT_TRUE(run.service().WaitForCode(LOGOFF, 2s).has_value());
    EXPECT_NE(run.Settings().find("Popup=2"), std::string::npos) << run.Settings();
    EXPECT_TRUE(run.SettingsArePrivate());
}

// A service that takes the login and never answers: the signal still ends the
// program through the Exit path at once, with the settings written.
TEST_P(SignalTest, EndsWithinTwoSecondsWhileTheLoginGetsNoAnswer) {
    sim::Scenario scenario = OneController();
    scenario.faults.push_back({.code = sim::kLoginFaultCode, .kind = sim::FaultSpec::Kind::Silent});
    ProgramRun run(scenario);
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    ASSERT_TRUE(run.service().WaitForEntries(1, 15s)) << "the login block";
    run.Signal(GetParam());
    const bool finished = run.process().waitForFinished(2000);
    const std::string output = run.process().readAll().toStdString();
    ASSERT_TRUE(finished) << output;
    EXPECT_EQ(run.process().exitCode(), 0) << output;
    EXPECT_NE(run.Settings().find("Popup=2"), std::string::npos) << run.Settings();
}

// Asks the program listening on `socket` to show its window, as a second start does;
// its answer.
std::string AskToShow(const std::string& socket) {
    QLocalSocket client;
    client.connectToServer(QString::fromStdString(socket));
    if (!client.waitForConnected(5000)) {
        return "no connection: " + client.errorString().toStdString();
    }
    client.write("show\n");
    while (!client.canReadLine() && client.waitForReadyRead(5000)) {
    }
    return client.readLine(64).toStdString();
}

// A second start (not minimised or minimised, connected or not) hands over to the
// running program and ends with 0 at once, before it would connect; the information
// options still answer on their own. The service sees one connection only.
TEST(SingleInstanceTest, SecondStartShowsTheRunningWindowAndEnds) {
    ProgramRun run(OneController(), "StartMinimized=1\n");
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    ASSERT_TRUE(run.service().WaitForCode(GET_CONTROLLER_COUNT, 15s)) << "logged in";

    for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("--version")}}) {
        QProcess& second = run.Launch(args);
        ASSERT_TRUE(second.waitForFinished(20000));
        const std::string output = second.readAll().toStdString();
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit) << output;
        EXPECT_EQ(second.exitCode(), 0) << output;
        EXPECT_EQ(output.starts_with("Veltrix "), !args.isEmpty()) << output;
    }
    // The minimised window (no tray offscreen) is shown normally on request.
    EXPECT_EQ(AskToShow(run.InstanceSocket()), "shown\n");
    EXPECT_EQ(run.service().ConnectionsAccepted(), 1u);
    EXPECT_EQ(run.process().state(), QProcess::Running);

    run.Signal(SIGTERM);
    ASSERT_TRUE(run.process().waitForFinished(20000));
    EXPECT_EQ(run.process().exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(run.InstanceSocket())));
}

// A socket left by a program that crashed refuses connections: the next start takes
// its place and runs.
TEST(SingleInstanceTest, StaleSocketDoesNotBlockTheStart) {
    ProgramRun run(OneController());
    const std::string path = run.InstanceSocket();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);  // the file stays, nobody listens

    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    EXPECT_TRUE(run.service().WaitForCode(GET_CONTROLLER_COUNT, 15s)) << "logged in";
    EXPECT_EQ(AskToShow(path), "shown\n");
    run.Signal(SIGTERM);
    ASSERT_TRUE(run.process().waitForFinished(20000));
    EXPECT_EQ(run.process().exitCode(), 0) << run.process().readAll().toStdString();
}

// Two starts in the same instant over a socket a crash left behind: the lock beside
// the socket lets only one of them take its place; the other hands over to it.
TEST(SingleInstanceTest, TwoStartsAtOnceNeverBothRun) {
    QTemporaryDir folder;
    for (int round = 0; round < 5; ++round) {
        const QString path = folder.filePath(QStringLiteral("veltrix-%1").arg(round));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.toStdString().copy(address.sun_path, sizeof address.sun_path - 1);
        const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(stale);

        std::array<SingleInstance::Start, 2> starts{};
        std::atomic<int> arrived{0};
        std::atomic<int> finished{0};
        std::array<std::unique_ptr<QThread>, 2> threads;
        for (std::size_t i = 0; i < 2; ++i) {
            threads[i].reset(QThread::create([&, i] {
                SingleInstance instance(path);
                instance.onShowRequested = [] { return true; };
                for (++arrived; arrived < 2;) {
                }
                starts[i] = instance.Begin();
                ++finished;
                while (finished < 2) {  // the one that listens answers the other
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                }
            }));
            threads[i]->start();
        }
        for (auto& thread : threads) {
            ASSERT_TRUE(thread->wait(20000));
        }
        EXPECT_EQ(std::count(starts.begin(), starts.end(), SingleInstance::Start::First), 1)
            << "round " << round;
        EXPECT_EQ(std::count(starts.begin(), starts.end(), SingleInstance::Start::HandedOver), 1)
            << "round " << round;
    }
}

// What the listening program answers a later start's line: only "show" is answered;
// any other line, or too long a one, ends the connection without an answer, and the
// program goes on answering the next start.
TEST(SingleInstanceTest, OnlyTheShowLineIsAnswered) {
    QTemporaryDir folder;
    SingleInstance instance(folder.filePath(QStringLiteral("veltrix-lines")));
    int asked = 0;
    instance.onShowRequested = [&asked] { return ++asked == 1; };
    ASSERT_EQ(instance.Begin(), SingleInstance::Start::First);
    const struct {
        QByteArray sent;
        std::string answer;
    } rows[] = {
        {"show\n", "shown\n"}, {"hello\n", ""}, {QByteArray(40, 's'), ""}, {"show\n", "hidden\n"}};
    for (const auto& row : rows) {
        std::string answer = "?";
        std::thread client([&] {
            QLocalSocket socket;
            socket.connectToServer(folder.filePath(QStringLiteral("veltrix-lines")));
            socket.waitForConnected(5000);
            socket.write(row.sent);
            socket.waitForBytesWritten(5000);
            while (socket.state() == QLocalSocket::ConnectedState && !socket.canReadLine() &&
                   socket.waitForReadyRead(5000)) {
            }
            answer = socket.readLine(64).toStdString();
        });
        while (answer == "?") {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        client.join();
        EXPECT_EQ(answer, row.answer) << row.sent.toStdString();
    }
    EXPECT_EQ(asked, 2);
}

// The names of the processes whose environment holds `entry` ("NAME=value").
std::string ProcessesWith(const std::string& entry) {
    std::string found;
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        std::ifstream environ(process.path() / "environ", std::ios::binary);
        std::string variable;
        while (std::getline(environ, variable, '\0')) {
            if (variable == entry) {
                std::ifstream comm(process.path() / "comm");
                std::string name;
                std::getline(comm, name);
                found += name + ' ';
            }
        }
    }
    return found;
}

// Without a session bus (no address, none at $XDG_RUNTIME_DIR/bus) on an X display,
// where the D-Bus library would start dbus-launch and a dbus-daemon for the first
// connection, the program runs without one and leaves no process behind.
TEST(SessionBusTest, WithoutABusNoneIsStartedOrLeft) {
    const testing::PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start (Debian package xvfb)";
    ProgramRun run(OneController());
    run.OnDesktop(display.name(), QString());
    const std::string marker = "VELTRIX_BUS_TEST=" + std::to_string(::getpid());
    run.SetEnvironment("VELTRIX_BUS_TEST", QString::number(::getpid()));
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    EXPECT_TRUE(run.service().WaitForCode(GET_CHANGE_FLAG, 15s)) << "logged in and polling";
    run.Signal(SIGTERM);
    ASSERT_TRUE(run.process().waitForFinished(20000));
    EXPECT_EQ(run.process().exitCode(), 0) << run.process().readAll().toStdString();
    EXPECT_EQ(ProcessesWith(marker), "");
}

// Logged in and without a session bus, no network, Kerberos or keyring library is loaded.
TEST(LightStartTest, LoggedInProgramHasNoUnusedLibraryLoaded) {
    ProgramRun run(OneController());
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    ASSERT_TRUE(run.service().WaitForCode(GET_CHANGE_FLAG, 15s)) << "logged in and polling";
    std::stringstream maps;
    maps << std::ifstream("/proc/" + std::to_string(run.process().processId()) + "/maps").rdbuf();
    for (const char* unused : {"libQt6Network", "libgssapi", "libsecret"}) {
        EXPECT_EQ(maps.str().find(unused), std::string::npos) << maps.str();
    }
    run.Signal(SIGTERM);
    ASSERT_TRUE(run.process().waitForFinished(20000));
}

// On a desktop with a notification area (a StatusNotifierItem watcher and host on the
// session bus, as panels provide) the window hides into it: at the start with "Start
// minimized" and by the icon's click. Hiding never ends the program; it logs in and
// polls with its window hidden, and only the Exit path (here SIGTERM) ends it.
TEST(NotificationAreaTest, HiddenWindowKeepsTheProgramPollingUntilTheExitPath) {
    std::string whyNot;
    const testing::PrivateBuses* buses = testing::PrivateBuses::Get(whyNot);
    ASSERT_NE(buses, nullptr) << whyNot;
    const testing::PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start (Debian package xvfb)";
    const testing::DbusMock watcher(VELTRIX_TEST_SUPPORT_DIR "/status_notifier_watcher.py", false,
                                    QStringLiteral("org.kde.StatusNotifierWatcher"),
                                    QStringLiteral("/StatusNotifierWatcher"));
    ASSERT_TRUE(watcher.ready()) << "the notification area's watcher";

    ProgramRun run(OneController(), "StartMinimized=1\n");
    run.OnDesktop(display.name(), buses->sessionAddress);
    run.SetEnvironment("XDG_CURRENT_DESKTOP", QString());
    run.SetEnvironment("QT_QPA_PLATFORMTHEME", QString());
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    const auto output = [&run] { return run.process().readAll().toStdString(); };

    // The icon registers with the watcher (again whenever it is shown anew); the name
    // it registered last is where a click goes.
    const auto item = [&watcher] { return testing::RegisteredItem(watcher); };
    ASSERT_TRUE(WaitUntil([&] { return !item().isEmpty(); }, 15s)) << output();
    const auto click = [&] {
        QDBusMessage activate = QDBusMessage::createMethodCall(
            item(), QStringLiteral("/StatusNotifierItem"),
            QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
        activate << 0 << 0;
        const QDBusMessage reply = watcher.bus().call(activate, QDBus::Block, 5000);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.type() == QDBusMessage::ReplyMessage;
    };
    const auto shown = [&] { return !display.MappedWindowTitles().isEmpty(); };
    const auto hidden = [&] { return display.MappedWindowTitles().isEmpty(); };

    // Hidden at the start, it connects 3 s later and polls.
    ASSERT_TRUE(run.service().WaitForCode(GET_CHANGE_FLAG, 15s)) << output();
    ASSERT_EQ(run.process().state(), QProcess::Running) << output();
    EXPECT_TRUE(hidden()) << display.MappedWindowTitles().join(u'|').toStdString();

    // The first click shows the window, the second hides it again; a second start (as
    // from the desktop's menu) brings it back, and a click hides it once more.
    ASSERT_TRUE(click());
    EXPECT_TRUE(WaitUntil(shown, 5s));
    ASSERT_TRUE(click());
    EXPECT_TRUE(WaitUntil(hidden, 5s));
    QProcess& second = run.Launch();
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();
    EXPECT_TRUE(WaitUntil(shown, 5s));
    ASSERT_TRUE(click());
    EXPECT_TRUE(WaitUntil(hidden, 5s));
    // Quiet polls send no new icon (Qt resends a tooltip after a balloon on its own).
    QProcess monitor;
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--address"), buses->sessionAddress,
                   QStringLiteral("type='signal',interface='org.kde.StatusNotifierItem'")});
    ASSERT_TRUE(WaitUntil([&] { return monitor.waitForReadyRead(100); }, 5s)) << "dbus-monitor";
    const std::size_t polls = run.Requests(GET_CHANGE_FLAG);
    EXPECT_TRUE(WaitUntil([&] { return run.Requests(GET_CHANGE_FLAG) > polls + 1; }, 17s));
    ASSERT_EQ(run.process().state(), QProcess::Running) << output();
    monitor.terminate();
    EXPECT_TRUE(monitor.waitForFinished(5000));
    EXPECT_FALSE(monitor.readAllStandardOutput().contains("member=NewIcon"));

    run.Signal(SIGTERM);
    ASSERT_TRUE(run.process().waitForFinished(20000)) << output();
    const std::string ending = output();
    EXPECT_EQ(run.process().exitStatus(), QProcess::NormalExit) << ending;
    EXPECT_EQ(run.process().exitCode(), 0) << ending;
    EXPECT_TRUE(run.service().WaitForCode(LOGOFF, 5s).has_value());
    EXPECT_NE(run.Settings().find("StartMinimized=1"), std::string::npos) << run.Settings();
    EXPECT_NE(run.Settings().find("Popup=2"), std::string::npos) << run.Settings();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& p) { return p.param == SIGTERM ? "sigterm" : "sigint"; });

// A screen reader's way through the program over AT-SPI: at-spi2-core's accessibility
// bus on a private session bus and X server, the program connected to the service and
// exporting its controls; read_by_names.py finds everything by its accessible name.
TEST(ScreenReaderTest, ReadsTheMailSettingsAndTheDriveListByAccessibleNames) {
    if (!testing::AccessibilityBus::Available()) {
        GTEST_SKIP() << "the AT-SPI run needs the Debian packages at-spi2-core and python3-pyatspi";
    }
    std::string whyNot;
    const testing::PrivateBuses* buses = testing::PrivateBuses::Get(whyNot);
    ASSERT_NE(buses, nullptr) << whyNot;
    const testing::PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start (Debian package xvfb)";
    const testing::AccessibilityBus atspi(buses->sessionAddress, display.name());

    sim::Scenario scenario = testing::WithMail(OneController(), {3, 4, 0, 0});
    scenario.controllers[0].name = "RX-Oak 4P";  // a model the picture draws
    ProgramRun run(scenario);
    run.OnDesktop(display.name(), buses->sessionAddress);
    run.SetEnvironment("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", QStringLiteral("1"));
    run.SetEnvironment("LANGUAGE", QStringLiteral("en"));
    run.Launch();
    QProcess reader;
    reader.setProcessEnvironment(atspi.desktop());
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(QStringLiteral(VELTRIX_APP_TEST_DIR "/read_by_names.py"),
                 {"Kavotronik Veltrix", "Email...", "Email settings", "Cancel",
                  "Address:", "Drives", "Controller picture"});
    const bool finished = reader.waitForFinished(90000);
    run.Signal(SIGTERM);
    run.process().waitForFinished(20000);
    const QString read = QString::fromUtf8(reader.readAll());
    ASSERT_TRUE(finished && reader.exitCode() == 0)
        << read.toStdString() << run.process().readAll().toStdString();
    EXPECT_TRUE(
        read.contains("mail admin@example.org\npicture Controller RX-Oak 4P. Drives: "
                      "Port 0 (KV-500 Enterprise 250, "))
        << read.toStdString();
    EXPECT_TRUE(read.contains("\nstatus Kavotronik Veltrix\nRebuildstatus:\nController No.0"));
    EXPECT_TRUE(read.contains(QRegularExpression("\ndrive 0\tKV-500 Enterprise 250 *\t")));
}

}  // namespace
}  // namespace veltrix
