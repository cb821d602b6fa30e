#pragma once
// The state every exchange with the service shares: the one channel, the one message
// buffer, the busy flag that keeps exchanges from interleaving, the count of replies
// that did not come, and the text error paths build their message in.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "protocol/protocol.h"
#include "protocol/service_channel.h"

namespace veltrix {

struct ServiceLink {
    ServiceChannel pipe;
    ServiceMessage message;

    // Set while an exchange that must not be interleaved uses `message`. It guards
    // against re-entry on the thread that owns the link, not against other threads.
    bool pipeBusy = false;
    // Set while a BIOS update talks to the service: the poll cycle stays away.
    bool flashBusy = false;
    // Replies that did not come in time, counted by the poll cycle and the log request.
    int failureCounter = 0;
    // Of those, the replies that did not come at all (no reply in time, or the
    // channel failed): only these make the mail-only poll give the service up.
    int missedReplies = 0;
    std::string lastMessage;

    // How long the poll cycle and the log request wait for a reply.
    std::uint32_t replyTimeoutMs = 10000;

    // How a function waits for `pipeBusy` to clear: one step of 100 ms, at most
    // busyWaitSteps of them. Without a step function nothing waits: on the session's
    // thread the owner of the flag sits lower on the same stack, where no amount of
    // waiting releases it.
    std::function<void(std::chrono::milliseconds)> waitStep;
    int busyWaitSteps = 100;  // 10 s

    // How a conversation pauses while the service prepares its replies: without a
    // function of its own (tests put one in), real time on the calling thread, ended
    // early when the channel's waits are cancelled.
    std::function<void(std::chrono::milliseconds)> pause;
    void Pause(std::chrono::milliseconds duration);

    // Writes the request in `message` as one message (throws ChannelError).
    void SendMessage() { pipe.Write(message.raw.data(), message.WireSize()); }
    // Reads one reply into `message`, cleared first so that a short reply reads as zeros
    // and never shows an earlier one (throws ChannelError).
    void ReceiveMessage() {
        message.Clear();
        message.received = pipe.Read(message.raw.data(), message.raw.size());
    }

    // Takes `pipeBusy`, waiting for it in 100 ms steps; false when it stayed taken.
    bool TakePipeBusy();
    void ReleasePipeBusy() { pipeBusy = false; }
};

// Holds `pipeBusy` for a scope and releases it on every path out.
class PipeBusyLock {
  public:
    explicit PipeBusyLock(ServiceLink& link) : link_(link), held_(link.TakePipeBusy()) {}
    ~PipeBusyLock() {
        if (held_) {
            link_.ReleasePipeBusy();
        }
    }
    PipeBusyLock(const PipeBusyLock&) = delete;
    PipeBusyLock& operator=(const PipeBusyLock&) = delete;
    bool Held() const { return held_; }

  private:
    ServiceLink& link_;
    bool held_;
};

}  // namespace veltrix
