#pragma once
// One status read through the session: connect and log in, read the service version
// and enumerate controllers, drives and RAID sets as the main window does, ask each
// controller's rebuild status once, log off.
//
// The session runs on a clock that never ticks, so its poll cycle never starts: the
// run sends nothing beyond those requests and the logoff, and leaves the service's
// event queue and error log to the desktop program. A service that serves another
// client is never written to: the session's wait for the pipe ends with "busy".

#include <chrono>
#include <string>
#include <vector>

#include "status/status_report.h"

namespace veltrix::status {

struct ReadRequest {
    std::string host = ".";
    std::string password;
    // The whole run, the logoff included.
    std::chrono::milliseconds timeout{10000};
};

// Needs a QCoreApplication. Never throws for anything the service does; a report
// that is not ok() says why.
StatusReport ReadStatus(const ReadRequest& request, RunTimings* timings = nullptr);

// Every request at the same time, each on a thread of its own within its own time-out
// (one alone on the calling thread); the reports and timings in the requests' order.
std::vector<StatusReport> ReadStatuses(const std::vector<ReadRequest>& requests,
                                       std::vector<RunTimings>* timings = nullptr);

// The failure the session's messages of a failed connect or enumeration tell.
Failure ClassifyMessages(const std::vector<std::string>& messages);

}  // namespace veltrix::status
