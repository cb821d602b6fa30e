// servicesim: the simulated monitoring service as a program. Listens on the local
// pipe socket (and optionally TCP) until SIGINT or SIGTERM.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
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

#ifndef SERVICESIM_VERSION
#define SERVICESIM_VERSION "0"
#endif

constexpr char kProgram[] = SERVICESIM_PROGRAM_NAME;

constexpr char kUsage[] =
    "Usage: " SERVICESIM_PROGRAM_NAME
    " [options]\n"
    "Plays the monitoring service on its pipe until SIGINT or SIGTERM.\n"
    "\n"
    "  --scenario FILE     scenario to play (default: the shipped default.json)\n"
    "  --pipe-dir DIR      directory of the local pipe socket, created when missing\n"
    "                      and removed again at the end\n"
    "                      (default: $VELTRIX_PIPE_DIR or /run/kavotronik)\n"
    "  --pipe-name NAME    pipe name (default: KAVOPIPE)\n"
    "  --tcp[=PORT]        also listen on TCP (default port: $VELTRIX_PIPE_PORT or 47631;\n"
    "                      0 picks a free port)\n"
    "  --tcp-address ADDR  TCP address to listen on (default: 127.0.0.1)\n"
    "  --no-local          do not listen on the local socket (needs --tcp)\n"
    "  --outage AFTER,FOR  go away AFTER seconds after the start (pipe removed, connection\n"
    "                      closed) and come back FOR seconds later\n"
    "  --transcript        print every received message to stdout\n"
    "  --help              show this text\n"
    "  --version           show the program's version\n"
    "Options take their value as --name VALUE or --name=VALUE.\n"
    "\n"
    "The shipped scenario's password is \"kavo\"; until it is changed the service also\n"
    "takes \"qernu\", the password Veltrix starts with when it has no settings, so a\n"
    "first Veltrix start logs in. The line saying where the service listens names it.\n";

// Says what went wrong in one line, with the program's name in front.
void Complain(const std::string& text) {
    std::cerr << kProgram << ": " << text << '\n';
}

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

// How an option takes its value.
enum class Takes { Nothing, Value, OptionalPort };

struct OptionSpec {
    const char* name;
    Takes takes;
    // False when the value is not one the option takes.
    bool (*apply)(Arguments& args, const std::string& value);
};

bool ApplyTcp(Arguments& args, const std::string&) {
    args.options.listenTcp = true;
    args.options.tcpPort = veltrix::transport::TcpPort();
    return true;
}

// "AFTER,FOR" in whole seconds, FOR at least 1.
bool ApplyOutage(Arguments& args, const std::string& text) {
    unsigned after = 0;
    unsigned duration = 0;
    char comma = 0;
    std::istringstream in(text);
    if (!(in >> after >> comma >> duration) || comma != ',' || !in.eof() || duration == 0) {
        Complain("bad outage \"" + text + "\"; give AFTER,FOR in seconds (FOR at least 1)");
        return false;
    }
    args.options.outageAfter = std::chrono::seconds(after);
    args.options.outageFor = std::chrono::seconds(duration);
    return true;
}

constexpr OptionSpec kOptionSpecs[] = {
    {"--scenario", Takes::Value,
     [](Arguments& a, const std::string& v) {
         a.scenarioPath = v;
         return true;
     }},
    {"--pipe-dir", Takes::Value,
     [](Arguments& a, const std::string& v) {
         a.options.pipeDir = v;
         return true;
     }},
    {"--pipe-name", Takes::Value,
     [](Arguments& a, const std::string& v) {
         a.options.pipeName = v;
         return true;
     }},
    {"--tcp", Takes::OptionalPort, ApplyTcp},
    {"--tcp-address", Takes::Value,
     [](Arguments& a, const std::string& v) {
         a.options.tcpAddress = v;
         return true;
     }},
    {"--no-local", Takes::Nothing,
     [](Arguments& a, const std::string&) {
         a.options.listenLocal = false;
         return true;
     }},
    {"--outage", Takes::Value, ApplyOutage},
    {"--transcript", Takes::Nothing,
     [](Arguments& a, const std::string&) {
         a.printTranscript = true;
         return true;
     }},
};

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& spec : kOptionSpecs) {
        if (name == spec.name) {
            return &spec;
        }
    }
    return nullptr;
}

