#include "session/service_link.h"

namespace veltrix {

bool ServiceLink::TakePipeBusy() {
    constexpr std::chrono::milliseconds kStep{100};
    for (int step = 0; pipeBusy && waitStep && step < busyWaitSteps; ++step) {
        waitStep(kStep);
    }
    if (pipeBusy) {
        return false;
    }
    pipeBusy = true;
    return true;
}

}  // namespace veltrix
