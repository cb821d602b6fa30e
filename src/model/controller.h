#pragma once
// One RAID controller of the host as the service describes it.

#include <array>
#include <cstdint>
#include <string>

#include "model/records.h"

namespace veltrix {

class Controller {
  public:
    // Bits of features().
    static constexpr std::uint8_t kFeatureJbod = 0x01;
    static constexpr std::uint8_t kFeatureRaid5 = 0x02;
    static constexpr std::uint8_t kFeaturePortMultiplier = 0x04;
    // devicePresence has 16 bits per channel and room for channels 0-3.
    static constexpr unsigned kPresenceChannels = 4;

    // Takes everything from the record and forgets which drive addresses were seen.
    void FillFromInfo(const ControllerInfo& info);

    // Sets or clears the presence bit of a drive address (bits 0-2 channel, bits 4-7
    // port-multiplier port). Addresses on channels 4-7 have no bit and are ignored.
    void SetDevicePresent(std::uint8_t position, bool present);
    // Presence bits of one channel: bit k is port-multiplier port k. 0 for channels
    // without bits.
    std::uint32_t ChannelPresence(unsigned channel) const;

    const std::string& ChipName() const { return chipName_; }
    std::uint16_t VendorId() const { return vendorId_; }
    std::uint16_t DeviceId() const { return deviceId_; }
    // The record's name without trailing blanks (at most 20 characters).
    std::string Name() const { return std::string(name_.data()); }
    // The four characters of the driver version as received.
    std::string DriverVersion() const { return std::string(driverVersion_.data()); }
    const std::string& BiosVersionText() const { return biosVersionText_; }
    std::uint16_t DeviceCount() const { return deviceCount_; }
    std::uint16_t RaidSetCount() const { return raidSetCount_; }
    std::uint16_t ChannelCount() const { return channelCount_; }
    std::uint64_t DevicePresence() const { return devicePresence_; }
    std::uint8_t Features() const { return features_; }
    bool HasJbod() const { return (features_ & kFeatureJbod) != 0; }
    bool HasRaid5() const { return (features_ & kFeatureRaid5) != 0; }
    bool HasPortMultiplier() const { return (features_ & kFeaturePortMultiplier) != 0; }

  private:
    std::string chipName_;
    std::uint16_t vendorId_ = 0;
    std::uint16_t deviceId_ = 0;
    // Fixed-size: the name is cut to the record's 20 bytes and ends at the first NUL.
    std::array<char, ControllerInfo::kNameSize + 1> name_{};
    std::array<char, ControllerInfo::kDriverVersionSize + 1> driverVersion_{};
    std::string biosVersionText_;
    std::uint16_t deviceCount_ = 0;
    std::uint16_t raidSetCount_ = 0;
    std::uint16_t channelCount_ = 0;
    std::uint64_t devicePresence_ = 0;
    std::uint8_t features_ = 0;
};

}  // namespace veltrix
