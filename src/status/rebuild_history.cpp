#include "status/rebuild_history.h"

#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

namespace veltrix::status {

namespace {

constexpr int kStateSchema = 1;
// A state file holds a few samples per host; anything this large is not one.
constexpr std::streamoff kMaxStateFileSize = 1 << 20;
constexpr double kSectorBytes = 512.0;

using Json = nlohmann::json;

template <typename T>
bool ReadNumber(const Json& object, const char* key, T& out) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) {
        return false;
    }
    if constexpr (std::is_unsigned_v<T>) {
        if (found->is_number_unsigned()) {
            const auto value = found->get<std::uint64_t>();
            if (value > std::numeric_limits<T>::max()) {
                return false;
            }
            out = static_cast<T>(value);
            return true;
        }
        return false;
    } else {
        const auto value = found->get<std::int64_t>();
        if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
            return false;
        }
        out = static_cast<T>(value);
        return true;
    }
}

}  // namespace

SpeedEstimate EstimateSpeed(const RebuildSample& earlier, std::uint64_t position,
                            std::uint64_t capacity, std::int64_t nowMs) {
    SpeedEstimate estimate;
    if (nowMs <= earlier.timeMs || nowMs - earlier.timeMs > kMaxSampleAgeMs ||
        earlier.capacity != capacity || position < earlier.position) {
        return estimate;
    }
    const double seconds = static_cast<double>(nowMs - earlier.timeMs) / 1000.0;
    const double speed = static_cast<double>(position - earlier.position) * kSectorBytes / seconds;
    estimate.bytesPerSecond = speed;
    if (speed > 0) {
        const std::uint64_t left = capacity > position ? capacity - position : 0;
        estimate.remainingSeconds = static_cast<double>(left) * kSectorBytes / speed;
    }
    return estimate;
}

RebuildHistory RebuildHistory::Load(const std::string& path, std::string& warning) {
    RebuildHistory history;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return history;  // no state yet
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxStateFileSize) {
        warning = "state file " + path + " is too large; starting without rebuild samples";
        return history;
    }
    in.seekg(0);
    std::ostringstream text;
    text << in.rdbuf();
    const Json document = Json::parse(text.str(), nullptr, false);
    int schema = 0;
    if (document.is_discarded() || !document.is_object() ||
        !ReadNumber(document, "schema", schema) || schema != kStateSchema ||
        !document.contains("samples") || !document["samples"].is_array()) {
        warning = "state file " + path + " is not a veltrix-status state file; starting afresh";
        return history;
    }
    for (const Json& entry : document["samples"]) {
        RebuildSample sample;
        const auto host = entry.is_object() ? entry.find("host") : entry.end();
        if (!entry.is_object() || host == entry.end() || !host->is_string() ||
            !ReadNumber(entry, "controller", sample.controller) ||
            !ReadNumber(entry, "setPort", sample.setPort) ||
            !ReadNumber(entry, "position", sample.position) ||
            !ReadNumber(entry, "capacity", sample.capacity) ||
            !ReadNumber(entry, "timeMs", sample.timeMs)) {
            warning = "state file " + path + " has a sample that cannot be read; it is left out";
            continue;
        }
        sample.host = host->get<std::string>();
        history.samples_.push_back(std::move(sample));
    }
    return history;
}

std::string RebuildHistory::Serialize() const {
    Json samples = Json::array();
    for (const RebuildSample& s : samples_) {
        samples.push_back({{"host", s.host},
                           {"controller", s.controller},
                           {"setPort", s.setPort},
                           {"position", s.position},
                           {"capacity", s.capacity},
                           {"timeMs", s.timeMs}});
    }
    const Json document = {{"schema", kStateSchema}, {"samples", samples}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

void RebuildHistory::ApplyTo(StatusReport& report, std::int64_t nowMs) const {
    for (int c = 0; c < report.controllerCount; ++c) {
        ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
        if (!rebuild.set) {
            continue;
        }
        const RaidSet* set = report.table.GetRaidSet(c, rebuild.set->setIndex);
        for (const RebuildSample& sample : samples_) {
            if (sample.host == report.host && sample.controller == c &&
                sample.setPort == rebuild.raw.setPort && set != nullptr) {
                const SpeedEstimate estimate =
                    EstimateSpeed(sample, rebuild.set->position, set->Capacity(), nowMs);
                rebuild.set->speedBytesPerSecond = estimate.bytesPerSecond;
                rebuild.set->remainingSeconds = estimate.remainingSeconds;
                break;
            }
        }
    }
}

void RebuildHistory::Record(const StatusReport& report, std::int64_t nowMs) {
    std::erase_if(samples_, [&report](const RebuildSample& s) { return s.host == report.host; });
    for (int c = 0; c < report.controllerCount; ++c) {
        const ControllerRebuild& rebuild = report.rebuilds[static_cast<std::size_t>(c)];
        const RaidSet* set =
            rebuild.set ? report.table.GetRaidSet(c, rebuild.set->setIndex) : nullptr;
        if (set == nullptr) {
            continue;
        }
        samples_.push_back(
            {report.host, c, rebuild.raw.setPort, rebuild.set->position, set->Capacity(), nowMs});
    }
}

}  // namespace veltrix::status
