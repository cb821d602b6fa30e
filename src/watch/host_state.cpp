#include "watch/host_state.h"

#include <algorithm>

namespace veltrix {

namespace {

// The RAID set's state bits (RaidStatusText names each).
constexpr std::uint8_t kSetIncomplete = 0x04;
constexpr std::uint8_t kSetRebuild = 0x08;
constexpr std::uint8_t kSetReduced = 0x10;
constexpr std::uint8_t kSetBroken = 0x20;

HostState SetState(const RaidSet& set, bool rebuildRuns) {
    const std::uint8_t flags = set.StateFlags();
    if ((flags & kSetBroken) != 0) {
        return HostState::Broken;
    }
    if ((flags & kSetRebuild) != 0 && rebuildRuns) {
        return HostState::Rebuilding;
    }
    if ((flags & (kSetIncomplete | kSetRebuild | kSetReduced)) != 0) {
        return HostState::Reduced;
    }
    return HostState::Ready;
}

}  // namespace

bool IsReachable(HostState state) {
    return state < HostState::NotConnected;
}

HostState SetsState(const ObjectTable& table, const RebuildPercents& rebuilds, int& percent) {
    HostState worst = HostState::Ready;
    for (int c = 0; c < ObjectTable::kMaxControllers; ++c) {
        const int running = rebuilds[static_cast<std::size_t>(c)];
        for (int s = 0; s < ObjectTable::kMaxRaidSets; ++s) {
            const RaidSet* set = table.GetRaidSet(c, s);
            if (set == nullptr) {
                continue;
            }
            const HostState state = SetState(*set, running >= 0);
            if (state == HostState::Rebuilding && worst < HostState::Rebuilding) {
                percent = running;
            }
            worst = std::max(worst, state);
        }
    }
    return worst;
}

QString StateLineOf(HostState state, int rebuildPercent, int reconnectSeconds) {
    switch (state) {
        case HostState::Ready:
            //% "Ready"
            return qtTrId("host.ready");
        case HostState::Rebuilding:
            //% "Rebuild %1 %"
            return qtTrId("host.rebuild-1").arg(rebuildPercent);
        case HostState::Reduced:
            //% "Reduced"
            return qtTrId("host.reduced");
        case HostState::Broken:
            //% "Broken"
            return qtTrId("host.broken");
        case HostState::NotConnected:
            //% "Not connected"
            return qtTrId("host.not-connected");
        case HostState::Reconnecting:
            //% "Reconnecting in %1 s"
            return qtTrId("main.reconnecting-in-1-s").arg(reconnectSeconds);
        case HostState::PasswordRefused:
            //% "Password refused"
            return qtTrId("host.password-refused");
    }
    return {};
}

}  // namespace veltrix
