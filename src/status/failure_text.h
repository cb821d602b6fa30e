#pragma once
// The one sentence that says why a run has no status: what happened, where (the local
// pipe's path or the host and TCP port), and what to do about it.

#include <string>

#include "status/status_report.h"

namespace veltrix::status {

// Where the run looked for the service: "/run/kavotronik/KAVOPIPE" for host ".",
// "host port 47631" for another host (the port it names, else VELTRIX_PIPE_PORT's).
std::string ServiceLocation(const std::string& host);

// "service not reachable at /run/kavotronik/KAVOPIPE (No such file or directory); is
// the service running? ..." for a report without a status; empty for one with.
std::string FailureSentence(const StatusReport& report);

}  // namespace veltrix::status
