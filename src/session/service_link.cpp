#include "session/service_link.h"

#include <thread>

namespace veltrix {

bool ServiceLink::TakePipeBusy() {
    constexpr std::chrono::milliseconds kStep{100};
    for (int step = 0; pipeBusy && step < busyWaitSteps; ++step) {
        if (waitStep) {
            waitStep(kStep);
        } else {
            std::this_thread::sleep_for(kStep);
        }
    }
    if (pipeBusy) {
        return false;
    }
    pipeBusy = true;
    return true;
}

}  // namespace veltrix
