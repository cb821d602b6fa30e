// One veltrix-status --format json run, process start to exit, against the default
// scenario and against the worst-case enumeration (8 controllers, 20 drives and 20
// sets each, port multipliers on 4 channels), median of 9 runs each; beside it the
// floor: the same requests the run sent, replayed raw over a SOCK_SEQPACKET socket to
// the same simulated service (send, blocking recv) from a process of its own, median
// of 9.
//
// The enumeration part of a run is its own report (--timings): login accepted to the
// table read. Its floor is the replay of the requests between the login and the
// first rebuild question.
//
//   status_bench [--runs N]

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/protocol.h"
#include "ratio_reporter.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "transcript_replay.h"

extern char** environ;

namespace {

using namespace veltrix;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

struct ProcessRun {
    double wallMs = 0;
    double enumerationMs = 0;
    int exitCode = -1;
};

// Starts the program with standard output to /dev/null and standard error to a file,
// waits for it; the enumeration part from its --timings line.
ProcessRun RunProgram(const std::string& errFile,
                      const std::string& program = VELTRIX_STATUS_PROGRAM) {
    std::vector<std::string> args{program, "--format", "json", "--timings"};
    if (program != VELTRIX_STATUS_PROGRAM) {
        args.resize(1);
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    ProcessRun run;
    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "status_bench: cannot start %s\n", program.c_str());
        std::exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.wallMs = Ms(Clock::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

    FILE* in = std::fopen(errFile.c_str(), "r");
    char line[512] = {};
    double connected = 0;
    double enumerated = 0;
    while (in != nullptr && std::fgets(line, sizeof(line), in) != nullptr) {
        if (const char* at = std::strstr(line, "connected=")) {
            connected = std::atof(at + std::strlen("connected="));
        }
        if (const char* at = std::strstr(line, "enumerated=")) {
            enumerated = std::atof(at + std::strlen("enumerated="));
        }
    }
    if (in != nullptr) {
        std::fclose(in);
    }
    run.enumerationMs = enumerated - connected;
    return run;
}

// The requests of one run as they went on the wire, after the login.
struct Requests {
    bench::RequestList all;
    std::size_t enumeration = 0;  // the first ones, up to the first rebuild question
};

Requests RequestsOf(const std::vector<sim::TranscriptEntry>& transcript) {
    Requests requests;
    bool enumerating = true;
    for (const auto& entry : transcript) {
        if (entry.login || entry.code == LOGOFF) {
            continue;
        }
        if (entry.code == GET_REBUILD_STATUS) {
            enumerating = false;
        }
        requests.all.push_back(bench::RequestBytes(entry));
        requests.enumeration += enumerating ? 1 : 0;
    }
    return requests;
}

// Logs in over a raw socket and times the exchanges of requests [0, count).
double RawReplay(const std::string& socketPath, const Requests& requests, std::size_t count) {
    bench::RawClient client(socketPath);
    const Clock::time_point start = Clock::now();
    client.Replay(requests.all, count);
    return Ms(Clock::now() - start);
}

// RawReplay in a process of its own, as the program's run is one: a switch between
// two processes costs more than one between two threads of one (the address space
// changes), and a replay from the service's own process would not pay it.
double RawReplayInOwnProcess(const std::string& socketPath, const Requests& requests,
                             std::size_t count) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        std::perror("status_bench: pipe");
        std::exit(1);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const double ms = RawReplay(socketPath, requests, count);
        [[maybe_unused]] const ssize_t written = ::write(fds[1], &ms, sizeof ms);
        ::_exit(0);
    }
    ::close(fds[1]);
    double ms = 0;
    const bool read = pid > 0 && ::read(fds[0], &ms, sizeof ms) == sizeof ms;
    ::close(fds[0]);
    int status = 0;
    if (pid > 0) {
        ::waitpid(pid, &status, 0);
    }
    if (!read) {
        std::fprintf(stderr, "status_bench: the raw replay did not report\n");
        std::exit(1);
    }
    return ms;
}

