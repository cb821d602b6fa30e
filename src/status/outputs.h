#pragma once
// The four forms of a status: a table for people, one JSON document for scripts, the
// monitoring-plugin status line and Prometheus text exposition. Every text that came
// from the service passes through Printable(), so every output is plain ASCII.

#include <string>

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

// "3.4.0.2" from the service's version words.
std::string VersionText(const ServiceConfig& config);

// The size of `sectors` 512-byte sectors in bytes, as a double when it does not fit 64
// bits (a capacity the service made up).
double SectorBytes(std::uint64_t sectors);

}  // namespace veltrix::status
