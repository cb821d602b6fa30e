// The monitoring-plugin output: one status line with performance data, then one line
// per finding. The exit code is the verdict's level.

#include <algorithm>
#include <map>

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

// "LEVEL - what": the findings named on the status line, or what was found.
std::string Summary(const StatusReport& report, const Health& health) {
    std::string line = std::string(LevelName(health.level)) + " - ";
    if (!report.Ok()) {
        return line + PluginText(FailureSentence(report));
    }
    if (health.findings.empty()) {
        return line + Format("%d controller%s, %d drives, %d sets", report.controllerCount,
                             report.controllerCount == 1 ? "" : "s", health.drives, health.sets);
    }
    const std::size_t shown = std::min(health.findings.size(), kFindingsOnStatusLine);
    for (std::size_t i = 0; i < shown; ++i) {
        line += (i == 0 ? "" : "; ") + PluginText(health.findings[i].text);
    }
    if (health.findings.size() > shown) {
        line += Format(" (%d more)", health.findings.size() - shown);
    }
    return line;
}

}  // namespace

std::string NagiosOutput(const StatusReport& report, const Health& health) {
    std::string line = "VELTRIX " + Summary(report, health);
    if (!report.Ok()) {
        return line + "\n";
    }
    line += " | " + PerformanceData(report, health) + "\n";
    for (const Finding& finding : health.findings) {
        line += std::string(LevelName(finding.level)) + ": " + PluginText(finding.text) + "\n";
    }
    return line;
}

std::string NagiosOutput(const std::vector<HostStatus>& hosts) {
    // The most serious first, with their performance data labels.
    constexpr std::pair<Level, const char*> kLevels[] = {{Level::Critical, "hosts_critical"},
                                                         {Level::Unknown, "hosts_unknown"},
                                                         {Level::Warning, "hosts_warning"},
                                                         {Level::Ok, "hosts_ok"}};
    std::map<Level, int> counts;
    Level worst = Level::Ok;
    for (const HostStatus& host : hosts) {
        ++counts[host.health.level];
        worst = Worse(worst, host.health.level);
    }
    std::string tally;
    std::string data = Format("hosts=%d;;;0", hosts.size());
    for (const auto& [level, label] : kLevels) {
        if (counts[level] > 0) {
            tally += Format("%s%d %s", tally.empty() ? "" : ", ", counts[level], LevelName(level));
        }
        data += Format(" %s=%d;;;0", label, counts[level]);
    }
    std::string out =
        Format("VELTRIX %s - %d hosts: %s | %s\n", LevelName(worst), hosts.size(), tally, data);
    for (const HostStatus& host : hosts) {
        out += PluginText(host.report.host) + ": " + Summary(host.report, host.health) + "\n";
    }
    return out;
}

}  // namespace veltrix::status
