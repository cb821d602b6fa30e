// Rebuild progress of each controller (percent, speed, remaining time, tooltip lines,
// a balloon every further 5 %) and the priority the user set for the selected set.

#include <array>

#include "session/error_sites.h"
#include "session/rebuild_figures.h"
#include "session/service_session.h"
#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

// No rebuild runs on the controller: its sets lose their seen marks. Whether one had it.
bool ForgetRebuildSeen(ObjectTable& table, int controller, int sets) {
    bool changed = false;
    for (int s = 0; s < sets; ++s) {
        if (RaidSet* set = table.GetRaidSet(controller, s); set != nullptr && set->RebuildSeen()) {
            set->SetRebuildSeen(false);
            changed = true;
        }
    }
    return changed;
}

// Marks the set on `port` as seen rebuilding and every other set as not, and returns
// it (nullptr: the controller has no such set). On the current controller (`current`
// true) the rebuild controls are shown when its rebuild is new or the selected set is
// the one being rebuilt.
RaidSet* MarkRebuildingSet(ObjectTable& table, int controller, int sets, std::uint8_t port,
                           bool current, const RaidSet* selected, RebuildView& view) {
    RaidSet* rebuilding = nullptr;
    for (int s = 0; s < sets; ++s) {
        RaidSet* set = table.GetRaidSet(controller, s);
        if (set == nullptr) {
            continue;
        }
        if (set->Port() != port) {
            set->SetRebuildSeen(false);
            continue;
        }
        rebuilding = set;
        if (!current) {
            set->SetRebuildSeen(true);
        } else if (!set->RebuildSeen()) {
            set->SetRebuildSeen(true);
            view.showControls = true;
        } else if (selected != nullptr && selected->Port() == set->Port() &&
                   selected->RebuildSeen()) {
            view.showControls = true;
        }
    }
    return rebuilding;
}

}  // namespace

bool ServiceSession::RebuildStep(int i, std::string& tip) {
    const std::array<std::uint8_t, 1> request{static_cast<std::uint8_t>(i)};
    if (!Exchange({GET_REBUILD_STATUS,
                   request,
                   {.textId = ids::kServiceWriteError, .site = poll_site::kRebuildWrite},
                   {.textId = ids::kServiceReadError, .site = poll_site::kRebuildRead},
                   SiteMessage{.literal = "WaitForResponse", .site = poll_site::kRebuildWait},
                   true})) {
        return false;
    }

    const RebuildStatus status = RebuildStatus::Decode(link_.message.Data());
    const Controller* controller = table_.GetController(i);
    const int sets = controller != nullptr ? ClampRaidSetCount(controller->RaidSetCount()) : 0;
    const bool current = i == state_.currentController;
    const auto index = static_cast<std::size_t>(i);
    RebuildView view;
    view.controller = i;

    if (!status.IsActive() || sets == 0) {
        if (ForgetRebuildSeen(table_, i, sets)) {
            tableStale_ = true;
        }
        tip += FormatString(ids::kTipNoRebuildLine, i);
        if (current) {
            emit RebuildProgressed(view);
        }
        return true;
    }

    tableStale_ = true;  // seen marks and the position move while a rebuild runs
    const RaidSet* selected =
        state_.selectedSetIndex != -1 ? table_.GetRaidSet(i, state_.selectedSetIndex) : nullptr;
    RaidSet* rebuilding =
        MarkRebuildingSet(table_, i, sets, status.setPort, current, selected, view);
    if (rebuilding == nullptr) {
        // The service names a set this controller does not have: nothing to update.
        tip += FormatString(ids::kTipNoRebuildLine, i);
        return true;
    }

    rebuilding->SetPosition(status.position);
    tableStale_ = true;
    const std::uint32_t percent = rebuilding->RebuildPercent();
    const std::uint64_t position = rebuilding->RebuildPosition();
    if (current) {
        const RebuildFigures figures =
            ComputeRebuildFigures(position, state_.lastPosition[index], rebuilding->Capacity());
        if (!figures.advanced) {
            state_.pollCount = 0;
        }
        view.active = true;
        if (state_.pollCount > 0) {
            view.durationText = DurationText(figures.minutes);
        }
        view.speedText = state_.pollCount > 0 ? SpeedText(figures.speed) : "-";
        view.percentText = rebuilding->RebuildPercentText();
        view.percent = static_cast<int>(percent);
        emit RebuildProgressed(view);
    }
    state_.lastPosition[index] = position;

    if (percent >= 1 && percent <= 99) {
        const std::uint32_t step = percent / 5;
        if (step > state_.lastPercentStep[index] && state_.pollCount > 1) {
            emit Balloon(LoadString(ids::kBalloonRebuildProgress),
                         FormatString(ids::kBalloonRebuildPercent, i, percent) + "%",
                         Severity::Information);
        }
        state_.lastPercentStep[index] = step;
        tip += FormatString(ids::kTipRebuildLine, i) + rebuilding->RebuildPercentText();
    }
    return true;
}

bool ServiceSession::PriorityStep() {
    if (state_.selectedSetIndex < 0) {
        return false;
    }
    const int position = state_.sliderPosition;
    RaidSet* set = table_.GetRaidSet(state_.currentController, state_.selectedSetIndex);
    if (set == nullptr || set->Priority() == position) {
        return false;
    }
    set->SetPriority(static_cast<std::uint8_t>(position));
    tableStale_ = true;
    SendPriority(state_.currentController, state_.selectedSetIndex, position);
    return true;
}

void ServiceSession::SendPriority(int controller, int setIndex, int priority) {
    const RaidSet* set = table_.GetRaidSet(controller, setIndex);
    if (set == nullptr) {
        return;
    }
    const std::array<std::uint8_t, 4> request{static_cast<std::uint8_t>(controller), set->Port(),
                                              static_cast<std::uint8_t>(priority & 0xFF), 0};
    link_.message.SetRequest(SET_REBUILD_PRIORITY, request);
    try {
        link_.SendMessage();
    } catch (const ChannelError&) {
        ReportError(ErrorText(ids::kServiceWriteError, poll_site::kPriorityWrite));
    }
}

}  // namespace veltrix
