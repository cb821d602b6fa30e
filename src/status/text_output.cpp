// The table for people: per controller its information, drives and RAID sets with
// the status texts the main window shows, then the verdict with what is not OK.

#include <algorithm>

#include "model/status_texts.h"
#include "status/failure_text.h"
#include "status/outputs.h"
#include "texts/format.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix::status {

namespace {

// Columns as wide as their widest cell, two blanks apart; the last one unpadded.
class Table {
  public:
    explicit Table(std::vector<std::string> header) { rows_.push_back(std::move(header)); }
    void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

    std::string Render(const std::string& indent) const {
        std::vector<std::size_t> widths;
        for (const auto& row : rows_) {
            widths.resize(std::max(widths.size(), row.size()));
            for (std::size_t i = 0; i < row.size(); ++i) {
                widths[i] = std::max(widths[i], row[i].size());
            }
        }
        std::string out;
        for (const auto& row : rows_) {
            std::string line = indent;
            for (std::size_t i = 0; i < row.size(); ++i) {
                line += row[i];
                if (i + 1 < row.size()) {
                    line.append(widths[i] - row[i].size() + 2, ' ');
                }
            }
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
            out += line + "\n";
        }
        return out;
    }

  private:
    std::vector<std::vector<std::string>> rows_;
};

std::string YesNo(bool yes) {
    return LoadString(yes ? ids::kYes : ids::kNo);
}

std::string ControllerText(const StatusReport& report, int c) {
    const Controller& controller = *report.table.GetController(c);
    const ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
    std::string out = Format("Controller %d: %s (PCI id %s:%s)\n", c, Printable(controller.Name()),
                             HexId(controller.VendorId()), HexId(controller.DeviceId()));
    out += Format("  Chipset %s, driver %s, BIOS %s; RAID 5 support: %s, JBOD support: %s",
                  Printable(controller.ChipName()), Printable(controller.DriverVersion()),
                  Printable(controller.BiosVersionText()), YesNo(controller.HasRaid5()),
                  YesNo(controller.HasJbod()));
    if (controller.HasPortMultiplier()) {
        out += ", PM support: ";
        out += YesNo(true);
    }
    out += "\n";

    const auto drives = FoundDrives(report.table, c);
    out += Format("  Drives (%d of %d found):\n", drives.size(), CountedDrives(controller));
    Table driveTable({"Port", "Model", "Serial", "Capacity", "Interface", "Status", "SMART"});
    for (const auto& [index, drive] : drives) {
        driveTable.Add({std::to_string(drive->Position()), Printable(drive->ModelNumber()),
                        Printable(drive->SerialNumber()), Printable(drive->CapacityText()),
                        Printable(drive->InterfaceText()), Printable(drive->PortStateText()),
                        Printable(drive->SmartStatusText())});
    }
    if (!drives.empty()) {
        out += driveTable.Render("    ");
    }

    const auto sets = FoundSets(report.table, c);
    out += Format("  RAID sets (%d of %d found):\n", sets.size(), CountedSets(controller));
    // "Set" is the number the main window shows beside the port ("-": the window lists
    // no non-RAID entries).
    Table setTable({"Set", "Port", "Type", "Chunk", "Members", "Capacity", "Status", "Rebuild"});
    for (const auto& [index, set] : sets) {
        const bool rebuilding = rebuild.set && rebuild.set->setIndex == index;
        setTable.Add({set->IsRaid() ? std::to_string(set->DeviceNumber()) : std::string("-"),
                      std::to_string(set->Port()), Printable(set->TypeText()),
                      Printable(ChunkSizeListText(set->ChunkSize())), Printable(set->MembersText()),
                      Printable(set->CapacityText()), Printable(set->StatusText()),
                      rebuilding ? RebuildSummary(*rebuild.set) : std::string("-")});
    }
    if (!sets.empty()) {
        out += setTable.Render("    ");
    }
    if (rebuild.raw.IsActive() && !rebuild.set) {
        out += Format("  A rebuild runs on a set at port %u that the controller does not list.\n",
                      rebuild.raw.setPort);
    }
    return out;
}

}  // namespace

std::string TextOutput(const StatusReport& report, const Health& health) {
    if (!report.Ok()) {
        return {};
    }
    std::string out =
        Format("Host %s: service version %s (%u), %d controller%s\n", Printable(report.host),
               VersionText(report.serviceConfig), report.serviceVersion, report.controllerCount,
               report.controllerCount == 1 ? "" : "s");
    if (report.controllerCount == 0) {
        out += LoadString(ids::kDriverNotFound) + "\n";
    }
    for (int c = 0; c < report.controllerCount; ++c) {
        if (report.table.GetController(c) != nullptr) {
            out += '\n';
            out += ControllerText(report, c);
        }
    }
    out += std::string("\nStatus: ") + LevelName(health.level) + "\n";
    for (const Finding& finding : health.findings) {
        out += std::string("  ") + LevelName(finding.level) + ": " + Printable(finding.text) + "\n";
    }
    return out;
}

std::string TextOutput(const std::vector<HostStatus>& hosts) {
    std::string out;
    Level worst = Level::Ok;
    for (const HostStatus& host : hosts) {
        out += host.report.Ok() ? TextOutput(host.report, host.health)
                                : Format("Host %s: no status: %s\n", Printable(host.report.host),
                                         FailureSentence(host.report));
        out += '\n';
        worst = Worse(worst, host.health.level);
    }
    return out + Format("Status of %d hosts: %s\n", hosts.size(), LevelName(worst));
}

}  // namespace veltrix::status
