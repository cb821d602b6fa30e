#pragma once
// The verdict of the monitoring-plugin convention over a status: OK when every set is
// ready and every drive current; WARNING while a rebuild runs or a drive's state or
// SMART value is not "Ok" without being critical; CRITICAL for a degraded set without
// a running rebuild, a drive gone or a critical SMART state; UNKNOWN without a status.

#include <string>
#include <vector>

#include "status/status_report.h"

namespace veltrix::status {

// The values are the plugin's exit codes.
enum class Level { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

// "OK", "WARNING", "CRITICAL", "UNKNOWN".
const char* LevelName(Level level);

struct Finding {
    Level level = Level::Ok;
    std::string text;
};

struct Health {
    Level level = Level::Ok;
    // What is not OK, the most serious first (in table order within a level).
    std::vector<Finding> findings;
    int drives = 0;  // drives found
    int sets = 0;    // sets found
    int drivesNotCurrent = 0;
    int setsNotReady = 0;
    int rebuilds = 0;
};

Health Evaluate(const StatusReport& report);

// The worse of two levels over several hosts: CRITICAL, then UNKNOWN (a host that
// gives no status may hide anything), then WARNING, then OK.
Level Worse(Level a, Level b);

}  // namespace veltrix::status
