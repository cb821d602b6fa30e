#pragma once
// The four forms of a status: a table for people, one JSON document for scripts, the
// monitoring-plugin status line and Prometheus text exposition. Every text that came
// from the service passes through Printable(), so every output is plain ASCII. Each
// form has one for several hosts too; for one host it is the plain form.

#include <string>
#include <vector>

#include "status/health.h"
#include "status/status_report.h"

namespace veltrix::status {

// Version of the JSON document's layout (docs/administration.md: "JSON document").
inline constexpr int kJsonSchemaVersion = 1;

// A table per controller with the status texts and the verdict; empty for a report
// without a status.
std::string TextOutput(const StatusReport& report, const Health& health);

// The JSON document, also for a report without a status ("ok": false and "error").
std::string JsonOutput(const StatusReport& report, const Health& health);

// "VELTRIX <LEVEL> - <summary> | <performance data>", then one line per finding.
std::string NagiosOutput(const StatusReport& report, const Health& health);

// Text exposition format 0.0.4. Without a status only veltrix_up (0, with a reason).
std::string PrometheusOutput(const StatusReport& report);

// One host's run with its verdict.
struct HostStatus {
    StatusReport report;
    Health health;
};

// A section per host in their order (for a host without a status, why), then the worst
// level.
std::string TextOutput(const std::vector<HostStatus>& hosts);

// {"hosts": [...]} with each host's document in their order.
std::string JsonOutput(const std::vector<HostStatus>& hosts);

// The worst level with the number of hosts at each level, then one line per host
// ("HOST: LEVEL - summary").
std::string NagiosOutput(const std::vector<HostStatus>& hosts);

// Every host's series, each family once.
std::string PrometheusOutput(const std::vector<HostStatus>& hosts);

// "3.4.0.2" from the service's version words.
std::string VersionText(const ServiceConfig& config);

// The size of `sectors` 512-byte sectors in bytes, as a double when it does not fit 64
// bits (a capacity the service made up).
double SectorBytes(std::uint64_t sectors);

}  // namespace veltrix::status
