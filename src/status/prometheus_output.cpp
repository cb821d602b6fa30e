// Prometheus text exposition (format 0.0.4), for node exporter's textfile collector.
// Series are named by stable labels: the drive by its position (the port number the
// main window shows) and the set by its port (its number in the window is a label of
// veltrix_raid_set_info), so that a drive or set that comes and
// goes keeps its series and the others keep theirs.

#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "status/outputs.h"
#include "texts/format.h"

namespace veltrix::status {

namespace {

using Labels = std::vector<std::pair<std::string, std::string>>;

std::string EscapeLabel(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Number(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "+Inf" : "-Inf";
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string Number(std::uint64_t value) {
    return std::to_string(value);
}

// Metric families in the order they were first used, each with its help text.
class Exposition {
  public:
    void Describe(const std::string& name, const std::string& help) {
        if (families_.emplace(name, Family{help, {}}).second) {
            order_.push_back(name);
        }
    }
    void Add(const std::string& name, const Labels& labels, const std::string& value) {
        std::string line = name;
        if (!labels.empty()) {
            line += '{';
            for (std::size_t i = 0; i < labels.size(); ++i) {
                if (i != 0) {
                    line += ',';
                }
                line += labels[i].first;
                line += "=\"";
                line += EscapeLabel(labels[i].second);
                line += '"';
            }
            line += '}';
        }
        families_.at(name).samples.push_back(line + " " + value);
    }
    std::string Render() const {
        std::string out;
        for (const std::string& name : order_) {
            const Family& family = families_.at(name);
            if (family.samples.empty()) {
                continue;
            }
            out += "# HELP " + name + " " + family.help + "\n";
            out += "# TYPE " + name + " gauge\n";
            for (const std::string& sample : family.samples) {
                out += sample + "\n";
            }
        }
        return out;
    }

  private:
    struct Family {
        std::string help;
        std::vector<std::string> samples;
    };
    std::map<std::string, Family> families_;
    std::vector<std::string> order_;
};

void DescribeAll(Exposition& e) {
    e.Describe("veltrix_up", "1 when the status was read, 0 when not (reason tells why).");
    e.Describe("veltrix_service_info", "The monitoring service's version.");
    e.Describe("veltrix_controllers", "Controllers the service reports.");
    e.Describe("veltrix_controller_info", "A controller: name, chipset, driver and BIOS version.");
    e.Describe("veltrix_controller_drives", "Drives the controller counts.");
    e.Describe("veltrix_controller_drives_found", "Drives of the controller that were found.");
    e.Describe("veltrix_controller_raid_sets", "RAID sets the controller counts.");
    e.Describe("veltrix_controller_raid_sets_found",
               "RAID sets of the controller that were found.");
    e.Describe("veltrix_controller_rebuild_active", "1 while a rebuild runs on the controller.");
    e.Describe("veltrix_drive_info", "A drive: model, serial number, address and interface.");
    e.Describe("veltrix_drive_present",
               "1 for a drive that is there, 0 when its port state says dropped, removed or "
               "orphaned.");
    e.Describe("veltrix_drive_port_state", "Port state code of a drive; state is its text.");
    e.Describe("veltrix_drive_smart_flags", "SMART flags of a drive; status is Ok, Critical or -.");
    e.Describe("veltrix_drive_capacity_bytes", "Capacity of a drive in bytes.");
    e.Describe("veltrix_raid_set_info", "A RAID set: type and member ports.");
    e.Describe("veltrix_raid_set_state", "State flags of a RAID set; state is its text.");
    e.Describe("veltrix_raid_set_degraded", "1 while a RAID set is reduced or broken.");
    e.Describe("veltrix_raid_set_size_bytes", "Capacity of a RAID set in bytes.");
    e.Describe("veltrix_raid_set_members", "Member drives of a RAID set.");
    e.Describe("veltrix_raid_set_rebuild_active", "1 while a rebuild runs on the RAID set.");
    e.Describe("veltrix_raid_set_rebuild_progress_ratio",
               "Rebuild position over the set's capacity, 0 to 1.");
    e.Describe("veltrix_raid_set_rebuild_speed_bytes_per_second",
               "Rebuild speed since the previous run (needs --state-file).");
    e.Describe("veltrix_raid_set_rebuild_remaining_seconds",
               "Time the rebuild still needs at its speed (needs --state-file).");
}

// The label value of each entry's key, unique within the controller: a key the
// service gave twice gets the entry's index after it.
template <typename T, typename KeyOf>
std::vector<std::string> UniqueKeys(const std::vector<Indexed<T>>& entries, KeyOf keyOf) {
    std::vector<std::string> keys;
    std::set<std::string> seen;
    for (const auto& [index, object] : entries) {
        std::string key = std::to_string(keyOf(*object));
        if (!seen.insert(key).second) {
            key += '#';
            key += std::to_string(index);
        }
        keys.push_back(key);
    }
    return keys;
}

// `own`: the drive's host, controller and drive labels.
void AddDrive(Exposition& e, const Device& drive, const Labels& own) {
    Labels info = own;
    info.insert(info.end(), {{"model", Printable(drive.ModelNumber())},
                             {"serial", Printable(drive.SerialNumber())},
                             {"channel", std::to_string(drive.Position() & 0x07)},
                             {"pm_port", std::to_string((drive.Position() >> 4) & 0x0F)},
                             {"interface", Printable(drive.InterfaceText())}});
    e.Add("veltrix_drive_info", info, "1");
    const PortRole role = ClassifyPortState(drive.PortState());
    e.Add("veltrix_drive_present", own, IsGone(role) ? "0" : "1");
    Labels withState = own;
    withState.emplace_back("state", Printable(drive.PortStateText()));
    e.Add("veltrix_drive_port_state", withState, Number(std::uint64_t(drive.PortState())));
    Labels withStatus = own;
    withStatus.emplace_back("status", Printable(drive.SmartStatusText()));
    e.Add("veltrix_drive_smart_flags", withStatus, Number(std::uint64_t(drive.SmartFlags())));
    e.Add("veltrix_drive_capacity_bytes", own, Number(SectorBytes(drive.Capacity())));
}

// `own`: the set's host, controller and set labels; `rebuild` when the controller's
// rebuild runs on this set.
void AddRaidSet(Exposition& e, const RaidSet& set, const SetRebuild* rebuild, const Labels& own) {
    Labels info = own;
    info.insert(info.end(),
                {{"type", Printable(set.TypeText())},
                 {"members", Printable(set.MembersText())},
                 // The window lists no non-RAID entries, so they have no number there.
                 {"number", set.IsRaid() ? std::to_string(set.DeviceNumber()) : std::string()}});
    e.Add("veltrix_raid_set_info", info, "1");
    Labels withState = own;
    withState.emplace_back("state", Printable(set.StatusText()));
    e.Add("veltrix_raid_set_state", withState, Number(std::uint64_t(set.StateFlags())));
    e.Add("veltrix_raid_set_degraded", own,
          (set.StateFlags() & kDegradedStateBits) != 0 ? "1" : "0");
    e.Add("veltrix_raid_set_size_bytes", own, Number(SectorBytes(set.Capacity())));
    e.Add("veltrix_raid_set_members", own, Number(std::uint64_t(set.MemberCount())));
    e.Add("veltrix_raid_set_rebuild_active", own, rebuild != nullptr ? "1" : "0");
    if (rebuild == nullptr) {
        return;
    }
    if (rebuild->progressRatio) {
        e.Add("veltrix_raid_set_rebuild_progress_ratio", own, Number(*rebuild->progressRatio));
    }
    if (rebuild->speedBytesPerSecond) {
        e.Add("veltrix_raid_set_rebuild_speed_bytes_per_second", own,
              Number(*rebuild->speedBytesPerSecond));
    }
    if (rebuild->remainingSeconds) {
        e.Add("veltrix_raid_set_rebuild_remaining_seconds", own,
              Number(*rebuild->remainingSeconds));
    }
}

void AddController(Exposition& e, const StatusReport& report, int c, const std::string& host) {
    const Controller& controller = *report.table.GetController(c);
    const ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
    const std::string index = std::to_string(c);
    const Labels labels{{"host", host}, {"controller", index}};
    const auto drives = FoundDrives(report.table, c);
    const auto sets = FoundSets(report.table, c);

    e.Add("veltrix_controller_info",
          {{"host", host},
           {"controller", index},
           {"name", Printable(controller.Name())},
           {"chipset", Printable(controller.ChipName())},
           {"driver_version", Printable(controller.DriverVersion())},
           {"bios_version", Printable(controller.BiosVersionText())},
           {"vendor_id", HexId(controller.VendorId())},
           {"device_id", HexId(controller.DeviceId())}},
          "1");
    e.Add("veltrix_controller_drives", labels, Number(std::uint64_t(CountedDrives(controller))));
    e.Add("veltrix_controller_drives_found", labels, Number(std::uint64_t(drives.size())));
    e.Add("veltrix_controller_raid_sets", labels, Number(std::uint64_t(CountedSets(controller))));
    e.Add("veltrix_controller_raid_sets_found", labels, Number(std::uint64_t(sets.size())));
    e.Add("veltrix_controller_rebuild_active", labels, rebuild.raw.IsActive() ? "1" : "0");

    const auto driveKeys = UniqueKeys(drives, [](const Device& d) { return d.Position(); });
    for (std::size_t i = 0; i < drives.size(); ++i) {
        AddDrive(e, *drives[i].object,
                 {{"host", host}, {"controller", index}, {"drive", driveKeys[i]}});
    }
    const auto setKeys = UniqueKeys(sets, [](const RaidSet& s) { return s.Port(); });
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const bool rebuilding = rebuild.set && rebuild.set->setIndex == sets[i].index;
        AddRaidSet(e, *sets[i].object, rebuilding ? &*rebuild.set : nullptr,
                   {{"host", host}, {"controller", index}, {"set", setKeys[i]}});
    }
}

void AddReport(Exposition& e, const StatusReport& report) {
    const std::string host = MachineLabel(report.host);
    if (!report.Ok()) {
        e.Add("veltrix_up", {{"host", host}, {"reason", FailureName(report.failure)}}, "0");
        return;
    }
    e.Add("veltrix_up", {{"host", host}}, "1");
    e.Add("veltrix_service_info", {{"host", host}, {"version", VersionText(report.serviceConfig)}},
          "1");
    e.Add("veltrix_controllers", {{"host", host}},
          Number(std::uint64_t(static_cast<unsigned>(report.controllerCount))));
    for (int c = 0; c < report.controllerCount; ++c) {
        if (report.table.GetController(c) != nullptr) {
            AddController(e, report, c, host);
        }
    }
}

}  // namespace

std::string PrometheusOutput(const StatusReport& report) {
    Exposition e;
    DescribeAll(e);
    AddReport(e, report);
    return e.Render();
}

std::string PrometheusOutput(const std::vector<HostStatus>& hosts) {
    Exposition e;
    DescribeAll(e);
    for (const HostStatus& host : hosts) {
        AddReport(e, host.report);
    }
    return e.Render();
}

}  // namespace veltrix::status
