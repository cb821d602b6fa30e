// Visibility and enabling of the ten rebuild controls.

#include "ui/mainwindow/main_window.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {

namespace {

using namespace control_id;

constexpr int kSliderGroup[] = {kPriority, kPriorityHigh, kPriorityCaption, kPriorityLow};
constexpr int kProgressValues[] = {kSpeed, kDuration, kPercent, kProgress};
constexpr int kAllRebuildControls[] = {kPriority,     kPriorityHigh, kPriorityCaption, kPriorityLow,
                                       kSpeedCaption, kSpeed,        kDurationCaption, kDuration,
                                       kProgress,     kPercent};

// RAID types whose rebuild can be watched: mirror, mirror-stripe, RAID 5.
bool CanRebuild(std::uint8_t raidType) {
    return raidType == 1 || raidType == 2 || raidType == 16;
}

}  // namespace

void CKavoGUIDlg::ShowRebuildControls(bool show) {
    for (const int id : kAllRebuildControls) {
        ShowItem(id, show);
    }
}

void CKavoGUIDlg::EnableRebuildControls(bool enable) {
    for (const int id : kAllRebuildControls) {
        EnableItem(id, enable);
    }
}

void CKavoGUIDlg::ShowRebuildControlsForSet(const RaidSet& set) {
    SetPos(kPriority, set.Priority());
    if (set.RebuildSeen()) {
        ShowRebuildControls(true);
        return;
    }
    for (const int id : kSliderGroup) {
        ShowItem(id, true);
    }
    ShowItem(kSpeedCaption, true);
    ShowItem(kDurationCaption, true);
    for (const int id : kProgressValues) {
        ShowItem(id, false);
    }
    if (!CanRebuild(set.RaidType())) {
        ShowRebuildControls(false);
    }
}

}  // namespace veltrix
