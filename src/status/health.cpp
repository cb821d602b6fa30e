#include "status/health.h"

#include <algorithm>

#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix::status {

namespace {

const char* RoleName(PortRole role) {
    switch (role) {
        case PortRole::NoState:
            return "not set";
        case PortRole::None:
            return "None";
        case PortRole::Current:
            return "Current";
        case PortRole::Rebuild:
            return "Rebuild";
        case PortRole::Striping:
            return "Striping";
        case PortRole::Dropped:
            return "Dropped";
        case PortRole::Removed:
            return "Removed";
        case PortRole::Orphaned:
            return "Orphaned";
    }
    return "?";
}

std::string DriveLabel(int controller, const Device& drive) {
    std::string label = Format("controller %d drive at port %u", controller, drive.Position());
    const std::string model = Printable(drive.ModelNumber());
    const std::string serial = Printable(drive.SerialNumber());
    if (!model.empty() || !serial.empty()) {
        label += " (" + model + (model.empty() || serial.empty() ? "" : " ") + serial + ")";
    }
    return label;
}

std::string SetLabel(int controller, const RaidSet& set) {
    // The number the main window shows beside the set; it lists no non-RAID entries.
    const std::string number = set.IsRaid() ? " " + std::to_string(set.DeviceNumber()) : "";
    return Format("controller %d set%s at port %u (%s)", controller, number, set.Port(),
                  Printable(set.TypeText()));
}

std::string StateText(const RaidSet& set) {
    const std::string text = Printable(set.StatusText());
    return text.empty() ? Format("state 0x%02X", set.StateFlags()) : text;
}

void EvaluateDrives(const StatusReport& report, int c, Health& health) {
    const Controller& controller = *report.table.GetController(c);
    const auto drives = FoundDrives(report.table, c);
    const int counted = CountedDrives(controller);
    health.drives += static_cast<int>(drives.size());
    if (static_cast<int>(drives.size()) < counted) {
        health.findings.push_back({Level::Critical, Format("controller %d: %d of %d drives found",
                                                           c, drives.size(), counted)});
    }
    for (const auto& [index, drive] : drives) {
        const PortRole role = ClassifyPortState(drive->PortState());
        if (role != PortRole::Current) {
            ++health.drivesNotCurrent;
            const Level level = IsGone(role) ? Level::Critical : Level::Warning;
            const std::string what = IsGone(role) ? std::string(" gone (") + RoleName(role) + ")"
                                                  : std::string(" port state ") + RoleName(role);
            health.findings.push_back({level, DriveLabel(c, *drive) + what});
        }
        switch (ClassifySmart(drive->SmartFlags())) {
            case SmartState::Ok:
                break;
            case SmartState::Critical:
                health.findings.push_back({Level::Critical, DriveLabel(c, *drive) + " SMART " +
                                                                LoadString(ids::kSmartCritical)});
                break;
            case SmartState::Unknown:
                health.findings.push_back(
                    {Level::Warning, DriveLabel(c, *drive) + " SMART status not Ok"});
                break;
        }
    }
}

void EvaluateSets(const StatusReport& report, int c, Health& health) {
    const Controller& controller = *report.table.GetController(c);
    const auto sets = FoundSets(report.table, c);
    const int counted = CountedSets(controller);
    health.sets += static_cast<int>(sets.size());
    if (static_cast<int>(sets.size()) < counted) {
        health.findings.push_back(
            {Level::Critical,
             Format("controller %d: %d of %d RAID sets found", c, sets.size(), counted)});
    }
    const ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
    for (const auto& [index, set] : sets) {
        const bool rebuilding = rebuild.set && rebuild.set->setIndex == index;
        const std::uint8_t flags = set->StateFlags();
        if (flags != 0) {
            ++health.setsNotReady;
        }
        const std::string rebuildText =
            rebuilding ? ", rebuild " + RebuildSummary(*rebuild.set) : std::string();
        if ((flags & kDegradedStateBits) != 0) {
            health.findings.push_back(
                {rebuilding ? Level::Warning : Level::Critical,
                 SetLabel(c, *set) + " " + StateText(*set) +
                     (rebuilding ? rebuildText : std::string(", no rebuild running"))});
        } else if (flags != 0) {
            health.findings.push_back(
                {Level::Warning, SetLabel(c, *set) + " " + StateText(*set) + rebuildText});
        } else if (rebuilding) {
            health.findings.push_back({Level::Warning, SetLabel(c, *set) + rebuildText});
        }
    }
    if (rebuild.raw.IsActive()) {
        ++health.rebuilds;
        if (!rebuild.set) {
            health.findings.push_back(
                {Level::Warning, Format("controller %d: a rebuild runs on a set at port %u that "
                                        "the controller does not list",
                                        c, rebuild.raw.setPort)});
        }
    }
}

}  // namespace

Level Worse(Level a, Level b) {
    static constexpr int kRank[] = {0, 1, 3,
                                    2};  // by Level's value: Ok, Warning, Critical, Unknown
    return kRank[static_cast<int>(a)] >= kRank[static_cast<int>(b)] ? a : b;
}

const char* LevelName(Level level) {
    switch (level) {
        case Level::Ok:
            return "OK";
        case Level::Warning:
            return "WARNING";
        case Level::Critical:
            return "CRITICAL";
        case Level::Unknown:
            return "UNKNOWN";
    }
    return "UNKNOWN";
}

Health Evaluate(const StatusReport& report) {
    Health health;
    if (!report.Ok()) {
        health.level = Level::Unknown;
        health.findings.push_back({Level::Unknown, report.failureMessage});
        return health;
    }
    if (report.controllerCount == 0) {
        // The service runs but sees no controller: nothing is watched any more.
        health.findings.push_back(
            {Level::Warning, "no controllers: " + LoadString(ids::kDriverNotFound)});
    }
    for (int c = 0; c < report.controllerCount; ++c) {
        if (report.table.GetController(c) == nullptr) {
            continue;
        }
        EvaluateDrives(report, c, health);
        EvaluateSets(report, c, health);
    }
    std::stable_sort(health.findings.begin(), health.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.level > b.level; });
    health.level = health.findings.empty() ? Level::Ok : health.findings.front().level;
    return health;
}

}  // namespace veltrix::status
