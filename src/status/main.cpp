// veltrix-status: the status of the RAID controllers for scripts and monitoring
// systems, read once from the monitoring service (see UsageText() and docs/administration.md).

#include <sys/stat.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "session/text_catalogue.h"
#include "status/atomic_file.h"
#include "status/failure_text.h"
#include "status/health.h"
#include "status/options.h"
#include "status/outputs.h"
#include "status/password_source.h"
#include "status/rebuild_history.h"
#include "status/status_reader.h"

namespace {

using namespace veltrix::status;

constexpr int kNoStatus = 3;
constexpr int kOutputNotWritten = 1;
constexpr mode_t kOutputMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;  // 0644: metrics
constexpr mode_t kStateMode = S_IRUSR | S_IWUSR;                       // 0600

void Complain(const std::string& text) {
    std::fprintf(stderr, "veltrix-status: %s\n", text.c_str());
}

std::int64_t WallClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Speed and time left from the previous run's samples; this run's samples for the next.
// The hosts without a status keep theirs for a later run that gets one.
void KeepRebuildSamples(const std::string& stateFile, std::vector<HostStatus>& hosts) {
    std::string warning;
    RebuildHistory history = RebuildHistory::Load(stateFile, warning);
    if (!warning.empty()) {
        Complain(warning);
    }
    const std::int64_t now = WallClockMs();
    bool any = false;
    for (HostStatus& host : hosts) {
        if (host.report.Ok()) {
            history.ApplyTo(host.report, now);
            history.Record(host.report, now);
            any = true;
        }
    }
    std::string error;
    if (any && !WriteFileAtomically(stateFile, history.Serialize(), kStateMode, error)) {
        Complain("rebuild samples not kept: " + error);
    }
}

std::string Render(Format format, const std::vector<HostStatus>& hosts) {
    if (hosts.size() == 1) {
        const auto& [report, health] = hosts.front();
        switch (format) {
            case Format::Text:
                return TextOutput(report, health);
            case Format::Json:
                return JsonOutput(report, health);
            case Format::Nagios:
                return NagiosOutput(report, health);
            case Format::Prometheus:
                return PrometheusOutput(report);
        }
    }
    switch (format) {
        case Format::Text:
            return TextOutput(hosts);
        case Format::Json:
            return JsonOutput(hosts);
        case Format::Nagios:
            return NagiosOutput(hosts);
        case Format::Prometheus:
            return PrometheusOutput(hosts);
    }
    return {};
}

// Every host's password; one lookup per password file, so that hosts sharing one
// look once and its warnings are said once.
std::vector<PasswordLookup> FindPasswords(const Options& options) {
    std::map<std::string, PasswordLookup> byFile;
    std::vector<PasswordLookup> lookups;
    for (const HostTarget& target : options.hosts) {
        const std::string& file =
            target.passwordFile.empty() ? options.passwordFile : target.passwordFile;
        auto found = byFile.find(file);
        if (found == byFile.end()) {
            found = byFile.emplace(file, FindPassword(file)).first;
            for (const std::string& warning : found->second.warnings) {
                Complain(warning);
            }
        }
        lookups.push_back(found->second);
    }
    return lookups;
}

// Every host asked at once, each within its own time-out.
std::vector<HostStatus> AskHosts(const Options& options, std::vector<RunTimings>& timings) {
    const std::vector<PasswordLookup> passwords = FindPasswords(options);
    std::vector<HostStatus> hosts(options.hosts.size());
    std::vector<ReadRequest> requests;
    std::vector<std::size_t> asked;
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        StatusReport& report = hosts[i].report;
        report.host = options.hosts[i].host;
        if (!passwords[i].password) {
            report.failure = Failure::Password;
            report.failureMessage = passwords[i].error;
        } else {
            requests.push_back({report.host, *passwords[i].password, options.timeout});
            asked.push_back(i);
        }
    }
    std::vector<RunTimings> askedTimings;
    std::vector<StatusReport> reports = ReadStatuses(requests, &askedTimings);
    timings.assign(hosts.size(), {});
    for (std::size_t j = 0; j < asked.size(); ++j) {
        hosts[asked[j]].report = std::move(reports[j]);
        timings[asked[j]] = askedTimings[j];
    }
    return hosts;
}

bool Deliver(const Options& options, const std::string& text) {
    if (options.output.empty()) {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
               std::fflush(stdout) == 0;
    }
    std::string error;
    if (!WriteFileAtomically(options.output, text, kOutputMode, error)) {
        Complain("output not written: " + error);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParsedOptions parsed = ParseOptions(arguments);
    if (!parsed.options) {
        Complain(parsed.error + "; see veltrix-status --help");
        return kNoStatus;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }

    QCoreApplication app(argc, argv);
    // The texts of the report are English: the catalogue's, in the language never set.
    veltrix::TextCatalogue::Install(&app);
    std::vector<RunTimings> timings;
    std::vector<HostStatus> hosts = AskHosts(options, timings);
    if (!options.stateFile.empty()) {
        KeepRebuildSamples(options.stateFile, hosts);
    }
    const bool several = hosts.size() > 1;
    bool allRead = true;
    Level worst = Level::Ok;
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        const std::string prefix = several ? hosts[i].report.host + ": " : "";
        if (options.timings) {
            std::fprintf(stderr,
                         "veltrix-status: %stimings in ms: connected=%.3f enumerated=%.3f "
                         "rebuilds=%.3f finished=%.3f\n",
                         prefix.c_str(), timings[i].connected, timings[i].enumerated,
                         timings[i].rebuilds, timings[i].finished);
        }
        if (!hosts[i].report.Ok()) {
            Complain(FailureSentence(hosts[i].report));
            allRead = false;
        }
        hosts[i].health = Evaluate(hosts[i].report);
        worst = Worse(worst, hosts[i].health.level);
    }

    const bool delivered = Deliver(options, Render(options.format, hosts));
    if (options.format == Format::Nagios) {
        return delivered ? static_cast<int>(worst) : kNoStatus;
    }
    if (!allRead) {
        return kNoStatus;
    }
    return delivered ? 0 : kOutputNotWritten;
}
