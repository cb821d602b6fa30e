#include "model/device.h"

#include "model/status_texts.h"
#include "protocol/bytes.h"

namespace veltrix {

void Device::FillFromRecord(const DeviceRecord& record, std::uint32_t controller) {
    controller_ = controller;
    if (record.present == 0) {
        position_ = kNoPosition;
        return;
    }
    position_ = record.position;
    smartFlags_ = record.smartFlags;
    sataGeneration_ = record.sataGeneration;
    portState_ = record.portState;
    interfaceText_ = veltrix::InterfaceText(record.linkFlags, record.sataGeneration);

    capacity_ = record.Capacity();
    identify_ = record.identify;
    extra_ = record.extra;
    capacityText_ = veltrix::CapacityText(capacity_);
}

std::string Device::SerialNumber() const {
    return ByteView(identify_).Text(20, 20);
}

std::string Device::ModelNumber() const {
    return ByteView(identify_).Text(54, 40);
}

std::uint64_t Device::MemberExtraValue() const {
    return ByteView(extra_).U64(kMemberExtraOffset);
}

std::string Device::PortStateText() const {
    return veltrix::PortStateText(portState_);
}

std::string Device::SmartStatusText() const {
    return veltrix::SmartStatusText(smartFlags_);
}

}  // namespace veltrix
