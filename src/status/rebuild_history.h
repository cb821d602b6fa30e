#pragma once
// Rebuild speed across runs. One run asks each controller's rebuild status once, which
// gives a position but no speed; with a state file the run keeps each running
// rebuild's position and time, and the next run works out the speed in bytes per
// second and the time left from the two samples.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "status/status_report.h"

namespace veltrix::status {

struct RebuildSample {
    std::string host;
    int controller = 0;
    std::uint8_t setPort = 0;
    std::uint64_t position = 0;  // sectors
    std::uint64_t capacity = 0;  // sectors
    std::int64_t timeMs = 0;     // milliseconds since the epoch
};

struct SpeedEstimate {
    std::optional<double> bytesPerSecond;
    std::optional<double> remainingSeconds;
};

// A sample older than this says nothing about the speed now.
inline constexpr std::int64_t kMaxSampleAgeMs = 3600 * 1000;

// Speed and time left from an earlier sample of the same rebuild and the position
// now. Nothing when the sample is from the future or too old, belongs to a set of
// another size, or lies ahead of the position (the rebuild started again). A
// rebuild that did not move has speed 0 and no time left to tell.
SpeedEstimate EstimateSpeed(const RebuildSample& earlier, std::uint64_t position,
                            std::uint64_t capacity, std::int64_t nowMs);

class RebuildHistory {
  public:
    // The samples in a state file. A missing file is an empty history; a file that
    // cannot be read or is not a state file is one too, with `warning` telling why.
    static RebuildHistory Load(const std::string& path, std::string& warning);
    // The state file's text of these samples.
    std::string Serialize() const;

    // Speed and time left of every running rebuild of the report that has a sample.
    void ApplyTo(StatusReport& report, std::int64_t nowMs) const;
    // The report's running rebuilds replace every sample of its host.
    void Record(const StatusReport& report, std::int64_t nowMs);

    const std::vector<RebuildSample>& Samples() const { return samples_; }

  private:
    std::vector<RebuildSample> samples_;
};

}  // namespace veltrix::status
