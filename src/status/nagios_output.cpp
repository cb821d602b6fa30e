// The monitoring-plugin output: one status line with performance data, then one line
// per finding. The exit code is the verdict's level.

#include <algorithm>

#include "status/failure_text.h"
#include "status/outputs.h"
#include "texts/format.h"

namespace veltrix::status {

namespace {

// Findings named on the status line itself; the rest follow on their own lines.
constexpr std::size_t kFindingsOnStatusLine = 3;

// '|' starts the performance data: it must not occur in the text before it.
std::string PluginText(const std::string& text) {
    std::string out = Printable(text);
    std::replace(out.begin(), out.end(), '|', '/');
    return out;
}

std::string PerformanceData(const StatusReport& report, const Health& health) {
    std::string data = Format(
        "controllers=%d;;;0 drives=%d;;;0 sets=%d;;;0 drives_not_current=%d;;;0 "
        "sets_not_ready=%d;;;0 rebuilds=%d;;;0",
        report.controllerCount, health.drives, health.sets, health.drivesNotCurrent,
        health.setsNotReady, health.rebuilds);
    for (int c = 0; c < report.controllerCount; ++c) {
        const ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
        if (rebuild.set && rebuild.set->percent) {
            data += Format(" rebuild_c%d=%u%%;;;0;100", c, *rebuild.set->percent);
        }
    }
    return data;
}

}  // namespace

std::string NagiosOutput(const StatusReport& report, const Health& health) {
    std::string line = std::string("VELTRIX ") + LevelName(health.level) + " - ";
    if (!report.Ok()) {
        return line + PluginText(FailureSentence(report)) + "\n";
    }
    if (health.findings.empty()) {
        line += Format("%d controller%s, %d drives, %d sets", report.controllerCount,
                       report.controllerCount == 1 ? "" : "s", health.drives, health.sets);
    } else {
        const std::size_t shown = std::min(health.findings.size(), kFindingsOnStatusLine);
        for (std::size_t i = 0; i < shown; ++i) {
            line += (i == 0 ? "" : "; ") + PluginText(health.findings[i].text);
        }
        if (health.findings.size() > shown) {
            line += Format(" (%d more)", health.findings.size() - shown);
        }
    }
    line += " | " + PerformanceData(report, health) + "\n";
    for (const Finding& finding : health.findings) {
        line += std::string(LevelName(finding.level)) + ": " + PluginText(finding.text) + "\n";
    }
    return line;
}

}  // namespace veltrix::status
