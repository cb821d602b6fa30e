// Start-up of the program to its main window: the snapshot tool (the program's own
// start-up code) with its picture due once the window has painted. Each start is
// timed, from starting the process, to two moments: its "main window shown" line (the
// show event, before anything is painted; the iteration's time) and its "main window
// painted" line (the first paint done: the window as the user first sees it; the
// counter painted_ms); reported as the medians of 31 starts. The baseline beside it: a bare Qt Widgets dialog with one label
// (bare_dialog), started and timed the same way; the starts of all take turns in
// random order, so all meet the same conditions. For reference, the same dialog filled
// with the main window's kinds of controls at its size (bare_dialog --skeleton): what
// Qt Widgets charges for such a window before any of the program's own work.
//
// With --hosts N the program is also started with N hosts configured (the first and
// N - 1 further ones, those with Autoconnect, on ports where nothing answers: the
// window is shown before their first try), against its start with one, in the same
// interleaved run.
//
// The platform is the one a user's start gets: the desktop's when there is one (DISPLAY
// or WAYLAND_DISPLAY set), offscreen otherwise; QT_QPA_PLATFORM overrides both.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "ratio_reporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kShownLine[] = "main window shown";
constexpr char kPaintedLine[] = "main window painted";
constexpr int kLineTimeoutMs = 30000;

