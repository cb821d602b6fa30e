#pragma once
// The order of a controller's lists: channel by channel, and behind a port multiplier
// its ports 0-14 after the channel's own (a port number is channel + 16 * sub-port).

#include "model/controller.h"

namespace veltrix {

// Calls `found(port)` for each port in that order until it has returned true `count`
// times or every port was offered.
template <typename Found>
void ForEachPort(const Controller& controller, int count, Found found) {
    const int subPorts = controller.HasPortMultiplier() ? 15 : 1;
    int hits = 0;
    for (int channel = 0; channel < controller.ChannelCount() && hits < count; ++channel) {
        for (int sub = 0; sub < subPorts && hits < count; ++sub) {
            if (found(channel + 16 * sub)) {
                ++hits;
            }
        }
    }
}

}  // namespace veltrix
