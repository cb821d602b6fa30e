#include "protocol/bounded_receiver.h"

#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>

#include "protocol/service_channel.h"

namespace veltrix {

namespace {

// A receive on a socket the canceller cannot shut looks at the canceller this often.
constexpr long long kSliceMs = 100;
// A wait without a deadline keeps any time-out at least this long (it just loops).
constexpr long long kShortestUnboundedMs = 1000;

bool Cancelled(const WaitCanceller* canceller) {
    return canceller != nullptr && canceller->IsCancelled();
}

}  // namespace

void BoundedReceiver::Reset(int fd) {
    fd_ = fd;
    appliedMs_ = 0;
}

bool BoundedReceiver::BoundBy(Clock::time_point deadline) {
    long long wanted = 0;  // none
    if (deadline != kNoDeadline) {
        wanted = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (wanted <= 0) {
            return false;
        }
    }
    if (!cancelAttached_) {
        wanted = wanted == 0 ? kSliceMs : std::min(wanted, kSliceMs);
    }
    // A time-out no longer than the wait and not much shorter serves as it is: a
    // receive that ends early just receives again. So waits of a few different bounds
    // take turns without a setsockopt each.
    const bool fits = wanted == 0
                          ? (appliedMs_ == 0 || appliedMs_ >= kShortestUnboundedMs)
                          : (appliedMs_ != 0 && appliedMs_ <= wanted && appliedMs_ * 4 >= wanted);
    if (!fits) {
        timeval bound{static_cast<time_t>(wanted / 1000),
                      static_cast<suseconds_t>((wanted % 1000) * 1000)};
        if (::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof(bound)) != 0) {
            ThrowChannelError();
        }
        appliedMs_ = wanted;
    }
    return true;
}

BoundedReceiver::Received BoundedReceiver::Receive(void* buffer, std::size_t size, int flags,
                                                   Clock::time_point deadline,
                                                   const WaitCanceller* canceller) {
    const bool waits = (flags & MSG_DONTWAIT) == 0;
    for (;;) {
        if (Cancelled(canceller)) {
            ThrowChannelError(win32::ERROR_OPERATION_ABORTED);
        }
        if (waits && !BoundBy(deadline)) {
            return {.timedOut = true};
        }
        const ssize_t got = ::recv(fd_, buffer, size, flags);
        const int error = errno;
        // Cancellation wins over a message: the caller asked to stop. A cancel also
        // ends the receive with 0 (the reading side was shut down).
        if (Cancelled(canceller)) {
            ThrowChannelError(win32::ERROR_OPERATION_ABORTED);
        }
        if (got > 0) {
            return {.bytes = static_cast<std::size_t>(got)};
        }
        if (got == 0) {
            return {.closed = true};
        }
        if (error == EAGAIN || error == EWOULDBLOCK) {
            if (!waits || Clock::now() >= deadline) {
                return {.timedOut = true};
            }
        } else if (error != EINTR) {
            errno = error;
            ThrowChannelError();
        }
    }
}

}  // namespace veltrix
