#pragma once
// A switch that stops the channel's waits from another thread.
//
// Cancel() ends two kinds of wait at once:
//  - waits that poll() the canceller's eventfd (connects, a full socket, pauses): the
//    descriptor turns readable and stays readable until Reset();
//  - receives blocked on a socket attached with Attach(): Cancel() shuts the reading
//    side of each attached socket down, so a blocked recv() returns at once and no
//    receive needs a poll() first. That side stays shut for good: a cancelled
//    channel can still send (the Exit path's logoff) but no longer receive.
// ServiceChannel turns a cancelled wait into ChannelError with ERROR_OPERATION_ABORTED.

#include <array>
#include <atomic>

namespace veltrix {

class WaitCanceller {
  public:
    // Throws std::system_error when no eventfd can be created.
    WaitCanceller();
    ~WaitCanceller();
    WaitCanceller(const WaitCanceller&) = delete;
    WaitCanceller& operator=(const WaitCanceller&) = delete;

    // Cancels every wait on this canceller, now and until Reset(). Thread-safe and
    // async-signal-safe (write(2) and shutdown(2) only), so a signal handler may call it.
    void Cancel() noexcept;
    // Makes waits possible again. Call it when no wait is in progress.
    void Reset() noexcept;
    bool IsCancelled() const noexcept;
    // Readable while cancelled; for poll() next to the descriptors being waited on.
    int Fd() const noexcept { return fd_; }

    // Puts a connected socket under the canceller: the next Cancel() shuts its reading
    // side down. False when all kAttachable places are taken; the socket's receives
    // must then check IsCancelled() in short slices.
    bool Attach(int socketFd) const noexcept;
    // Takes the socket away again; call it before closing the socket. Returns once no
    // Cancel() can still reach it, so its number may be reused at once.
    void Detach(int socketFd) const noexcept;

    static constexpr int kAttachable = 8;

  private:
    int fd_ = -1;
    // The same state without a system call, for the checks before every wait.
    std::atomic<bool> cancelled_{false};
    // Attached sockets (-1: a free place) and the Cancel() calls reading them now.
    mutable std::array<std::atomic<int>, kAttachable> sockets_;
    mutable std::atomic<int> cancelsRunning_{0};
};

}  // namespace veltrix
