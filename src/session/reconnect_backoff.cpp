#include "session/reconnect_backoff.h"

#include <algorithm>

namespace veltrix {

int ReconnectBackoff::NextDelayMs() {
    const int doublings = std::min(tries_, 8);  // 10 s * 2^5 passes the cap already
    ++tries_;
    const int base = std::min(kFirstDelayMs << doublings, kMaxDelayMs);
    if (doublings == 0) {
        return base;  // the first try keeps the connection rules' 10 s
    }
    const int spread = base * kJitterPercent / 100;
    std::uniform_int_distribution<int> jitter(-spread, spread);
    return std::min(base + jitter(random_), kMaxDelayMs);  // never beyond 5 minutes
}

}  // namespace veltrix