// Reads the child's output until `line`, which comes after what `output` already
// holds; false on its end or a time-out.
bool WaitForLine(int fd, const char* line, std::string& output) {
    char buffer[512];
    const auto deadline = Clock::now() + std::chrono::milliseconds(kLineTimeoutMs);
    while (output.find(line) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return false;
        }
        output.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// Reads the child's output to its end, so that the pipe never fills up; not timed, as
// it waits for the child to end.
void DrainOutput(int fd) {
    char buffer[512];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

constexpr char kOneHostSettings[] = "[SettingsGUI]\nAutoconnect=0\n";

// The settings of N hosts (--hosts; empty without it).
std::string& HostsSettings() {
    static std::string settings;
    return settings;
}

std::string SettingsOfHosts(int count) {
    std::string text = "[SettingsGUI]\nDPPW=kavo\nServerHostname=127.0.0.1:1\nAutoconnect=0\n";
    text += "[Hosts]\nsize=" + std::to_string(count - 1) + "\n";
    for (int i = 1; i < count; ++i) {
        const std::string key = std::to_string(i) + "\\";
        text += key + "Name=host " + std::to_string(i + 1) + "\n" + key +
                "Address=127.0.0.1:" + std::to_string(i + 1) + "\n" + key + "Autoconnect=1\n" +
                key + "Password=kavo\n";
    }
    return text;
}

// Starts `program` with `argv` once per iteration, timed to its shown and painted lines.
void BenchStartup(benchmark::State& state, const char* program, char* const argv[],
                  const std::string& settings = kOneHostSettings) {
    std::string pattern = "/tmp/veltrix-startup-bench-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern.data());
    // Private settings without auto-connect, and an empty pipe folder: nothing
    // outside the folder is read or written.
    fs::create_directories(dir / "KavotronikVeltrix");
    std::ofstream(dir / "KavotronikVeltrix" / "Veltrix.conf") << settings;
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    ::setenv("VELTRIX_PIPE_DIR", dir.c_str(), 1);
    for (auto _ : state) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Only the shown and painted lines are read; Qt's messages stay out of the
            // report.
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(fds[1], 1);
            ::dup2(quiet, 2);
            ::execve(program, argv, environ);
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string output;
        const bool shown = WaitForLine(fds[0], kShownLine, output);
        const auto shownAt = Clock::now();
        const bool painted = shown && WaitForLine(fds[0], kPaintedLine, output);
        const auto paintedAt = Clock::now();
        if (!painted) {
            ::kill(pid, SIGKILL);
        }
        DrainOutput(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(fds[0]);
        if (!painted || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not show and paint its window and end cleanly");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(shownAt - start).count());
        state.counters["painted_ms"] =
            std::chrono::duration<double, std::milli>(paintedAt - start).count();
    }
    fs::remove_all(dir);
}

void BenchStartupToMainWindow(benchmark::State& state) {
    const std::string png = (fs::temp_directory_path() / "veltrix-startup-bench.png").string();
    char* const argv[] = {const_cast<char*>(VELTRIX_SNAPSHOT), const_cast<char*>(png.c_str()),
                          const_cast<char*>("0"), nullptr};
    BenchStartup(state, VELTRIX_SNAPSHOT, argv);
    fs::remove(png);
}

void BenchStartupWithHosts(benchmark::State& state) {
    const std::string png =
        (fs::temp_directory_path() / "veltrix-startup-bench-hosts.png").string();
    char* const argv[] = {const_cast<char*>(VELTRIX_SNAPSHOT), const_cast<char*>(png.c_str()),
                          const_cast<char*>("0"), nullptr};
    BenchStartup(state, VELTRIX_SNAPSHOT, argv, HostsSettings());
    fs::remove(png);
}

void BenchBareDialog(benchmark::State& state) {
    char* const argv[] = {const_cast<char*>(VELTRIX_BARE_DIALOG), nullptr};
    BenchStartup(state, VELTRIX_BARE_DIALOG, argv);
}

void BenchWindowSkeleton(benchmark::State& state) {
    char* const argv[] = {const_cast<char*>(VELTRIX_BARE_DIALOG), const_cast<char*>("--skeleton"),
                          nullptr};
    BenchStartup(state, VELTRIX_BARE_DIALOG, argv);
}

// Starts per program. A start takes about 20 ms and its time scatters by 10-20 % from
// one to the next on a busy machine; with 31 the medians of three runs agree more
// closely than with 9.
constexpr int kStarts = 31;

void RegisterStartup(const char* name, void (*function)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, function)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(kStarts)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}

constexpr char kProgram[] = "BM_StartupToMainWindow";
constexpr char kBare[] = "BM_BareDialogShown";
constexpr char kSkeleton[] = "BM_WindowSkeletonShown";
constexpr char kWithHosts[] = "BM_StartupToMainWindowWithHosts";
constexpr double kHostsTarget = 1.05;

// The references of one moment, given as its time by benchmark name: the program and
// the skeleton against the bare dialog, and the program against the skeleton.
template <typename Time>
void PrintReferences(const char* moment, Time time) {
    const double programNs = time(kProgram);
    const double bareNs = time(kBare);
    const double skeletonNs = time(kSkeleton);
    if (programNs > 0 && bareNs > 0 && skeletonNs > 0) {
        std::printf(
            "reference, %s: program / bare dialog = %.2f, window skeleton / bare dialog = %.2f, "
            "program / window skeleton = %.2f\n",
            moment, programNs / bareNs, skeletonNs / bareNs, programNs / skeletonNs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int hosts = veltrix::bench::TakeCountOption(argc, argv, "hosts", 2, 65);
    if (hosts < 0) {
        std::fprintf(stderr, "startup_bench: --hosts takes a count from 2 to 65\n");
        return 1;
    }
    RegisterStartup(kProgram, BenchStartupToMainWindow);
    if (hosts > 0) {
        HostsSettings() = SettingsOfHosts(hosts);
        RegisterStartup(kWithHosts, BenchStartupWithHosts);
    }
    RegisterStartup(kBare, BenchBareDialog);
    RegisterStartup(kSkeleton, BenchWindowSkeleton);
    if (::getenv("DISPLAY") == nullptr && ::getenv("WAYLAND_DISPLAY") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    const char* platform = ::getenv("QT_QPA_PLATFORM");
    std::printf("startup: platform %s\n", platform != nullptr ? platform : "of the desktop");
    veltrix::bench::InitializeInterleaved(&argc, argv);
    veltrix::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto shown = [&reporter](const char* name) { return reporter.Nanoseconds(name); };
    const auto painted = [&reporter](const char* name) {
        return reporter.Counter(name, "painted_ms") * 1e6;
    };
    if (shown(kProgram) > 0 && painted(kProgram) > 0) {
        std::printf("startup: main window shown after %.0f ms, painted after %.0f ms (medians)\n",
                    shown(kProgram) / 1e6, painted(kProgram) / 1e6);
    }
    reporter.PrintRatio(kProgram, kBare, 1.2);
    if (hosts > 0 && shown(kWithHosts) > 0) {
        std::printf(
            "startup with %d hosts: main window shown after %.0f ms, painted after %.0f ms "
            "(medians)\n",
            hosts, shown(kWithHosts) / 1e6, painted(kWithHosts) / 1e6);
        veltrix::bench::RatioReporter::PrintRatio(
            "start to window shown, " + std::to_string(hosts) + " hosts / one host",
            shown(kWithHosts), shown(kProgram), kHostsTarget);
    }
    PrintReferences("shown", shown);
    // The first picture: the window as the user first sees it.
    PrintReferences("painted", painted);
    benchmark::Shutdown();
    return 0;
}
