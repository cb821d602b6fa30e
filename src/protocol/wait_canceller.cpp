#include "protocol/wait_canceller.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace veltrix {

WaitCanceller::WaitCanceller() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ == -1) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

WaitCanceller::~WaitCanceller() {
    ::close(fd_);
}

void WaitCanceller::Cancel() noexcept {
    const int saved = errno;  // a signal handler must leave errno as it found it
    cancelled_.store(true);   // lock-free, so a signal handler may store it
    const std::uint64_t one = 1;
    // EAGAIN only when the counter is about to overflow, which leaves it readable.
    [[maybe_unused]] const auto written = ::write(fd_, &one, sizeof(one));
    errno = saved;
}

void WaitCanceller::Reset() noexcept {
    std::uint64_t value = 0;
    // Non-blocking: reading a zero counter fails with EAGAIN, which is fine.
    [[maybe_unused]] const auto got = ::read(fd_, &value, sizeof(value));
    cancelled_.store(false);
}

bool WaitCanceller::IsCancelled() const noexcept {
    return cancelled_.load();
}

}  // namespace veltrix
