// veltrix-status: the status of the RAID controllers for scripts and monitoring
// systems, read once from the monitoring service (see UsageText() and docs/administration.md).

#include <sys/stat.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
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
void KeepRebuildSamples(const std::string& stateFile, StatusReport& report) {
    std::string warning;
    RebuildHistory history = RebuildHistory::Load(stateFile, warning);
    if (!warning.empty()) {
        Complain(warning);
    }
    if (!report.Ok()) {
        return;  // the samples stay for a later run that gets a status
    }
    const std::int64_t now = WallClockMs();
    history.ApplyTo(report, now);
    history.Record(report, now);
    std::string error;
    if (!WriteFileAtomically(stateFile, history.Serialize(), kStateMode, error)) {
        Complain("rebuild samples not kept: " + error);
    }
}

std::string Render(Format format, const StatusReport& report, const Health& health) {
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
    return {};
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
    StatusReport report;
    report.host = options.host;
    RunTimings timings;
    const PasswordLookup password = FindPassword(options.passwordFile);
    for (const std::string& warning : password.warnings) {
        Complain(warning);
    }
    if (!password.password) {
        report.failure = Failure::Password;
        report.failureMessage = password.error;
    } else {
        report = ReadStatus({options.host, *password.password, options.timeout}, &timings);
    }
    if (!options.stateFile.empty()) {
        KeepRebuildSamples(options.stateFile, report);
    }
    if (options.timings) {
        std::fprintf(stderr,
                     "veltrix-status: timings in ms: connected=%.3f enumerated=%.3f "
                     "rebuilds=%.3f finished=%.3f\n",
                     timings.connected, timings.enumerated, timings.rebuilds, timings.finished);
    }
    if (!report.Ok()) {
        Complain(FailureSentence(report));
    }

    const Health health = Evaluate(report);
    const bool delivered = Deliver(options, Render(options.format, report, health));
    if (options.format == Format::Nagios) {
        return delivered ? static_cast<int>(health.level) : kNoStatus;
    }
    if (!report.Ok()) {
        return kNoStatus;
    }
    return delivered ? 0 : kOutputNotWritten;
}