// Takes one option (and its value) at argv[i]; an exit code when the program ends here.
std::optional<int> TakeOption(int argc, char** argv, int& i, Arguments& args) {
    std::string name = argv[i];
    std::optional<std::string> value;
    if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
    }
    const OptionSpec* spec = FindOption(name);
    if (spec == nullptr || (spec->takes == Takes::Nothing && value)) {
        Complain("unknown option \"" + std::string(argv[i]) + "\"; see " + kProgram + " --help");
        return 2;
    }
    if (spec->takes == Takes::Value && !value) {
        if (i + 1 >= argc) {
            Complain(name + " needs a value; see " + kProgram + " --help");
            return 2;
        }
        value = argv[++i];
    }
    if (!spec->apply(args, value.value_or(""))) {
        return 2;
    }
    if (spec->takes == Takes::OptionalPort) {
        if (!value && i + 1 < argc && argv[i + 1][0] != '-') {
            value = argv[++i];
        }
        if (value && !ParsePort(*value, args.options.tcpPort)) {
            Complain("bad TCP port \"" + *value + "\"; give 0 to 65535 (0 picks a free port)");
            return 2;
        }
    }
    return std::nullopt;
}

// Parses the command line into `args`; a process exit code when the program is to end
// here (help or version shown, or a bad option).
std::optional<int> ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--version") {
            std::cout << kProgram << ' ' << SERVICESIM_VERSION << '\n';
            return 0;
        }
        if (const auto exitCode = TakeOption(argc, argv, i, args)) {
            return exitCode;
        }
    }
    return std::nullopt;
}

// The options that make no sense together or alone; an exit code for them.
std::optional<int> CheckOptions(const ServiceSimOptions& options) {
    if (!options.listenLocal && !options.listenTcp) {
        Complain("--no-local needs --tcp: without either the service cannot be reached");
        return 2;
    }
    if (options.pipeName.empty() || options.pipeName.find('/') != std::string::npos) {
        Complain("bad pipe name \"" + options.pipeName + "\"; give a file name without '/'");
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

// What to do when the service cannot start, by what went wrong.
std::string StartHint(const std::string& error) {
    static const struct {
        const char* when;
        const char* hint;
    } kHints[] = {
        {"another service is listening", "stop that service first, or give another --pipe-dir"},
        {"TCP", "give another port with --tcp=PORT (0 picks a free one)"},
        {"", "give a folder you may write with --pipe-dir DIR (or VELTRIX_PIPE_DIR)"},
    };
    for (const auto& h : kHints) {
        if (error.find(h.when) != std::string::npos) {
            return h.hint;
        }
    }
    return {};
}

// The password a client logs in with, for the line that says where the service listens.
std::string PasswordNote(const std::string& password, const std::string& factoryPassword) {
    std::string note = "password \"" + password + "\"";
    if (!factoryPassword.empty() && factoryPassword != password) {
        note += " (or \"" + factoryPassword + "\", Veltrix's first-run password)";
    }
    return note;
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
        Complain(std::string("signalfd: ") + std::strerror(errno));
        return 1;
    }
    const std::string password = scenario.password;
    const std::string factoryPassword = scenario.factoryPassword;
    ServiceSim sim(std::move(scenario));
    if (args.printTranscript) {
        sim.SetMessageObserver(
            [](const TranscriptEntry& e) { std::cout << Describe(e) << std::endl; });
    }
    try {
        sim.Start(args.options);
    } catch (const std::exception& e) {
        Complain(e.what() + std::string("; ") + StartHint(e.what()));
        return 1;
    }
    std::cout << kProgram << ": listening on " << ListeningOn(sim, args.options) << ", "
              << PasswordNote(password, factoryPassword) << std::endl;

    signalfd_siginfo info{};
    while (::read(signalFd, &info, sizeof(info)) < 0 && errno == EINTR) {
    }
    sim.Stop();
    ::close(signalFd);
    std::cout << kProgram << ": stopped" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    args.options.transcriptLimit = 10000;  // a long run must not grow without bound
    args.options.removeMadeFolders = true;
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
        Complain(e.what() + std::string("; give a usable scenario with --scenario FILE"));
        return 1;
    }
    return Serve(std::move(scenario), args);
}
