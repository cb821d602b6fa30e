#include "status/failure_text.h"

#include "protocol/protocol.h"
#include "protocol/transport.h"

namespace veltrix::status {

namespace {

// What each failure says, with "%w" for where the service was looked for, and the hint
// after it; the session's own detail goes in brackets after the first part.
struct FailureWords {
    Failure failure;
    const char* what;
    const char* hint;
};

constexpr FailureWords kFailureWords[] = {
    {Failure::Unreachable, "service not reachable at %w", ""},
    {Failure::Busy, "service busy with another client at %w",
     "the desktop program may hold it; try again once it has logged off"},
    {Failure::ConnectFailed, "connection to the service at %w not possible",
     "check that this user may open it"},
    {Failure::LoginRefused, "login refused (wrong password) by the service at %w",
     "give its password with --password-file FILE or VELTRIX_PASSWORD"},
    {Failure::Timeout, "time-out with the service at %w",
     "is it answering? --timeout SECONDS allows a longer run"},
    {Failure::ChannelError, "transmission error with the service at %w", ""},
    {Failure::Protocol, "invalid reply from the service at %w", ""},
};

std::string ReplaceWhere(std::string text, const std::string& where) {
    if (const auto at = text.find("%w"); at != std::string::npos) {
        text.replace(at, 2, where);
    }
    return text;
}

// The hint for an unreachable service names how it is reached.
std::string UnreachableHint(const std::string& host) {
    if (host == ".") {
        return "is the service running on this machine? VELTRIX_PIPE_DIR chooses the folder "
               "of its pipe";
    }
    return "is the service running on " + host + " and listening on TCP port " +
           std::to_string(transport::TcpPort()) + " (VELTRIX_PIPE_PORT chooses the port)?";
}

}  // namespace

std::string ServiceLocation(const std::string& host) {
    if (host == ".") {
        return transport::LocalSocketPath(kServicePipeName);
    }
    return Printable(host) + " port " + std::to_string(transport::TcpPort());
}

std::string FailureSentence(const StatusReport& report) {
    const std::string detail = Printable(report.failureMessage);
    if (report.Ok()) {
        return {};
    }
    if (report.failure == Failure::Password) {
        // The password lookup's own words say what is missing and where to put it.
        return detail.starts_with("no password") ? detail : "no password: " + detail;
    }
    std::string sentence = FailureSummary(report.failure);
    std::string hint;
    for (const FailureWords& words : kFailureWords) {
        if (words.failure == report.failure) {
            sentence = ReplaceWhere(words.what, ServiceLocation(report.host));
            hint = words.hint;
        }
    }
    if (report.failure == Failure::Unreachable) {
        hint = UnreachableHint(Printable(report.host));
    }
    if (!detail.empty()) {
        sentence += " (" + detail + ")";
    }
    return hint.empty() ? sentence : sentence + "; " + hint;
}

}  // namespace veltrix::status
