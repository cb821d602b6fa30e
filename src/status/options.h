#pragma once
// The command line of veltrix-status.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace veltrix::status {

enum class Format { Text, Json, Nagios, Prometheus };

// One host to ask, with the password file given for it alone ("" for the common one).
struct HostTarget {
    std::string host;
    std::string passwordFile;

    bool operator==(const HostTarget&) const = default;
};

struct Options {
    // In the order given by --host and --hosts-file; "." alone when neither was given.
    std::vector<HostTarget> hosts{{".", ""}};
    Format format = Format::Text;
    std::string passwordFile;  // for the hosts without one of their own
    std::chrono::milliseconds timeout{10000};
    std::string output;     // empty: standard output
    std::string stateFile;  // empty: no rebuild samples kept
    bool timings = false;
    bool help = false;
    bool version = false;
};

// The longest --timeout accepted.
inline constexpr std::chrono::milliseconds kMaxTimeout{3600 * 1000};

struct ParsedOptions {
    std::optional<Options> options;
    std::string error;  // when there are none
};

// Accepts "--name value" and "--name=value"; the arguments without the program name.
// Reads the --hosts-file files.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The hosts of a --hosts-file's content: one a line, blanks around it and "#" to the
// line's end ignored.
std::vector<std::string> HostsFromFileContent(const std::string& content);

// Why `host` cannot be asked ("" when it can): "." or a name or address with an
// optional port from 1 to 65535.
std::string HostError(const std::string& host);

// The --help text.
std::string UsageText();

// The --version text: "veltrix-status 0.1.0.0".
std::string VersionText();

}  // namespace veltrix::status
