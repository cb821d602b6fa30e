// The Veltrix program as a process: the information options without a display, and
// a termination signal while it is connected to the simulated service.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "service/protocol.h"
#include "servicesim/service_sim.h"

extern char** environ;

namespace veltrix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path MakeTempDir(const char* pattern) {
    std::string name = pattern;
    return ::mkdtemp(name.data());
}

// This process's environment with some variables set (a value) or removed (none).
std::vector<std::string> ChildEnvironment(
    const std::map<std::string, std::optional<std::string>>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (changes.count(entry.substr(0, entry.find('='))) == 0) {
            env.push_back(entry);
        }
    }
    for (const auto& [name, value] : changes) {
        if (value) {
            env.push_back(name + "=" + *value);
        }
    }
    return env;
}

// Starts the program with its output (stdout and stderr) going to `log`.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const fs::path& log) {
    std::vector<char*> argv{const_cast<char*>(VELTRIX_EXECUTABLE)};
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execve(VELTRIX_EXECUTABLE, argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out);
    return pid;
}

// The exit status (128 + signal when killed), or -1 when the process is still running
// after `timeout` (it is killed then).
int WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(20ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class StartupTest : public ::testing::Test {
  protected:
    ~StartupTest() override { fs::remove_all(dir_); }
    fs::path dir_ = MakeTempDir("/tmp/veltrix-startup-XXXXXX");
    fs::path log_ = dir_ / "output.log";
};

struct InformationCase {
    const char* option;
    const char* pattern;  // the whole output
};

class InformationOptionTest : public StartupTest,
                              public ::testing::WithParamInterface<InformationCase> {};

// Without any display: answered before the application object would need one.
TEST_P(InformationOptionTest, AnswersWithoutDisplay) {
    const pid_t pid = Spawn({GetParam().option},
                            ChildEnvironment({{"DISPLAY", std::nullopt},
                                              {"WAYLAND_DISPLAY", std::nullopt},
                                              {"QT_QPA_PLATFORM", std::nullopt}}),
                            log_);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitExit(pid, 20s), 0);
    const std::string output = ReadAll(log_);
    EXPECT_TRUE(std::regex_match(output, std::regex(GetParam().pattern))) << output;
}

INSTANTIATE_TEST_SUITE_P(
    Options, InformationOptionTest,
    ::testing::Values(InformationCase{"--version", R"(Veltrix [0-9]+\.[0-9]+\.[0-9]+\n)"},
                      InformationCase{"--help",
                                      R"(Usage: Veltrix[^]*Veltrix\.conf[^]*VELTRIX_PIPE_DIR[^]*)"
                                      R"(VELTRIX_PIPE_PORT[^]*)"}),
    [](const auto& p) { return std::string(p.param.option + 2); });

sim::Scenario OneController() {
    sim::Scenario scenario;
    scenario.password = "kavo";
    sim::ControllerSpec controller;
    controller.vendorId = 0x1095;
    controller.deviceId = 0x3124;
    controller.name = "KT-4P SATA RAID";
    controller.channelCount = 4;
    controller.jbod = true;
    sim::DriveSpec drive;
    drive.model = "KV-500 Enterprise 250";
    drive.serial = "KV0A1B2C3D4E";
    drive.capacity = 488397168;
    controller.drives.push_back(drive);
    sim::RaidSetSpec set;
    set.raidType = 4;
    set.capacity = drive.capacity;
    set.driveCount = 1;
    set.members = {0, 0xFF, 0xFF, 0xFF};
    controller.sets.push_back(set);
    scenario.controllers.push_back(controller);
    return scenario;
}

class SignalTest : public StartupTest, public ::testing::WithParamInterface<int> {};

// Connected and polling, the program takes the Exit path: logs off, writes the
// settings (narrowing the file to its owner) and ends with status 0.
TEST_P(SignalTest, TakesTheExitPath) {
    const fs::path config = dir_ / "config";
    const fs::path file = config / "KavotronikVeltrix" / "Veltrix.conf";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "[SettingsGUI]\nDPPW=kavo\nServerHostname=.\nAutoconnect=1\n";
    ::chmod(file.c_str(), 0644);

    sim::ServiceSim service(OneController());
    sim::ServiceSimOptions options;
    options.pipeDir = dir_.string();
    service.start(options);

    const pid_t pid = Spawn({},
                            ChildEnvironment({{"QT_QPA_PLATFORM", "offscreen"},
                                              {"XDG_CONFIG_HOME", config.string()},
                                              {"VELTRIX_PIPE_DIR", dir_.string()}}),
                            log_);
    ASSERT_GT(pid, 0);
    // Connects 3 s after the start, polls half a second after connecting.
    const bool connected = service.waitForCode(GET_CONTROLLER_COUNT, 15s).has_value();
    const bool polled = connected && service.waitForCode(GET_CHANGE_FLAG, 15s).has_value();
    ASSERT_EQ(::kill(pid, GetParam()), 0);
    const int status = WaitExit(pid, 20s);
    ASSERT_TRUE(connected && polled) << ReadAll(log_);

    EXPECT_EQ(status, 0) << ReadAll(log_);
    EXPECT_TRUE(service.waitForCode(LOGOFF, 0ms).has_value());
    const std::string written = ReadAll(file);
    EXPECT_NE(written.find("Popup=2"), std::string::npos) << written;
    EXPECT_NE(written.find("DPPW=kavo"), std::string::npos) << written;
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& p) {
                             return std::string(p.param == SIGTERM ? "sigterm" : "sigint");
                         });

}  // namespace
}  // namespace veltrix
