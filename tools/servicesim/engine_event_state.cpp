// What a timeline event says happened to the drives and sets, made true of the state
// the status requests answer from: the client re-reads a controller after such an
// event, and what it reads must agree with what the event told it.

#include <unordered_map>

#include "servicesim/engine.h"
#include "servicesim/records.h"

namespace veltrix::sim {

namespace {

// RaidSetRecord state flags.
constexpr std::uint8_t kSetRebuild = 0x08;
constexpr std::uint8_t kSetReduced = 0x10;
constexpr std::uint8_t kSetBroken = 0x20;
// DeviceRecord port state values (bits 8-12).
constexpr std::uint16_t kPortStateMask = 0x1F00;
constexpr std::uint16_t kPortCurrent = 0x0100;
constexpr std::uint16_t kPortRebuild = 0x0200;
constexpr std::uint8_t kNoMember = 0xFF;

// Mirror, mirror-stripe and RAID 5 survive the loss of one drive, reduced.
bool Redundant(std::uint8_t raidType) {
    return raidType == 1 || raidType == 2 || raidType == 16;
}

bool HasMember(const RaidSetSpec& set, std::uint8_t port) {
    for (const std::uint8_t member : set.members) {
        if (member != kNoMember && member == port) {
            return true;
        }
    }
    return false;
}

}  // namespace

ServiceEngine::EventChange ServiceEngine::EventChangeFor(std::uint32_t code) {
    // Codes not listed (general events, status notes, spare access) change nothing.
    static const std::unordered_map<std::uint32_t, EventChange> kChanges = {
        {EVENT_DRIVE_LOST, &ServiceEngine::OnDriveLost},
        {EVENT_DRIVE_FOUND, &ServiceEngine::OnDriveFound},
        {EVENT_SET_LOST, &ServiceEngine::OnSetLost},
        {EVENT_REDUNDANCY_LOST, &ServiceEngine::OnRedundancyLost},
        {EVENT_RAID_BROKEN, &ServiceEngine::OnRaidBroken},
        {EVENT_REBUILD_COMPLETED_A, &ServiceEngine::OnRebuildCompleted},
        {EVENT_REBUILD_COMPLETED_C, &ServiceEngine::OnRebuildCompleted},
    };
    const auto found = kChanges.find(code);
    return found != kChanges.end() ? found->second : nullptr;
}

void ServiceEngine::ApplyEventState(const EventSpec& event, std::uint64_t atMs) {
    Controller* c = FindController(event.controller);
    const EventChange change = EventChangeFor(event.code);
    if (c != nullptr && change != nullptr) {
        (this->*change)(*c, event, atMs);
    }
}

DriveSpec* ServiceEngine::DriveAtPort(Controller& c, std::uint8_t port) {
    for (DriveSpec& d : c.spec.drives) {
        if (EncodePosition(d.channel, d.pmPort) == port) {
            return &d;
        }
    }
    return nullptr;
}

RaidSetSpec* ServiceEngine::RaidSetByIndex(Controller& c, std::uint8_t index) {
    // Channel by channel, port-multiplier port by port, as the client scans.
    int seen = 0;
    for (int address = 0; address < 8 * 16; ++address) {
        for (RaidSetSpec& s : c.spec.sets) {
            if (s.present && s.channel == address / 16 && s.pmPort == address % 16) {
                if (seen++ == index) {
                    return &s;
                }
                break;
            }
        }
    }
    return nullptr;
}

void ServiceEngine::OnDriveLost(Controller& c, const EventSpec& event, std::uint64_t atMs) {
    if (DriveSpec* drive = DriveAtPort(c, event.port)) {
        drive->present = false;
    }
    // A redundant set goes on without the drive, reduced, and a rebuild on it stops.
    for (RaidSetSpec& set : c.spec.sets) {
        if (set.present && Redundant(set.raidType) && HasMember(set, event.port)) {
            set.stateFlags =
                static_cast<std::uint8_t>((set.stateFlags | kSetReduced) & ~kSetRebuild);
            StopRebuildOf(c, set, PositionAt(c.rebuild, atMs));
        }
    }
}

void ServiceEngine::OnDriveFound(Controller& c, const EventSpec& event, std::uint64_t) {
    if (DriveSpec* drive = DriveAtPort(c, event.port)) {
        drive->present = true;
    }
}

void ServiceEngine::OnSetLost(Controller& c, const EventSpec& event, std::uint64_t atMs) {
    if (RaidSetSpec* set = RaidSetByIndex(c, event.setIndex)) {
        StopRebuildOf(c, *set, PositionAt(c.rebuild, atMs));
        set->present = false;
    }
}

void ServiceEngine::OnRedundancyLost(Controller& c, const EventSpec& event, std::uint64_t) {
    if (RaidSetSpec* set = RaidSetByIndex(c, event.setIndex)) {
        set->stateFlags |= kSetReduced;
    }
}

void ServiceEngine::OnRaidBroken(Controller& c, const EventSpec& event, std::uint64_t atMs) {
    if (RaidSetSpec* set = RaidSetByIndex(c, event.setIndex)) {
        set->stateFlags = static_cast<std::uint8_t>((set->stateFlags | kSetBroken) & ~kSetRebuild);
        StopRebuildOf(c, *set, PositionAt(c.rebuild, atMs));
    }
}

void ServiceEngine::OnRebuildCompleted(Controller& c, const EventSpec& event, std::uint64_t) {
    if (RaidSetSpec* set = RaidSetByIndex(c, event.setIndex)) {
        MarkRebuilt(c, *set,
                    static_cast<std::uint8_t>(set->stateFlags & ~(kSetRebuild | kSetReduced)));
    }
}

void ServiceEngine::MarkRebuilt(Controller& c, RaidSetSpec& set, std::uint8_t stateFlags) {
    set.stateFlags = stateFlags;
    for (const std::uint8_t member : set.members) {
        DriveSpec* drive = member != kNoMember ? DriveAtPort(c, member) : nullptr;
        // Only a drive whose state is rebuild (the highest state bit counts).
        if (drive != nullptr &&
            (drive->portState & kPortStateMask & ~kPortCurrent) == kPortRebuild) {
            drive->portState =
                static_cast<std::uint16_t>((drive->portState & ~kPortStateMask) | kPortCurrent);
        }
    }
    if (c.rebuild.active && c.rebuild.setPort == set.PortByte()) {
        StopRebuildOf(c, set, c.rebuild.endPosition);
    }
}

void ServiceEngine::StopRebuildOf(Controller& c, const RaidSetSpec& set, std::uint64_t position) {
    if (c.rebuild.active && c.rebuild.setPort == set.PortByte()) {
        c.rebuild.active = false;
        c.rebuild.lastPosition = position;
    }
}

}  // namespace veltrix::sim
