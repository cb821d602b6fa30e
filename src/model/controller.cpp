#include "model/controller.h"

#include <algorithm>

#include "model/status_texts.h"

namespace veltrix {

void Controller::FillFromInfo(const ControllerInfo& info) {
    vendorId_ = info.vendorId;
    deviceId_ = info.deviceId;
    chipName_ = ChipsetText(vendorId_, deviceId_);

    deviceCount_ = info.deviceCount;
    raidSetCount_ = info.raidSetCount;
    channelCount_ = info.channelCount;

    // The name is padded with blanks: drop the trailing ones, walking back from the
    // last byte until the first non-blank.
    std::copy(info.name.begin(), info.name.end(), name_.begin());
    name_.back() = '\0';
    for (std::size_t i = ControllerInfo::kNameSize; i-- > 0 && name_[i] == ' ';) {
        name_[i] = '\0';
    }

    biosVersionText_ = veltrix::BiosVersionText(info.biosVersion);

    features_ = 0;
    if (info.jbod != 0)
        features_ |= kFeatureJbod;
    if (info.raid5 != 0)
        features_ |= kFeatureRaid5;
    if (info.portMultiplier != 0)
        features_ |= kFeaturePortMultiplier;

    std::copy(info.driverVersion.begin(), info.driverVersion.end(), driverVersion_.begin());
    driverVersion_.back() = '\0';

    devicePresence_ = 0;
}

void Controller::SetDevicePresent(std::uint8_t position, bool present) {
    const unsigned channel = position & 0x07u;
    const unsigned port = (position >> 4) & 0x0Fu;
    if (channel >= kPresenceChannels) {
        return;
    }
    const std::uint64_t bit = std::uint64_t{1} << (channel * 16 + port);
    if (present) {
        devicePresence_ |= bit;
    } else {
        devicePresence_ &= ~bit;
    }
}

std::uint32_t Controller::ChannelPresence(unsigned channel) const {
    if (channel >= kPresenceChannels) {
        return 0;
    }
    return static_cast<std::uint32_t>(devicePresence_ >> (channel * 16));
}

}  // namespace veltrix
