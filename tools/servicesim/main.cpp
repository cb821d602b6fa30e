// servicesim: the simulated monitoring service as a program. Listens on the local
// pipe socket (and optionally TCP) until SIGINT or SIGTERM.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "protocol/transport.h"
#include "servicesim/scenario.h"
#include "servicesim/service_sim.h"

namespace {

using veltrix::sim::ServiceSim;
using veltrix::sim::ServiceSimOptions;
using veltrix::sim::TranscriptEntry;

// The program is built twice: as "servicesim" for the build tree and as
// "veltrix-servicesim" for installation.
#ifndef SERVICESIM_PROGRAM_NAME
#define SERVICESIM_PROGRAM_NAME "servicesim"
#endif

constexpr char kUsage[] =
    "Usage: " SERVICESIM_PROGRAM_NAME
    " [options]\n"
    "Plays the monitoring service on its pipe until SIGINT or SIGTERM.\n"
    "\n"
    "  --scenario FILE     scenario to play (default: the shipped default.json)\n"
    "  --pipe-dir DIR      directory of the local pipe socket\n"
    "                      (default: $VELTRIX_PIPE_DIR or /run/kavotronik)\n"
    "  --pipe-name NAME    pipe name (default: KAVOPIPE)\n"
    "  --tcp [PORT]        also listen on TCP (default port: $VELTRIX_PIPE_PORT or 47631;\n"
    "                      0 picks a free port)\n"
    "  --tcp-address ADDR  TCP address to listen on (default: 127.0.0.1)\n"
    "  --no-local          do not listen on the local socket (needs --tcp)\n"
    "  --outage AFTER,FOR  go away AFTER seconds after the start (pipe removed, connection\n"
    "                      closed) and come back FOR seconds later\n"
    "  --transcript        print every received message to stdout\n"
    "  --help              show this text\n";

// The shipped scenario: next to the program (build tree), in the installed share
// directory, or, for the build tree's program only, in the source tree. The installed
// program knows no source tree, so it never picks up a file of the machine it was
// built on.
std::string DefaultScenarioPath(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        exe = fs::path(argv0);
    }
    const fs::path dir = exe.parent_path();
    const fs::path installed = dir / ".." / "share" / "veltrix" / "servicesim" / "default.json";
    for (const fs::path& candidate : {
             dir / "scenarios" / "default.json",
             installed,
#ifdef SERVICESIM_SOURCE_SCENARIO
             fs::path(SERVICESIM_SOURCE_SCENARIO),
#endif
         }) {
        if (fs::exists(candidate, ec)) {
            return candidate.string();
        }
    }
#ifdef SERVICESIM_SOURCE_SCENARIO
    return SERVICESIM_SOURCE_SCENARIO;
#else
    return installed.lexically_normal().string();
#endif
}

bool ParsePort(const std::string& text, std::uint16_t& port) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long value = std::stoul(text);
    if (value > 65535) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

std::string Describe(const TranscriptEntry& e) {
    std::ostringstream out;
    out << "[" << e.timeMs << " ms] #" << e.connection << ' ';
    if (e.login) {
        out << "login " << e.size << " bytes";
    } else {
        switch (e.kind) {
            case veltrix::sim::Outcome::Kind::Data:
                out << "data ";
                break;
            case veltrix::sim::Outcome::Kind::Malformed:
                out << "malformed ";
                break;
            default:
                break;
        }
        out << "code " << e.code << " length " << e.length;
    }
    const std::size_t shown = std::min<std::size_t>(e.data.size(), 32);
    if (shown > 0 && !e.login) {
        out << " :";
        char hex[4];
        for (std::size_t i = 0; i < shown; ++i) {
            std::snprintf(hex, sizeof(hex), " %02x", e.data[i]);
            out << hex;
        }
        if (shown < e.data.size()) {
            out << " ...";
        }
    }
    return out.str();
}

// What the command line asks for.
struct Arguments {
    ServiceSimOptions options;
    std::string scenarioPath;
    bool printTranscript = false;
};

