#include "status/options.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "protocol/transport.h"

namespace veltrix::status {

namespace {

std::optional<Format> FormatByName(const std::string& name) {
    if (name == "text") {
        return Format::Text;
    }
    if (name == "json") {
        return Format::Json;
    }
    if (name == "nagios") {
        return Format::Nagios;
    }
    if (name == "prometheus") {
        return Format::Prometheus;
    }
    return std::nullopt;
}

// Seconds, fractions allowed, above 0 and at most kMaxTimeout.
std::optional<std::chrono::milliseconds> ParseSeconds(const std::string& text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, seconds);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(seconds)) {
        return std::nullopt;
    }
    const double ms = std::round(seconds * 1000.0);
    if (ms < 1.0 || ms > static_cast<double>(kMaxTimeout.count())) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<std::int64_t>(ms));
}

// The hosts of a --hosts-file; nothing, with `error` set, when it cannot be read.
std::optional<std::vector<std::string>> ReadHostsFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    if (!in || !(content << in.rdbuf())) {
        error = "cannot read hosts file " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return HostsFromFileContent(content.str());
}

// "HOST=FILE" of --password-file names a file for that host alone when HOST is one of
// the hosts; anything else is the file for every host without one of its own.
void AssignPasswordFiles(const std::vector<std::string>& given, Options& options) {
    for (const std::string& value : given) {
        const auto equals = value.find('=');
        const auto target = equals == std::string::npos
                                ? options.hosts.end()
                                : std::find_if(options.hosts.begin(), options.hosts.end(),
                                               [&](const HostTarget& t) {
                                                   return t.host == value.substr(0, equals);
                                               });
        if (target != options.hosts.end() && equals + 1 < value.size()) {
            target->passwordFile = value.substr(equals + 1);
        } else {
            options.passwordFile = value;
        }
    }
}

// The hosts in the order given, each once; "." alone when none was given.
std::string SetHosts(const std::vector<std::string>& hosts, Options& options) {
    if (hosts.empty()) {
        return {};
    }
    options.hosts.clear();
    for (const std::string& host : hosts) {
        if (std::string error = HostError(host); !error.empty()) {
            return error;
        }
        if (std::count(hosts.begin(), hosts.end(), host) > 1) {
            return "host \"" + host + "\" is given twice";
        }
        options.hosts.push_back({host, {}});
    }
    return {};
}

}  // namespace

std::vector<std::string> HostsFromFileContent(const std::string& content) {
    std::vector<std::string> hosts;
    std::istringstream lines(content);
    for (std::string line; std::getline(lines, line);) {
        line.resize(std::min(line.find('#'), line.size()));
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos) {
            hosts.push_back(line.substr(first, line.find_last_not_of(" \t\r") + 1 - first));
        }
    }
    return hosts;
}

std::string HostError(const std::string& host) {
    if (host.empty()) {
        return "--host needs a host name, \".\" for this machine";
    }
    if (host == "." || transport::SplitHostPort(host)) {
        return {};
    }
    return "host \"" + host +
           "\" is not a host name or address with an optional port from 1 to 65535 "
           "(name:port, [IPv6 address]:port)";
}

