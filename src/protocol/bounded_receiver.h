#pragma once
// One receive on a blocking socket, bounded in time and ended by a canceller, in one
// system call: the bound is the socket's receive time-out (SO_RCVTIMEO) and the
// canceller shuts the socket's reading side down (WaitCanceller::Attach), so no
// poll() comes before the recv(). The time-out set on the socket is remembered and
// changed only when a wait needs a much different one.

#include <chrono>
#include <cstddef>

#include "protocol/wait_canceller.h"

namespace veltrix {

class BoundedReceiver {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

    struct Received {
        std::size_t bytes = 0;
        bool closed = false;    // the peer has closed its end
        bool timedOut = false;  // the deadline passed without a message
    };

    // A new socket: its time-out is the system's default (none).
    void Reset(int fd);
    // Whether a cancel shuts the socket (WaitCanceller::Attach) or there is no canceller.
    void SetCancelAttached(bool attached) { cancelAttached_ = attached; }

    // recv(2) of up to `size` bytes with `flags`, waiting until `deadline`. Throws
    // ChannelError 995 when the canceller is (or becomes) cancelled, also when bytes
    // came; other failures throw their mapped code.
    Received Receive(void* buffer, std::size_t size, int flags, Clock::time_point deadline,
                     const WaitCanceller* canceller);

  private:
    // Sets the socket's time-out so that a receive ends by `deadline`; false when the
    // deadline has passed.
    bool BoundBy(Clock::time_point deadline);
    int fd_ = -1;
    // Without a place in the canceller, receives end every kSliceMs to look at it.
    bool cancelAttached_ = false;
    // The socket's receive time-out in ms (0: none).
    long long appliedMs_ = 0;
};

}  // namespace veltrix