// Parses the command line into `args`; a process exit code when the program is to end
// here (help shown, or a bad option).
std::optional<int> ParseArguments(int argc, char** argv, Arguments& args) {
    ServiceSimOptions& options = args.options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "servicesim: " << name << " needs a value\n" << kUsage;
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--scenario") {
            args.scenarioPath = value("--scenario");
        } else if (arg == "--pipe-dir") {
            options.pipeDir = value("--pipe-dir");
        } else if (arg == "--pipe-name") {
            options.pipeName = value("--pipe-name");
        } else if (arg == "--tcp") {
            options.listenTcp = true;
            options.tcpPort = veltrix::transport::TcpPort();
            if (i + 1 < argc && argv[i + 1][0] != '-') {
                if (!ParsePort(argv[i + 1], options.tcpPort)) {
                    std::cerr << "servicesim: bad TCP port \"" << argv[i + 1] << "\"\n";
                    return 2;
                }
                ++i;
            }
        } else if (arg == "--tcp-address") {
            options.tcpAddress = value("--tcp-address");
        } else if (arg == "--no-local") {
            options.listenLocal = false;
        } else if (arg == "--outage") {
            const std::string text = value("--outage");
            unsigned after = 0;
            unsigned duration = 0;
            char comma = 0;
            std::istringstream in(text);
            if (!(in >> after >> comma >> duration) || comma != ',' || !in.eof() || duration == 0) {
                std::cerr << "servicesim: bad outage \"" << text << "\" (AFTER,FOR in seconds)\n";
                return 2;
            }
            options.outageAfter = std::chrono::seconds(after);
            options.outageFor = std::chrono::seconds(duration);
        } else if (arg == "--transcript") {
            args.printTranscript = true;
        } else {
            std::cerr << "servicesim: unknown option \"" << arg << "\"\n" << kUsage;
            return 2;
        }
    }
    return std::nullopt;
}

// The options that make no sense together or alone; an exit code for them.
std::optional<int> CheckOptions(const ServiceSimOptions& options) {
    if (!options.listenLocal && !options.listenTcp) {
        std::cerr << "servicesim: --no-local needs --tcp\n";
        return 2;
    }
    if (options.pipeName.empty() || options.pipeName.find('/') != std::string::npos) {
        std::cerr << "servicesim: bad pipe name \"" << options.pipeName << "\"\n";
        return 2;
    }
    return std::nullopt;
}

// Where the service listens, for the line that says it does.
std::string ListeningOn(const ServiceSim& sim, const ServiceSimOptions& options) {
    std::string where;
    if (options.listenLocal) {
        where = sim.SocketPath();
    }
    if (options.listenTcp) {
        where += (where.empty() ? "" : " and ") + std::string("tcp ") + options.tcpAddress + ":" +
                 std::to_string(sim.TcpPort());
    }
    return where;
}

// Signals arrive through a signalfd; they are blocked before the service thread
// starts so that it inherits the mask. -1 on failure.
int BlockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

// Plays `scenario` until SIGINT or SIGTERM; the process exit code.
int Serve(veltrix::sim::Scenario scenario, const Arguments& args) {
    const int signalFd = BlockStopSignals();
    if (signalFd < 0) {
        std::cerr << "servicesim: signalfd: " << std::strerror(errno) << '\n';
        return 1;
    }
    ServiceSim sim(std::move(scenario));
    if (args.printTranscript) {
        sim.SetMessageObserver(
            [](const TranscriptEntry& e) { std::cout << Describe(e) << std::endl; });
    }
    try {
        sim.Start(args.options);
    } catch (const std::exception& e) {
        std::cerr << "servicesim: " << e.what() << '\n';
        return 1;
    }
    std::cout << "servicesim: listening on " << ListeningOn(sim, args.options) << std::endl;

    signalfd_siginfo info{};
    while (::read(signalFd, &info, sizeof(info)) < 0 && errno == EINTR) {
    }
    sim.Stop();
    ::close(signalFd);
    std::cout << "servicesim: stopped" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    args.options.transcriptLimit = 10000;  // a long run must not grow without bound
    if (const auto exitCode = ParseArguments(argc, argv, args)) {
        return *exitCode;
    }
    if (const auto exitCode = CheckOptions(args.options)) {
        return *exitCode;
    }
    if (args.scenarioPath.empty()) {
        args.scenarioPath = DefaultScenarioPath(argv[0]);
    }
    veltrix::sim::Scenario scenario;
    try {
        scenario = veltrix::sim::LoadScenario(args.scenarioPath);
    } catch (const veltrix::sim::ScenarioError& e) {
        std::cerr << "servicesim: " << e.what() << '\n';
        return 1;
    }
    return Serve(std::move(scenario), args);
}
