#include "session/service_link.h"

#include <poll.h>

#include <cerrno>
#include <thread>

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

void ServiceLink::Pause(std::chrono::milliseconds duration) {
    if (pause) {
        pause(duration);
        return;
    }
    const WaitCanceller* canceller = pipe.Canceller();
    if (canceller == nullptr) {
        std::this_thread::sleep_for(duration);
        return;
    }
    // The canceller's descriptor turns readable when the program ends: the pause ends
    // with it.
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || canceller->IsCancelled()) {
            return;
        }
        pollfd p{canceller->Fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            return;
        }
    }
}

}  // namespace veltrix
