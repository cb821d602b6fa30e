#include "model/raid_set.h"

#include <algorithm>

#include "model/status_texts.h"

namespace veltrix {

// One per thread: every session walks the members on a thread of its own, and sessions
// with several hosts at once walked one shared cursor over each other's sets.
MemberCursor& ProgramMemberCursor() {
    static thread_local MemberCursor cursor;
    return cursor;
}

void ResetMemberCursor() {
    ProgramMemberCursor() = MemberCursor{};
}

namespace {

constexpr std::uint8_t kLastEntry = RaidSet::kMemberCount - 1;
constexpr int kBeforeStart = -1;

// Moves `cursor` as `op` says and returns the entry index the op lands on
// (kBeforeStart for "previous" at entry 0). Count and unknown ops are handled by
// the callers and never reach here.
int Step(const std::array<std::uint8_t, RaidSet::kMemberCount>& members, MemberOp op,
         std::uint8_t& cursor) {
    cursor = std::min(cursor, kLastEntry);
    switch (op) {
        case MemberOp::First: {
            // Only entries 0-2 are searched; entry 2 when all three are empty.
            std::uint8_t i = 0;
            while (i < 2 && members[i] == RaidSet::kEmptyMember) {
                ++i;
            }
            cursor = i;
            return cursor;
        }
        case MemberOp::Next: {
            std::uint8_t i = static_cast<std::uint8_t>(cursor + 1);
            while (i < kLastEntry && members[i] == RaidSet::kEmptyMember) {
                ++i;
            }
            cursor = std::min(i, kLastEntry);
            return cursor;
        }
        case MemberOp::Previous:
            if (cursor == 0) {
                return kBeforeStart;
            }
            --cursor;
            return cursor;
        case MemberOp::Last:
        default:
            cursor = kLastEntry;
            return cursor;
    }
}

bool IsWalkOp(MemberOp op) {
    return op == MemberOp::First || op == MemberOp::Next || op == MemberOp::Previous ||
           op == MemberOp::Last;
}

}  // namespace

void RaidSet::FillFromRecord(const RaidSetRecord& record, std::uint32_t controller) {
    controller_ = controller;
    capacity_ = record.capacity;
    capacityText_ = veltrix::CapacityText(capacity_);
    port_ = record.port;
    isRaid_ = record.IsRaid() ? 1 : 0;
    typeText_ = veltrix::RaidTypeText(record);
    raidType_ = record.raidType;
    deviceNumber_ = record.deviceNumber & 0x7F;
    driveCount_ = record.driveCount;
    chunkSize_ = record.chunkSize;
    // A record with only bit 0 set yields an empty text; it replaces any older text
    // so a refreshed set never keeps a state it no longer has.
    statusText_ = veltrix::RaidStatusText(record.stateFlags);
    priority_ = record.priority;
    stateFlags_ = record.stateFlags;
    members_ = record.members;
    memberCount_ = static_cast<std::uint8_t>(
        std::count_if(members_.begin(), members_.end(), [](auto m) { return m != kEmptyMember; }));
    membersText_ = veltrix::MembersText(members_);
}

void RaidSet::SetPosition(std::uint64_t position) {
    if ((stateFlags_ & 0x04) != 0) {
        // While incomplete the service counts the position over all members; scale it
        // to one member's share. A layout without a usable divisor keeps the position.
        std::uint64_t divisor = 1;
        switch (raidType_) {
            case 0:
                divisor = driveCount_;
                break;
            case 2:
                divisor = 2;
                break;
            case 16:
                divisor = driveCount_ > 0 ? driveCount_ - 1u : 0u;
                break;
            default:
                break;
        }
        if (divisor != 0) {
            position /= divisor;
        }
    }
    rebuildPosition_ = position;

    if (memberExtraValue_ == 0 || capacity_ == 0) {
        rebuildPercent_ = 0;
        rebuildPercentText_ = kUnknownPercent;
        return;
    }
    rebuildPercent_ = static_cast<std::uint32_t>(rebuildPosition_ * 100 / capacity_);
    rebuildPercentText_ = std::to_string(rebuildPercent_) + "%";
}

std::uint8_t RaidSet::Member(MemberOp op) const {
    if (op == MemberOp::Count) {
        return memberCount_;
    }
    if (!IsWalkOp(op)) {
        return kBadOp;
    }
    const int index = Step(members_, op, ProgramMemberCursor().member);
    return index == kBeforeStart ? kEmptyMember : members_[static_cast<std::size_t>(index)];
}

std::uint8_t RaidSet::MemberSlot(MemberOp op) const {
    if (op == MemberOp::Count) {
        return memberCount_;
    }
    if (!IsWalkOp(op)) {
        return kBadOp;
    }
    const int index = Step(members_, op, ProgramMemberCursor().slot);
    return index == kBeforeStart ? kEmptyMember : static_cast<std::uint8_t>(index);
}

}  // namespace veltrix