// Waits until the service has seen every connection so far end: it listens again.
void Settle(const sim::ServiceSim& service) {
    service.WaitForConnectionsClosed(service.ConnectionsAccepted(), std::chrono::seconds(10));
}

// Targets: the enumeration against its raw requests; the whole run against the raw
// requests plus a bare QCoreApplication's start and end (bare_core_app).
constexpr double kEnumerationTarget = 1.10;
constexpr double kRunTarget = 2.0;

struct Figures {
    double wall = 0, rawAll = 0, enumeration = 0, rawEnumeration = 0, bareApp = 0;
    std::size_t requests = 0, enumerationRequests = 0;
};

Figures Measure(const char* name, sim::Scenario scenario, int runs) {
    std::string dir = (std::filesystem::temp_directory_path() / "veltrix-status-bench-XXXXXX");
    if (::mkdtemp(dir.data()) == nullptr) {
        std::exit(1);
    }
    ::setenv("VELTRIX_PIPE_DIR", dir.c_str(), 1);
    sim::ServiceSim service(std::move(scenario));
    sim::ServiceSimOptions options;
    options.pipeDir = dir;
    options.manualClock = true;
    service.Start(options);
    const std::string errFile = dir + "/stderr";

    // A first run fills the caches and gives the requests to replay.
    service.ClearTranscript();
    const ProcessRun warmUp = RunProgram(errFile);
    Settle(service);
    if (warmUp.exitCode != 0) {
        std::fprintf(stderr, "status_bench: %s: veltrix-status exited with %d\n", name,
                     warmUp.exitCode);
        std::exit(1);
    }
    const Requests requests = RequestsOf(service.Transcript());

    std::vector<double> wall, enumeration, rawAll, rawEnumeration, bareApp;
    for (int i = 0; i < runs; ++i) {
        bareApp.push_back(RunProgram(errFile, VELTRIX_BARE_CORE_APP).wallMs);
        const ProcessRun run = RunProgram(errFile);
        Settle(service);
        wall.push_back(run.wallMs);
        enumeration.push_back(run.enumerationMs);
        rawAll.push_back(
            RawReplayInOwnProcess(service.SocketPath(), requests, requests.all.size()));
        Settle(service);
        rawEnumeration.push_back(
            RawReplayInOwnProcess(service.SocketPath(), requests, requests.enumeration));
        Settle(service);
    }
    service.Stop();
    std::filesystem::remove_all(dir);

    Figures f{Median(wall),    Median(rawAll),      Median(enumeration), Median(rawEnumeration),
              Median(bareApp), requests.all.size(), requests.enumeration};
    std::printf(
        "%-22s run %8.2f ms  raw %4zu requests %8.2f ms  bare QCoreApplication %6.2f ms | "
        "enumeration %8.2f ms  raw %4zu requests %8.2f ms\n",
        name, f.wall, f.requests, f.rawAll, f.bareApp, f.enumeration, f.enumerationRequests,
        f.rawEnumeration);
    const std::string what = std::string(" (") + name + ")";
    bench::RatioReporter::PrintRatio("enumeration / raw enumeration requests" + what, f.enumeration,
                                     f.rawEnumeration, kEnumerationTarget);
    bench::RatioReporter::PrintRatio("run / (raw requests + bare QCoreApplication)" + what, f.wall,
                                     f.rawAll + f.bareApp, kRunTarget);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 9;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::printf("usage: status_bench [--runs N]\n");
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }
    ::setenv("VELTRIX_PASSWORD", "kavo", 1);
    ::signal(SIGPIPE, SIG_IGN);
    std::printf(
        "veltrix-status --format json, median of %d runs; raw: the run's requests "
        "replayed on a SOCK_SEQPACKET socket\n",
        runs);
    const Figures typical =
        Measure("default scenario", sim::LoadScenario(VELTRIX_DEFAULT_SCENARIO), runs);
    Measure("worst-case enumeration", sim::WorstCaseEnumerationScenario(), runs);
    std::printf("default scenario run %.2f ms (target under 50 ms) %s\n", typical.wall,
                typical.wall < 50.0 ? "ok" : "ABOVE TARGET");
    return 0;
}
