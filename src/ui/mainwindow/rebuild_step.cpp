// Rebuild progress of each controller (percent, speed, remaining time, tooltip lines,
// a balloon every further 5 %) and the priority slider of the selected RAID set.

#include <array>
#include <climits>

#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {

namespace {

using namespace control_id;

constexpr std::uint64_t kPollSeconds = 5;
constexpr int kSiteRebuildWrite = 1637;
constexpr int kSiteRebuildWait = 1668;
constexpr int kSiteRebuildRead = 1664;
constexpr int kSitePriorityWrite = 3488;

// Minutes as the "%d" of the remaining-time text shows them.
int MinutesForText(std::uint64_t minutes) {
    return minutes > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(minutes);
}

}  // namespace

bool CKavoGUIDlg::RebuildStep(int i, std::string& tip) {
    const std::array<std::uint8_t, 1> request{static_cast<std::uint8_t>(i)};
    if (!Exchange({GET_REBUILD_STATUS, request,
                   ErrorText(ids::kServiceWriteError, kSiteRebuildWrite),
                   ErrorText(ids::kServiceReadError, kSiteRebuildRead),
                   "WaitForResponse\nError #KGD-" + std::to_string(kSiteRebuildWait), true})) {
        return false;
    }

    const RebuildStatus status = RebuildStatus::Decode(link_.message.data());
    const Controller* controller = table_.GetController(i);
    const int sets = controller != nullptr ? ClampRaidSetCount(controller->RaidSetCount()) : 0;
    const bool current = i == state_.currentController;
    const auto index = static_cast<std::size_t>(i);

    if (!status.isActive() || sets == 0) {
        for (int s = 0; s < sets; ++s) {
            if (RaidSet* set = table_.GetRaidSet(i, s)) {
                set->SetRebuildSeen(false);
            }
        }
        tip += FormatString(ids::kTipNoRebuildLine, i);
        if (current) {
            SetItemText(kPercent, " ");
            SetPos(kProgress, 0);
            SetItemText(kDuration, "-");
        }
        return true;
    }

    RaidSet* rebuilding = nullptr;
    const RaidSet* selected = state_.selectedSet != -1 ? SelectedRaidSet() : nullptr;
    for (int s = 0; s < sets; ++s) {
        RaidSet* set = table_.GetRaidSet(i, s);
        if (set == nullptr) {
            continue;
        }
        if (set->Port() != status.setPort) {
            set->SetRebuildSeen(false);
            continue;
        }
        rebuilding = set;
        if (!current) {
            set->SetRebuildSeen(true);
        } else if (!set->RebuildSeen()) {
            set->SetRebuildSeen(true);
            ShowRebuildControls(true);
        } else if (selected != nullptr && selected->Port() == set->Port() &&
                   selected->RebuildSeen()) {
            ShowRebuildControls(true);
        }
    }
    if (rebuilding == nullptr) {
        // The service names a set this controller does not have: nothing to update.
        tip += FormatString(ids::kTipNoRebuildLine, i);
        return true;
    }

    rebuilding->SetPosition(status.position);
    const std::uint32_t percent = rebuilding->RebuildPercent();
    const std::uint64_t position = rebuilding->RebuildPosition();
    if (current) {
        const std::uint64_t last = state_.lastPosition[index];
        std::uint64_t minutes = static_cast<std::uint64_t>(-1);
        if (position > last) {
            const std::uint64_t rate = ((position - last) * 60) / kPollSeconds;
            const std::uint64_t capacity = rebuilding->Capacity();
            minutes = capacity > position ? (capacity - position) / rate : 0;
        } else {
            state_.pollCount = 0;
        }
        if (state_.pollCount > 0) {
            SetItemText(kDuration, Format("%d Min.", MinutesForText(minutes)));
        }
        const float advanced = static_cast<float>(position) - static_cast<float>(last);
        const float speed = advanced * 512.0f / 5.0f / 1048576.0f;
        SetItemText(kSpeed, state_.pollCount > 0
                                ? Format("%5.2f", static_cast<double>(speed)) + " MB/s"
                                : "-");
        SetItemText(kPercent, rebuilding->RebuildPercentText());
        SetPos(kProgress, static_cast<int>(percent));
    }
    state_.lastPosition[index] = position;

    if (percent >= 1 && percent <= 99) {
        const std::uint32_t step = percent / 5;
        if (step > state_.lastPercentStep[index] && state_.pollCount > 1) {
            tray_.balloonTitle = LoadString(ids::kBalloonRebuildProgress);
            tray_.balloonText = FormatString(ids::kBalloonRebuildPercent, i, percent) + "%";
            tray_.balloonIconKind = app::kBalloonInformation;
            tray_.UpdateTrayIcon(state_.isConnected, true);
        }
        state_.lastPercentStep[index] = step;
        tip += FormatString(ids::kTipRebuildLine, i) + rebuilding->RebuildPercentText();
    }
    return true;
}

void CKavoGUIDlg::PriorityStep() {
    if (state_.selectedSet < 0 || state_.selectedSet >= ObjectTable::kMaxRaidSets) {
        return;
    }
    const int position = Pos(kPriority);
    const int setIndex = state_.setRowMap[static_cast<std::size_t>(state_.selectedSet)];
    RaidSet* set = table_.GetRaidSet(state_.currentController, setIndex);
    if (set == nullptr || set->Priority() == position) {
        return;
    }
    set->SetPriority(static_cast<std::uint8_t>(position));
    SendPriority(state_.currentController, setIndex, position);
}

void CKavoGUIDlg::SendPriority(int controller, int setIndex, int priority) {
    const RaidSet* set = table_.GetRaidSet(controller, setIndex);
    if (set == nullptr) {
        return;
    }
    const std::array<std::uint8_t, 4> request{static_cast<std::uint8_t>(controller), set->Port(),
                                              static_cast<std::uint8_t>(priority & 0xFF), 0};
    link_.message.setRequest(SET_REBUILD_PRIORITY, request);
    try {
        link_.SendMessage();
    } catch (const CNamedPipeException&) {
        ReportError(ErrorText(ids::kServiceWriteError, kSitePriorityWrite));
    }
}

}  // namespace veltrix
