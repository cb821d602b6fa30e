#pragma once
// A watched host's state in one value, ordered from best to worst so that the worst of
// several hosts is their maximum, and the line that tells it.

#include <QString>
#include <array>

#include "model/object_table.h"

namespace veltrix {

enum class HostState {
    Ready,
    Rebuilding,
    Reduced,
    // A set has failed.
    Broken,
    // Not reachable: no connection, Autoconnect waits for its next try, or the service
    // refused the password.
    NotConnected,
    Reconnecting,
    PasswordRefused,
};

// Whether the host's service is reachable (its state tells its sets).
bool IsReachable(HostState state);

// For each controller, the percentage of the rebuild running on it; -1: none runs.
using RebuildPercents = std::array<int, ObjectTable::kMaxControllers>;

// The worst state of the table's sets. A set marked for rebuilding counts as Rebuilding
// while a rebuild runs on its controller, otherwise as Reduced; `percent` is set to the
// first running rebuild's percentage when the result is Rebuilding.
HostState SetsState(const ObjectTable& table, const RebuildPercents& rebuilds, int& percent);

// The state's line: "Ready", "Rebuild 53 %", "Reconnecting in 40 s", ...
QString StateLineOf(HostState state, int rebuildPercent, int reconnectSeconds);

}  // namespace veltrix
