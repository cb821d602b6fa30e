// The engine's simulated time: the timeline, error-log entries and e-mail failures
// falling due, rebuilds moving on and finishing, and the queues they fill.

#include <algorithm>
#include <optional>

#include "servicesim/engine.h"

namespace veltrix::sim {

std::uint64_t ServiceEngine::PositionAt(const Rebuild& r, std::uint64_t nowMs) const {
    if (!r.active) {
        return r.lastPosition;
    }
    const std::uint64_t elapsed = nowMs > r.startedAtMs ? nowMs - r.startedAtMs : 0;
    const std::uint64_t span =
        r.endPosition > r.startPosition ? r.endPosition - r.startPosition : 0;
    // (elapsed * rate) / 1000 without overflow: whole seconds first, then the rest.
    const std::uint64_t wholeSeconds = elapsed / 1000;
    const std::uint64_t restMs = elapsed % 1000;
    if (r.rate != 0 && wholeSeconds > span / r.rate) {
        return r.endPosition;
    }
    const std::uint64_t advanced = wholeSeconds * r.rate + (restMs * (r.rate % 1000000)) / 1000 +
                                   restMs * (r.rate / 1000000) * 1000;
    return advanced >= span ? r.endPosition : r.startPosition + advanced;
}

void ServiceEngine::StartRebuild(Controller& c, std::uint8_t setPort, std::uint64_t position,
                                 std::uint64_t atMs) {
    Rebuild& r = c.rebuild;
    r.active = true;
    r.setPort = setPort;
    r.startPosition = position;
    r.rate = c.spec.rebuild.sectorsPerSecond;
    r.startedAtMs = atMs;
    const RaidSetSpec* set = RaidSetByPort(c, setPort);
    r.endPosition = c.spec.rebuild.endPosition.value_or(set != nullptr ? set->capacity : 0);
    r.lastPosition = position;
}

std::optional<std::uint64_t> ServiceEngine::CompletionMs(const Rebuild& r) {
    if (!r.active) {
        return std::nullopt;
    }
    const std::uint64_t span = r.endPosition - std::min(r.endPosition, r.startPosition);
    if (span == 0) {
        return r.startedAtMs;
    }
    if (r.rate == 0) {
        return std::nullopt;
    }
    // The first millisecond at which PositionAt reaches the end (rounded up).
    return r.startedAtMs + span / r.rate * 1000 + ((span % r.rate) * 1000 + r.rate - 1) / r.rate;
}

void ServiceEngine::FinishRebuild(Controller& c, std::uint64_t atMs) {
    Rebuild& r = c.rebuild;
    r.active = false;
    r.lastPosition = r.endPosition;
    if (RaidSetSpec* set = RaidSetByPort(c, r.setPort)) {
        MarkRebuilt(c, *set,
                    c.spec.rebuild.completedStateFlags.value_or(
                        static_cast<std::uint8_t>(set->stateFlags & ~0x18u)));
    }
    if (c.spec.rebuild.completionEvent) {
        QueueEvent(*c.spec.rebuild.completionEvent, atMs);
    }
    changeFlag_ = true;
}

void ServiceEngine::AdvanceTo(std::uint64_t nowMs) {
    nowMs = std::max(nowMs, nowMs_);
    nowMs_ = nowMs;
    // Whatever fell due happens in the order of its moment, rebuilds finishing between
    // timeline entries, so that the queued events tell the story in the order the drives
    // and sets went through it. Each entry fires once per call: missed repetitions
    // collapse into one.
    using Due = std::pair<std::uint64_t, std::size_t>;  // moment, schedule or controller index
    for (;;) {
        std::optional<Due> entry;
        for (std::size_t i = 0; i < schedule_.size(); ++i) {
            const auto& at = schedule_[i].nextDueMs;
            if (at && *at <= nowMs && (!entry || Due{*at, i} < *entry)) {
                entry = Due{*at, i};
            }
        }
        std::optional<Due> rebuilt;
        for (std::size_t i = 0; i < controllers_.size(); ++i) {
            const auto at = CompletionMs(controllers_[i].rebuild);
            if (at && *at <= nowMs && (!rebuilt || Due{*at, i} < *rebuilt)) {
                rebuilt = Due{*at, i};
            }
        }
        if (rebuilt && (!entry || rebuilt->first <= entry->first)) {
            FinishRebuild(controllers_[rebuilt->second], rebuilt->first);
            continue;
        }
        if (!entry) {
            return;
        }
        const auto [at, i] = *entry;
        Fire(schedule_[i], at);
        Scheduled& item = schedule_[i];
        if (item.timing.everyMs == 0) {
            item.nextDueMs.reset();
        } else {
            const std::uint64_t periods = (nowMs - at) / item.timing.everyMs + 1;
            item.nextDueMs = at + periods * item.timing.everyMs;
        }
    }
}

void ServiceEngine::Fire(const Scheduled& item, std::uint64_t atMs) {
    switch (item.kind) {
        case Scheduled::Kind::Timeline: {
            const TimelineEntry& entry = scenario_.timeline[item.index];
            // The event's own change first; the entry's effects may refine it.
            if (entry.event) {
                ApplyEventState(*entry.event, atMs);
            }
            for (const Effect& effect : entry.effects) {
                ApplyEffect(effect, atMs);
            }
            if (entry.event) {
                QueueEvent(*entry.event, atMs);
            }
            if (entry.setChangeFlag) {
                changeFlag_ = true;
            }
            break;
        }
        case Scheduled::Kind::Log:
            PushLogEntry(scenario_.logEntries[item.index].entry, atMs);
            break;
        case Scheduled::Kind::Mail:
            PushMailFailure(scenario_.mailFailures[item.index].failure, atMs);
            break;
    }
}

void ServiceEngine::ApplyEffect(const Effect& e, std::uint64_t atMs) {
    Controller* c = FindController(e.controller);
    if (c == nullptr) {
        return;
    }
    auto drive = [&]() -> DriveSpec* {
        for (DriveSpec& d : c->spec.drives) {
            if (d.channel == e.channel && d.pmPort == e.pmPort) {
                return &d;
            }
        }
        return nullptr;
    };
    auto set = [&]() -> RaidSetSpec* {
        for (RaidSetSpec& s : c->spec.sets) {
            if (s.channel == e.channel && s.pmPort == e.pmPort) {
                return &s;
            }
        }
        return nullptr;
    };
    switch (e.kind) {
        case Effect::Kind::RemoveDrive:
        case Effect::Kind::RestoreDrive:
            if (DriveSpec* d = drive()) {
                d->present = e.kind == Effect::Kind::RestoreDrive;
            }
            break;
        case Effect::Kind::SetDrive:
            if (DriveSpec* d = drive()) {
                d->portState = e.portState.value_or(d->portState);
                d->smartFlags = e.smartFlags.value_or(d->smartFlags);
            }
            break;
        case Effect::Kind::RemoveSet:
        case Effect::Kind::RestoreSet:
            if (RaidSetSpec* s = set()) {
                s->present = e.kind == Effect::Kind::RestoreSet;
            }
            break;
        case Effect::Kind::SetSet:
            if (RaidSetSpec* s = set()) {
                s->stateFlags = e.stateFlags.value_or(s->stateFlags);
            }
            break;
        case Effect::Kind::StartRebuild: {
            const std::uint8_t setPort = e.setPort.value_or(c->spec.rebuild.setPort);
            StartRebuild(*c, setPort, e.position.value_or(c->spec.rebuild.startPosition), atMs);
            // The set shows the rebuild the status reports.
            if (RaidSetSpec* s = RaidSetByPort(*c, setPort)) {
                s->stateFlags |= 0x08;
            }
            break;
        }
        case Effect::Kind::StopRebuild:
            c->rebuild.lastPosition = PositionAt(c->rebuild, atMs);
            c->rebuild.active = false;
            break;
    }
    // Whether the service reports the change is the timeline entry's to say.
}

void ServiceEngine::QueueEvent(const EventSpec& event, std::uint64_t atMs) {
    if (events_.size() >= kQueueLimit) {
        events_.pop_front();
    }
    events_.emplace_back(WallTime(atMs), event);
}

void ServiceEngine::PushEvent(const EventSpec& event, std::uint64_t nowMs) {
    QueueEvent(event, nowMs);
    changeFlag_ = true;
}

void ServiceEngine::PushLogEntry(const LogEntrySpec& entry, std::uint64_t nowMs) {
    if (logEntries_.size() >= kQueueLimit) {
        logEntries_.pop_front();
    }
    logEntries_.emplace_back(WallTime(nowMs), entry);
}

void ServiceEngine::PushMailFailure(const MailFailureSpec& failure, std::uint64_t nowMs) {
    MailStatus status;
    status.time = failure.time.value_or(WallTime(nowMs));
    status.errorCode = failure.errorCode;
    status.nothingNew = 0;
    status.text = failure.text;
    pendingMail_ = status;
}

}  // namespace veltrix::sim
