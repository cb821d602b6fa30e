// The Veltrix program as a process: the information options without a display, and
// the termination signals while it is connected to the simulated service.

#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "protocol/protocol.h"
#include "servicesim/service_sim.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;

QProcess* Start(const QStringList& args, const QProcessEnvironment& env) {
    auto* process = new QProcess;
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(VELTRIX_EXECUTABLE), args);
    return process;
}

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
    std::unique_ptr<QProcess> process(Start({QLatin1String(GetParam().option)}, env));
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
    ::testing::Values(InformationCase{"--version", R"(Veltrix \d+\.\d+\.\d+\n)"},
                      InformationCase{"--help", R"((?s)Usage: Veltrix.*Veltrix\.conf.*)"
                                                R"(VELTRIX_PIPE_DIR.*VELTRIX_PIPE_PORT.*)"}),
    [](const auto& p) { return std::string(p.param.option + 2); });

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
    QTemporaryDir dir;
    const std::string file = dir.filePath("config/KavotronikVeltrix/Veltrix.conf").toStdString();
    QDir(dir.path()).mkpath(QStringLiteral("config/KavotronikVeltrix"));
    std::ofstream(file) << "[SettingsGUI]\nDPPW=kavo\nServerHostname=.\nAutoconnect=1\n";
    ::chmod(file.c_str(), 0644);

    sim::ServiceSim service(OneController());  // password "kavo"
    sim::ServiceSimOptions options;
    options.pipeDir = dir.path().toStdString();
    service.start(options);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("VELTRIX_PIPE_DIR"), dir.path());
    std::unique_ptr<QProcess> process(Start({}, env));
    ASSERT_TRUE(process->waitForStarted(20000));
    // Connects 3 s after the start, polls half a second after connecting.
    const bool polled =
        service.waitForCode(GET_CONTROLLER_COUNT, 15s) && service.waitForCode(GET_CHANGE_FLAG, 15s);
    ::kill(static_cast<pid_t>(process->processId()), GetParam());
    const bool finished = process->waitForFinished(20000);
    const std::string output = process->readAll().toStdString();
    ASSERT_TRUE(polled && finished) << output;

    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(process->exitCode(), 0) << output;
    EXPECT_TRUE(service.waitForCode(LOGOFF, 0ms).has_value());
    std::stringstream written;
    written << std::ifstream(file).rdbuf();
    EXPECT_NE(written.str().find("Popup=2"), std::string::npos) << written.str();
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& p) { return p.param == SIGTERM ? "sigterm" : "sigint"; });

}  // namespace
}  // namespace veltrix