namespace {

bool TakesValue(const std::string& name) {
    static const std::set<std::string> kValued = {"--host",          "--hosts-file", "--format",
                                                  "--password-file", "--timeout",    "--output",
                                                  "--state-file"};
    return kValued.contains(name);
}

// What the command line gave so far, before the hosts are checked.
struct Given {
    Options options;
    std::vector<std::string> hosts;
    std::vector<std::string> passwordFiles;
};

// One option with its value; the error, or nothing.
std::string TakeOption(const std::string& name, const std::string& value, Given& given) {
    if (name == "--host") {
        given.hosts.push_back(value);
    } else if (name == "--format") {
        const auto format = FormatByName(value);
        if (!format) {
            return "unknown format \"" + value + "\" (text, json, nagios or prometheus)";
        }
        given.options.format = *format;
    } else if (name == "--timeout") {
        const auto timeout = ParseSeconds(value);
        if (!timeout) {
            return "--timeout takes seconds above 0 and at most " +
                   std::to_string(kMaxTimeout.count() / 1000) + ", not \"" + value + "\"";
        }
        given.options.timeout = *timeout;
    } else if (value.empty()) {
        return name + " needs a file name";
    } else if (name == "--hosts-file") {
        std::string error;
        const auto listed = ReadHostsFile(value, error);
        if (!listed) {
            return error;
        }
        given.hosts.insert(given.hosts.end(), listed->begin(), listed->end());
    } else if (name == "--password-file") {
        given.passwordFiles.push_back(value);
    } else if (name == "--output") {
        given.options.output = value;
    } else {
        given.options.stateFile = value;
    }
    return {};
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    Given given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if ((name == "--help" || name == "-h") && !value) {
            given.options.help = true;
        } else if (name == "--version" && !value) {
            given.options.version = true;
        } else if (name == "--timings" && !value) {
            given.options.timings = true;
        } else if (name == "--password" || name == "-p") {
            parsed.error =
                "the password is never taken from the command line, where other users "
                "can read it: use --password-file FILE or VELTRIX_PASSWORD";
            return parsed;
        } else if (TakesValue(name)) {
            if (!value && i + 1 >= arguments.size()) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            parsed.error = TakeOption(name, value ? *value : arguments[++i], given);
            if (!parsed.error.empty()) {
                return parsed;
            }
        } else {
            parsed.error = "unknown argument \"" + arguments[i] + "\"";
            return parsed;
        }
    }
    parsed.error = SetHosts(given.hosts, given.options);
    if (!parsed.error.empty()) {
        return parsed;
    }
    AssignPasswordFiles(given.passwordFiles, given.options);
    parsed.options = given.options;
    return parsed;
}

std::string UsageText() {
    return R"(Usage: veltrix-status [options]

Reads the status of the RAID controllers from their monitoring service once: logs
in, reads controllers, drives, RAID sets and rebuilds, logs off and prints them.

Options:
  --host HOST           the service's host: "." (default) for this machine, or a
                        host name or address with an optional port (name:port,
                        [IPv6 address]:port); give it again for more hosts
  --hosts-file FILE     ask the hosts in FILE too: one a line, # starts a comment
  --format FORMAT       text (default), json, nagios (monitoring-plugin status
                        line and exit code) or prometheus (text exposition)
  --password-file FILE  read the service password from the first line of FILE;
                        HOST=FILE for that host alone
  --timeout SECONDS     bound on each host's run (default 10)
  --output FILE         replace FILE atomically with the output instead of
                        printing it (for node exporter's textfile collector)
  --state-file FILE     keep each running rebuild's position here, so that the
                        next run can tell its speed and the time left
  --timings             print where the run's time went on standard error
  --help                show this text
  --version             show the program's version
Options take their value as --name VALUE or --name=VALUE.

The password comes from --password-file, else from the environment variable
VELTRIX_PASSWORD, else from the desktop's keyring where the desktop program keeps
it there (asked only where a session bus exists, without a prompt, for at most
2 s; a locked keyring is not unlocked), else from the desktop program's settings
file ($XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf); never from the command
line. To use the keyring's password where it cannot be reached (a timer, SSH):
  secret-tool lookup server Veltrix user service-password > FILE
in the desktop session, then --password-file FILE.
VELTRIX_PIPE_DIR and VELTRIX_PIPE_PORT choose the local pipe's folder and the TCP
port as for the desktop program.

Several hosts are asked at the same time, each within its own time-out, and
printed in the order given: text a section per host, json {"hosts": [...]} with
each host's document, prometheus every host's series, nagios the worst state
with a line per host. The exit code is the worst host's (nagios: CRITICAL before
UNKNOWN before WARNING before OK).

Exit codes: 0 status read (nagios: OK), 1 nagios: WARNING, or the status was read
but --output could not be written, 2 nagios: CRITICAL, 3 no status (bad arguments,
no password, service not reachable, busy with another client, login refused,
time-out, transmission error or invalid reply; nagios: UNKNOWN).

Files: /usr/share/veltrix/status/ holds the JSON Schema of --format json and the
Prometheus alert rules; veltrix-status.timer, once enabled, runs it every minute
for node exporter (/usr/share/doc/veltrix-status/README: the steps).
)";
}

std::string VersionText() {
    return "veltrix-status " VELTRIX_STATUS_VERSION "\n";
}

}  // namespace veltrix::status
