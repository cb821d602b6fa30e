#pragma once
// One drive on a port of a controller.

#include <array>
#include <cstdint>
#include <string>

#include "model/records.h"

namespace veltrix {

class Device {
  public:
    // position of a drive that the service reported as not present (and of a new one).
    static constexpr std::uint8_t kNoPosition = 0xFF;
    // Where the value a RAID set tests for its rebuild percentage lies in `extra`.
    static constexpr std::size_t kMemberExtraOffset = 108;

    Device() = default;
    explicit Device(std::uint32_t controller) : controller_(controller) {}

    // Stores the controller number; a record that is not present only sets the
    // position to kNoPosition, any other fills every field and text.
    void FillFromRecord(const DeviceRecord& record, std::uint32_t controller);

    // ATA serial number: the 20 IDENTIFY bytes from byte 20 as received (no byte
    // swapping), ending at the first NUL.
    std::string SerialNumber() const;
    // ATA model number: the 40 IDENTIFY bytes from byte 54, ending at the first NUL.
    std::string ModelNumber() const;
    // The uint64 at offset 108 of `extra`.
    std::uint64_t MemberExtraValue() const;

    // Texts made on demand from the codes.
    std::string PortStateText() const;
    std::string SmartStatusText() const;

    std::uint32_t ControllerNumber() const { return controller_; }
    std::uint8_t SmartFlags() const { return smartFlags_; }
    std::uint8_t Position() const { return position_; }
    std::uint64_t Capacity() const { return capacity_; }
    std::uint8_t SataGeneration() const { return sataGeneration_; }
    std::uint32_t PortState() const { return portState_; }
    const std::array<std::uint8_t, DeviceRecord::kExtraSize>& Extra() const { return extra_; }
    const std::string& InterfaceText() const { return interfaceText_; }
    const std::string& CapacityText() const { return capacityText_; }

  private:
    std::uint32_t controller_ = 0;
    std::uint8_t smartFlags_ = 0;
    std::uint8_t position_ = kNoPosition;
    std::uint64_t capacity_ = 0;
    std::uint8_t sataGeneration_ = 0;
    std::uint32_t portState_ = 0;
    std::array<std::uint8_t, DeviceRecord::kIdentifySize> identify_{};
    std::array<std::uint8_t, DeviceRecord::kExtraSize> extra_{};
    std::string interfaceText_;
    std::string capacityText_;
};

}  // namespace veltrix
