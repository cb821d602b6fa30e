// The JSON document: raw codes beside the program's own texts, for scripts.

#include <limits>
#include <nlohmann/json.hpp>

#include "model/status_texts.h"
#include "status/outputs.h"

namespace veltrix::status {

namespace {

using Json = nlohmann::ordered_json;

// Sizes in bytes stay exact integers while they fit 64 bits.
Json Bytes(std::uint64_t sectors) {
    if (sectors <= std::numeric_limits<std::uint64_t>::max() / 512) {
        return sectors * 512;
    }
    return SectorBytes(sectors);
}

Json Capacity(std::uint64_t sectors) {
    return {{"sectors", sectors}, {"bytes", Bytes(sectors)}, {"text", CapacityText(sectors)}};
}

template <typename T>
Json Optional(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json DriveDocument(int index, const Device& drive) {
    return {
        {"index", index},
        {"position", drive.Position()},
        {"channel", drive.Position() & 0x07},
        {"pmPort", (drive.Position() >> 4) & 0x0F},
        {"model", Printable(drive.ModelNumber())},
        {"serial", Printable(drive.SerialNumber())},
        {"capacity", Capacity(drive.Capacity())},
        {"interface",
         {{"sataGeneration", drive.SataGeneration()},
          {"text", Printable(drive.InterfaceText(), false)}}},
        {"portState", {{"code", drive.PortState()}, {"text", drive.PortStateText()}}},
        {"smart",
         {{"code", drive.SmartFlags()}, {"text", Printable(drive.SmartStatusText(), false)}}},
    };
}

Json SetDocument(int index, const RaidSet& set, const ControllerRebuild& rebuild) {
    Json members = Json::array();
    for (const std::uint8_t member : set.Members()) {
        if (member != RaidSet::kEmptyMember) {
            members.push_back(member);
        }
    }
    Json rebuildDocument = nullptr;
    if (rebuild.set && rebuild.set->setIndex == index) {
        const SetRebuild& r = *rebuild.set;
        rebuildDocument = {{"position", r.position},
                           {"percent", Optional(r.percent)},
                           {"percentText", r.percentText},
                           {"progressRatio", Optional(r.progressRatio)},
                           {"speedBytesPerSecond", Optional(r.speedBytesPerSecond)},
                           {"remainingSeconds", Optional(r.remainingSeconds)}};
    }
    return {
        {"index", index},
        {"port", set.Port()},
        {"isRaid", set.IsRaid()},
        {"type", {{"code", set.RaidType()}, {"text", Printable(set.TypeText(), false)}}},
        {"deviceNumber", set.DeviceNumber()},
        {"chunkSize",
         {{"sectors", set.ChunkSize()},
          {"bytes", set.ChunkSize() * 512u},
          {"text", ChunkSizePanelText(set.ChunkSize())}}},
        {"members", {{"ports", members}, {"text", set.MembersText()}}},
        {"driveCount", set.DriveCount()},
        {"capacity", Capacity(set.Capacity())},
        {"state", {{"code", set.StateFlags()}, {"text", Printable(set.StatusText(), false)}}},
        {"priority", set.Priority()},
        {"rebuild", rebuildDocument},
    };
}

Json ControllerDocument(const StatusReport& report, int c) {
    const Controller& controller = *report.table.GetController(c);
    const ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
    Json drives = Json::array();
    for (const auto& [index, drive] : FoundDrives(report.table, c)) {
        drives.push_back(DriveDocument(index, *drive));
    }
    Json sets = Json::array();
    for (const auto& [index, set] : FoundSets(report.table, c)) {
        sets.push_back(SetDocument(index, *set, rebuild));
    }
    return {
        {"index", c},
        {"name", Printable(controller.Name())},
        {"vendorId", controller.VendorId()},
        {"deviceId", controller.DeviceId()},
        {"vendorIdHex", HexId(controller.VendorId())},
        {"deviceIdHex", HexId(controller.DeviceId())},
        {"chipset", Printable(controller.ChipName(), false)},
        {"driverVersion", Printable(controller.DriverVersion())},
        {"biosVersion", Printable(controller.BiosVersionText())},
        {"channelCount", controller.ChannelCount()},
        {"features",
         {{"code", controller.Features()},
          {"jbod", controller.HasJbod()},
          {"raid5", controller.HasRaid5()},
          {"portMultiplier", controller.HasPortMultiplier()}}},
        {"driveCount", CountedDrives(controller)},
        {"setCount", CountedSets(controller)},
        {"rebuild",
         {{"active", rebuild.raw.IsActive()},
          {"setPort", rebuild.raw.setPort},
          {"position", rebuild.raw.position}}},
        {"drives", drives},
        {"sets", sets},
    };
}

Json Document(const StatusReport& report, const Health& health) {
    Json problems = Json::array();
    for (const Finding& finding : health.findings) {
        problems.push_back(
            {{"level", LevelName(finding.level)}, {"text", Printable(finding.text)}});
    }
    Json document = {
        {"schema", kJsonSchemaVersion},
        {"host", Printable(report.host)},
        {"ok", report.Ok()},
        {"error", nullptr},
        {"health", {{"level", LevelName(health.level)}, {"problems", problems}}},
        {"service", nullptr},
        {"controllers", Json::array()},
    };
    if (!report.Ok()) {
        document["error"] = {{"reason", FailureName(report.failure)},
                             {"message", Printable(report.failureMessage)}};
    } else {
        const ServiceConfig& config = report.serviceConfig;
        document["service"] = {{"version", VersionText(config)},
                               {"versionNumber", report.serviceVersion},
                               {"versionWords",
                                {config.versionMajor, config.versionMinor, config.versionBuild,
                                 config.versionRevision}}};
        for (int c = 0; c < report.controllerCount; ++c) {
            if (report.table.GetController(c) != nullptr) {
                document["controllers"].push_back(ControllerDocument(report, c));
            }
        }
    }
    return document;
}

std::string Dump(const Json& document) {
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string JsonOutput(const StatusReport& report, const Health& health) {
    return Dump(Document(report, health));
}

std::string JsonOutput(const std::vector<HostStatus>& hosts) {
    Json documents = Json::array();
    for (const HostStatus& host : hosts) {
        documents.push_back(Document(host.report, host.health));
    }
    return Dump({{"hosts", documents}});
}

std::string VersionText(const ServiceConfig& config) {
    return std::to_string(config.versionMajor) + "." + std::to_string(config.versionMinor) + "." +
           std::to_string(config.versionBuild) + "." + std::to_string(config.versionRevision);
}

double SectorBytes(std::uint64_t sectors) {
    return static_cast<double>(sectors) * 512.0;
}

}  // namespace veltrix::status
