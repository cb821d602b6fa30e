// Enumeration and status records: the controllers, their drives and RAID sets, and
// the flags that tell the client something changed.

#include <algorithm>
#include <vector>

#include "servicesim/engine.h"
#include "servicesim/records.h"
#include "servicesim/request.h"

namespace veltrix::sim {

namespace {

// Addresses a controller can have: channels 0..7, port-multiplier ports 0..15.
bool ValidAddress(std::uint32_t channel, std::uint32_t pmPort) {
    return channel <= 7 && pmPort <= 15;
}

template <typename Spec>
const Spec* PresentAt(const std::vector<Spec>& specs, std::uint32_t channel, std::uint32_t pmPort) {
    for (const Spec& s : specs) {
        if (s.present && s.channel == channel && s.pmPort == pmPort) {
            return &s;
        }
    }
    return nullptr;
}

std::uint8_t ClampCount(std::ptrdiff_t n) {
    return static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(n, 255));
}

}  // namespace

void ServiceEngine::OnGetControllerCount(Request& request) {
    request.ReplyU32(ControllerCount());
}

void ServiceEngine::OnGetControllerInfo(Request& request) {
    const Controller* c = FindController(request.data.U32(0));
    if (c == nullptr) {
        request.Reply(std::vector<std::uint8_t>(kControllerInfoSize, 0));
        return;
    }
    const auto devices = std::count_if(c->spec.drives.begin(), c->spec.drives.end(),
                                       [](const DriveSpec& d) { return d.present; });
    const auto sets = std::count_if(c->spec.sets.begin(), c->spec.sets.end(),
                                    [](const RaidSetSpec& s) { return s.present; });
    request.Reply(EncodeControllerInfo(c->spec, c->spec.deviceCount.value_or(ClampCount(devices)),
                                       c->spec.raidSetCount.value_or(ClampCount(sets))));
}

void ServiceEngine::OnGetDevice(Request& request) {
    const Controller* c = FindController(request.data.U32(0));
    const std::uint32_t channel = request.data.U32(4);
    const std::uint32_t pmPort = request.data.U32(8);
    const DriveSpec* drive = c != nullptr && ValidAddress(channel, pmPort)
                                 ? PresentAt(c->spec.drives, channel, pmPort)
                                 : nullptr;
    request.Reply(drive != nullptr ? EncodeDeviceRecord(*drive)
                                   : std::vector<std::uint8_t>(kDeviceRecordSize, 0));
}

void ServiceEngine::OnGetRaidSet(Request& request) {
    const Controller* c = FindController(request.data.U32(0));
    const std::uint32_t channel = request.data.U32(4);
    const std::uint32_t pmPort = request.data.U32(8);
    const RaidSetSpec* set = c != nullptr && ValidAddress(channel, pmPort)
                                 ? PresentAt(c->spec.sets, channel, pmPort)
                                 : nullptr;
    request.Reply(set != nullptr ? EncodeRaidSetRecord(*set)
                                 : std::vector<std::uint8_t>(kRaidSetRecordSize, 0));
}

void ServiceEngine::OnGetChangeFlag(Request& request) {
    const std::uint8_t flag = changeFlag_ ? 1 : 0;
    changeFlag_ = false;
    request.Reply(std::span(&flag, 1));
}

void ServiceEngine::OnGetControllerFlag(Request& request) {
    const std::uint8_t zero = 0;
    request.Reply(std::span(&zero, 1));
}

}  // namespace veltrix::sim
