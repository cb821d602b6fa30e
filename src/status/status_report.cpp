#include "status/status_report.h"

#include <QString>
#include <QSysInfo>
#include <algorithm>
#include <cstdio>
#include <limits>

#include "session/rebuild_figures.h"

namespace veltrix::status {

const char* FailureName(Failure failure) {
    switch (failure) {
        case Failure::None:
            return "";
        case Failure::Password:
            return "password";
        case Failure::Unreachable:
            return "unreachable";
        case Failure::Busy:
            return "busy";
        case Failure::ConnectFailed:
            return "connect_failed";
        case Failure::LoginRefused:
            return "login_refused";
        case Failure::Timeout:
            return "timeout";
        case Failure::ChannelError:
            return "channel_error";
        case Failure::Protocol:
            return "protocol_error";
    }
    return "unknown";
}

const char* FailureSummary(Failure failure) {
    switch (failure) {
        case Failure::None:
            return "status read";
        case Failure::Password:
            return "no password";
        case Failure::Unreachable:
            return "service not reachable";
        case Failure::Busy:
            return "service busy with another client";
        case Failure::ConnectFailed:
            return "connection to the service not possible";
        case Failure::LoginRefused:
            return "login refused (wrong password)";
        case Failure::Timeout:
            return "time-out";
        case Failure::ChannelError:
            return "transmission error";
        case Failure::Protocol:
            return "invalid reply from the service";
    }
    return "no status";
}

namespace {

// Whole percent of `position` over `capacity`, at most 100. The program's own
// percentage multiplies first in 64 bits; a position that large would wrap there.
std::uint32_t Percent(std::uint64_t position, std::uint64_t capacity) {
    if (position >= capacity) {
        return 100;
    }
    if (position <= std::numeric_limits<std::uint64_t>::max() / 100) {
        return static_cast<std::uint32_t>(position * 100 / capacity);
    }
    return static_cast<std::uint32_t>(position / (capacity / 100 + 1));
}

}  // namespace

void ResolveRebuilds(StatusReport& report) {
    for (int c = 0; c < report.controllerCount && c < ObjectTable::kMaxControllers; ++c) {
        ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
        rebuild.set.reset();
        if (!rebuild.raw.IsActive()) {
            continue;
        }
        for (const auto& [index, found] : FoundSets(report.table, c)) {
            if (found->Port() != rebuild.raw.setPort) {
                continue;
            }
            RaidSet* set = report.table.GetRaidSet(c, index);
            set->SetPosition(rebuild.raw.position);
            SetRebuild figures;
            figures.setIndex = index;
            figures.position = set->RebuildPosition();
            if (set->RebuildPercentText() == RaidSet::kUnknownPercent) {
                figures.percentText = RaidSet::kUnknownPercent;
            } else {
                const std::uint32_t percent = Percent(figures.position, set->Capacity());
                figures.percent = percent;
                figures.percentText = std::to_string(percent) + "%";
                figures.progressRatio = std::min(1.0, static_cast<double>(figures.position) /
                                                          static_cast<double>(set->Capacity()));
            }
            rebuild.set = figures;
            break;
        }
    }
}

std::string RebuildSummary(const SetRebuild& rebuild) {
    std::string text = rebuild.percentText;
    if (rebuild.speedBytesPerSecond) {
        text += ", " + Printable(SpeedText(
                           static_cast<float>(*rebuild.speedBytesPerSecond / (1024.0 * 1024.0))));
    }
    if (rebuild.remainingSeconds) {
        // Converted only below 2^63: a larger double does not fit the integer.
        const double minutes = *rebuild.remainingSeconds / 60.0;
        const std::uint64_t whole = minutes >= 0 && minutes < 9.2e18
                                        ? static_cast<std::uint64_t>(minutes)
                                        : std::numeric_limits<std::uint64_t>::max();
        text += ", " + DurationText(whole) + " left";
    }
    return text;
}

bool IsFound(const Device& device) {
    return device.Position() != Device::kNoPosition;
}

bool IsFound(const RaidSet& set) {
    // Filling a set always gives it a type text; a set the scan did not find has none.
    return !set.TypeText().empty();
}

int CountedDrives(const Controller& controller) {
    return ClampDeviceCount(controller.DeviceCount());
}

int CountedSets(const Controller& controller) {
    return ClampRaidSetCount(controller.RaidSetCount());
}

std::vector<Indexed<Device>> FoundDrives(const ObjectTable& table, int controller) {
    std::vector<Indexed<Device>> found;
    const Controller* owner = table.GetController(controller);
    if (owner == nullptr) {
        return found;
    }
    for (int d = 0; d < CountedDrives(*owner); ++d) {
        const Device* device = table.GetDevice(controller, d);
        if (device != nullptr && IsFound(*device)) {
            found.push_back({d, device});
        }
    }
    return found;
}

std::vector<Indexed<RaidSet>> FoundSets(const ObjectTable& table, int controller) {
    std::vector<Indexed<RaidSet>> found;
    const Controller* owner = table.GetController(controller);
    if (owner == nullptr) {
        return found;
    }
    for (int s = 0; s < CountedSets(*owner); ++s) {
        const RaidSet* set = table.GetRaidSet(controller, s);
        if (set != nullptr && IsFound(*set)) {
            found.push_back({s, set});
        }
    }
    return found;
}

std::string HexId(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(id));
    return text;
}

std::string MachineLabel(const std::string& host) {
    if (host != ".") {
        return Printable(host);
    }
    const std::string name = Printable(QSysInfo::machineHostName().toStdString());
    return name.empty() ? host : name;
}

std::string Printable(std::string_view text, bool trim) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out.push_back(byte >= 0x20 && byte < 0x7F ? c : '?');
    }
    if (trim) {
        const auto first = out.find_first_not_of(' ');
        if (first == std::string::npos) {
            return {};
        }
        out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    }
    return out;
}

PortRole ClassifyPortState(std::uint32_t portState) {
    if ((portState & 0x0001) == 0) {
        return PortRole::NoState;
    }
    if ((portState & 0x8000) != 0) {
        return PortRole::Orphaned;
    }
    const std::uint32_t role = portState & 0x1F00;
    if (role >= 0x1000) {
        return PortRole::Removed;
    }
    if (role >= 0x0800) {
        return PortRole::Dropped;
    }
    if (role >= 0x0400) {
        return PortRole::Striping;
    }
    if (role >= 0x0200) {
        return PortRole::Rebuild;
    }
    return role == 0x0100 ? PortRole::Current : PortRole::None;
}

bool IsGone(PortRole role) {
    return role == PortRole::Dropped || role == PortRole::Removed || role == PortRole::Orphaned;
}

SmartState ClassifySmart(std::uint8_t smartFlags) {
    if ((smartFlags & 0x04) != 0) {
        return SmartState::Ok;
    }
    return (smartFlags & 0x08) != 0 ? SmartState::Critical : SmartState::Unknown;
}

}  // namespace veltrix::status
