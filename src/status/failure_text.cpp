#include "status/failure_text.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cstdio>

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

// Whether the host names its own port ("name:port", "[address]:port"), so that
// VELTRIX_PIPE_PORT does not apply to it.
bool HasOwnPort(const std::string& host) {
    if (host.starts_with('[')) {
        return host.find("]:") != std::string::npos;
    }
    const auto colon = host.find(':');
    return colon != std::string::npos && host.find(':', colon + 1) == std::string::npos;
}

// The TCP port the run tried for `host`.
std::uint16_t PortOf(const std::string& host) {
    const auto target = transport::SplitHostPort(host);
    return target ? target->port : transport::TcpPort();
}

// "root:kavotronik, mode 0660" of a file, or "" when it cannot be looked at.
std::string OwnerAndMode(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    const passwd* user = ::getpwuid(info.st_uid);
    const group* group = ::getgrgid(info.st_gid);
    char mode[8];
    std::snprintf(mode, sizeof(mode), "%04o", info.st_mode & 07777);
    return (user != nullptr ? std::string(user->pw_name) : std::to_string(info.st_uid)) + ":" +
           (group != nullptr ? std::string(group->gr_name) : std::to_string(info.st_gid)) +
           ", mode " + mode;
}

// The local pipe refused this user: who may open it, and what to do.
std::string PermissionHint() {
    const std::string pipe = transport::LocalSocketPath(kServicePipeName);
    std::string owner = OwnerAndMode(pipe);
    std::string what = "the pipe " + pipe;
    if (owner.empty()) {
        what = "its folder " + transport::PipeDirectory();
        owner = OwnerAndMode(transport::PipeDirectory());
    }
    return "this user may not open " + what + (owner.empty() ? "" : " (" + owner + ")") +
           "; only its owner and, where the mode allows, its group may: run veltrix-status as "
           "one of them (sudo -u OWNER, or add this user to the group and log in again)";
}

// The hint for an unreachable service names how it is reached.
std::string UnreachableHint(const std::string& host, const std::string& detail) {
    if (host == ".") {
        if (detail.find("Permission denied") != std::string::npos) {
            return PermissionHint();
        }
        return "is the service running on this machine? VELTRIX_PIPE_DIR chooses the folder "
               "of its pipe";
    }
    const std::string name =
        transport::SplitHostPort(host) ? transport::SplitHostPort(host)->host : host;
    std::string hint = "is the service running on " + name + " and listening on TCP port " +
                       std::to_string(PortOf(host));
    return HasOwnPort(host) ? hint + "?" : hint + " (VELTRIX_PIPE_PORT chooses the port)?";
}

}  // namespace

std::string ServiceLocation(const std::string& host) {
    if (host == ".") {
        return transport::LocalSocketPath(kServicePipeName);
    }
    const auto target = transport::SplitHostPort(host);
    return Printable(target ? target->host : host) + " port " + std::to_string(PortOf(host));
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
        hint = UnreachableHint(Printable(report.host), detail);
    }
    if (!detail.empty()) {
        sentence += " (" + detail + ")";
    }
    return hint.empty() ? sentence : sentence + "; " + hint;
}

}  // namespace veltrix::status
