#pragma once
// The command line of veltrix-status.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace veltrix::status {

enum class Format { Text, Json, Nagios, Prometheus };

struct Options {
    std::string host = ".";
    Format format = Format::Text;
    std::string passwordFile;
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
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The --help text.
std::string UsageText();

// The --version text: "veltrix-status 0.1.0.0".
std::string VersionText();

}  // namespace veltrix::status
