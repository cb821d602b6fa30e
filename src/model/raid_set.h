#pragma once
// One RAID set (or plain drive) of a controller, with its rebuild progress.

#include <array>
#include <cstdint>
#include <string>

#include "model/records.h"

namespace veltrix {

// Operations of RaidSet::Member and RaidSet::MemberSlot.
enum class MemberOp : std::uint8_t { First = 0, Next = 1, Previous = 2, Last = 3, Count = 4 };

// The two member-walk cursors (entry indices 0-3). There is ONE of them for the whole
// program, shared by every RaidSet: a walk started on one set continues from where
// the last walk on any set stopped, so walks over two sets must not be interleaved.
// Only the GUI thread walks members; nothing here is thread-safe.
struct MemberCursor {
    std::uint8_t member = 0;  // cursor of RaidSet::Member
    std::uint8_t slot = 0;    // cursor of RaidSet::MemberSlot
};
// The cursor pair of the calling thread (each session's thread has its own).
MemberCursor& ProgramMemberCursor();
// Puts the calling thread's cursors back to entry 0 (program start; tests).
void ResetMemberCursor();

class RaidSet {
  public:
    static constexpr std::uint8_t kEmptyMember = 0xFF;
    static constexpr std::uint8_t kBadOp = 0xFE;
    static constexpr std::size_t kMemberCount = RaidSetRecord::kMemberCount;
    // Percentage text when the percentage cannot be worked out.
    static constexpr const char* kUnknownPercent = "-?-";

    RaidSet() = default;
    explicit RaidSet(std::uint32_t controller) : controller_(controller) {}

    // Fills every field and text from the record.
    void FillFromRecord(const RaidSetRecord& record, std::uint32_t controller);

    // Stores a rebuild position (scaled to one member's share while the set is
    // incomplete) and works out the percentage of the capacity.
    void SetPosition(std::uint64_t position);

    // Walk the member entries with the program-wide cursor: Member returns an entry's
    // value, MemberSlot its index (0xFE for an unknown op, 0xFF past the start).
    std::uint8_t Member(MemberOp op) const;
    std::uint8_t MemberSlot(MemberOp op) const;

    void SetMemberExtraValue(std::uint64_t value) { memberExtraValue_ = value; }
    void SetRebuildSeen(bool seen) { rebuildSeen_ = seen ? 1 : 0; }
    void SetPriority(std::uint8_t priority) { priority_ = priority; }

    bool IsRaid() const { return isRaid_ != 0; }
    std::uint32_t ControllerNumber() const { return controller_; }
    std::uint64_t Capacity() const { return capacity_; }
    std::uint64_t MemberExtraValue() const { return memberExtraValue_; }
    const std::string& CapacityText() const { return capacityText_; }
    std::uint8_t Port() const { return port_; }
    const std::string& TypeText() const { return typeText_; }
    std::uint8_t RaidType() const { return raidType_; }
    std::uint8_t DeviceNumber() const { return deviceNumber_; }
    std::uint8_t DriveCount() const { return driveCount_; }
    std::uint16_t ChunkSize() const { return chunkSize_; }
    const std::string& StatusText() const { return statusText_; }
    std::uint8_t StateFlags() const { return stateFlags_; }
    const std::array<std::uint8_t, kMemberCount>& Members() const { return members_; }
    std::uint8_t MemberCount() const { return memberCount_; }
    const std::string& MembersText() const { return membersText_; }
    std::uint64_t RebuildPosition() const { return rebuildPosition_; }
    std::uint32_t RebuildPercent() const { return rebuildPercent_; }
    const std::string& RebuildPercentText() const { return rebuildPercentText_; }
    std::uint8_t Priority() const { return priority_; }
    bool RebuildSeen() const { return rebuildSeen_ != 0; }

  private:
    std::uint8_t isRaid_ = 0;
    std::uint32_t controller_ = 0;
    std::uint64_t capacity_ = 0;
    std::uint64_t memberExtraValue_ = 0;
    std::string capacityText_;
    std::uint8_t port_ = 0xFF;
    std::string typeText_;
    std::uint8_t raidType_ = 0;
    std::uint8_t deviceNumber_ = 0;
    std::uint8_t driveCount_ = 0;
    std::uint16_t chunkSize_ = 0;
    std::string statusText_;
    std::uint8_t stateFlags_ = 0;
    std::array<std::uint8_t, kMemberCount> members_{kEmptyMember, kEmptyMember, kEmptyMember,
                                                    kEmptyMember};
    std::uint8_t memberCount_ = 0;
    std::string membersText_;
    std::uint64_t rebuildPosition_ = 0;
    std::uint32_t rebuildPercent_ = 0;
    std::string rebuildPercentText_;
    std::uint8_t priority_ = 0;
    std::uint8_t rebuildSeen_ = 0;
};

}  // namespace veltrix
