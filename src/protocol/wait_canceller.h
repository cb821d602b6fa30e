#pragma once
// A switch that stops the channel's waits from another thread.
//
// Built on an eventfd: Cancel() makes the descriptor readable and it stays readable
// until Reset(), so every wait that polls it together with its socket returns at
// once, however many waits there are and whenever they start. ServiceChannel turns a
// cancelled wait into ChannelError with ERROR_OPERATION_ABORTED.

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
    // async-signal-safe (one write(2)), so a signal handler may call it.
    void Cancel() noexcept;
    // Makes waits possible again. Call it when no wait is in progress.
    void Reset() noexcept;
    bool IsCancelled() const noexcept;
    // Readable while cancelled; for poll() next to the descriptors being waited on.
    int Fd() const noexcept { return fd_; }

  private:
    int fd_ = -1;
    // The same state without a system call, for the checks before every wait.
    std::atomic<bool> cancelled_{false};
};

}  // namespace veltrix
