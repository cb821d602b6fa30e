// The servicesim program: ready line, serving, clean exit on SIGTERM, errors.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "raw_client.h"

namespace veltrix::sim {
namespace {

using testing::Login;
using testing::RawClient;

struct Child {
    pid_t pid = -1;
    int out = -1;  // stdout and stderr of the child
};

Child Spawn(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(SERVICESIM_EXECUTABLE));
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(SERVICESIM_EXECUTABLE, argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

// Output of the child up to the first newline (or its end), within `timeout`.
std::string ReadLine(int fd, std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return line;
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1 || c == '\n') {
            return line;
        }
        line.push_back(c);
    }
}

int WaitExit(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest() {
        char pattern[] = "/tmp/servicesim-prog-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    ~ProgramTest() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
};

TEST_F(ProgramTest, PrintsReadyServesAndStopsOnSigterm) {
    Child child = Spawn({"--pipe-dir", dir_, "--tcp", "0"});
    ASSERT_GT(child.pid, 0);
    const std::string ready = ReadLine(child.out, std::chrono::seconds(20));
    const std::string expected =
        "servicesim: listening on " + dir_ + "/KAVOPIPE and tcp 127.0.0.1:";
    ASSERT_EQ(ready.substr(0, expected.size()), expected) << ready;
    const int port = std::atoi(ready.substr(expected.size()).c_str());
    EXPECT_GT(port, 0);

    // The shipped scenario: password "kavo", two controllers.
    RawClient c = RawClient::Local(dir_ + "/KAVOPIPE");
    ASSERT_TRUE(c.connected());
    const auto login = c.ask(Login("kavo"));
    ASSERT_TRUE(login && IsLoginAccepted(*login));
    const auto count = c.ask(testing::Frame(GET_CONTROLLER_COUNT));
    ASSERT_TRUE(count);
    EXPECT_EQ(ByteView(*count).U32(6), 2u);
    c.close();

    ASSERT_EQ(::kill(child.pid, SIGTERM), 0);
    EXPECT_EQ(WaitExit(child.pid), 0);
    ::close(child.out);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/KAVOPIPE"));
}

TEST_F(ProgramTest, RefusesBadScenariosAndOptions) {
    {
        const std::string bad = dir_ + "/bad.json";
        std::ofstream(bad) << R"({"controllers": [{"channelCount": "many"}]})";
        Child child = Spawn({"--pipe-dir", dir_, "--scenario", bad});
        const std::string message = ReadLine(child.out, std::chrono::seconds(20));
        EXPECT_NE(message.find("channelCount"), std::string::npos) << message;
        EXPECT_EQ(WaitExit(child.pid), 1);
        ::close(child.out);
    }
    {
        Child child = Spawn({"--frobnicate"});
        EXPECT_NE(ReadLine(child.out, std::chrono::seconds(20)).find("unknown option"),
                  std::string::npos);
        EXPECT_EQ(WaitExit(child.pid), 2);
        ::close(child.out);
    }
    {
        Child child = Spawn({"--tcp", "70000"});
        EXPECT_EQ(WaitExit(child.pid), 2);
        ::close(child.out);
    }
}

}  // namespace
}  // namespace veltrix::sim
