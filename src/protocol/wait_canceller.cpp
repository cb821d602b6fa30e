#include "protocol/wait_canceller.h"

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>
#include <thread>

namespace veltrix {

WaitCanceller::WaitCanceller() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ == -1) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    for (auto& socket : sockets_) {
        socket.store(-1);
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
    // Detach() waits while this runs, so no socket number read here is closed and
    // reused before its shutdown.
    cancelsRunning_.fetch_add(1);
    for (const auto& socket : sockets_) {
        const int fd = socket.load();
        if (fd != -1) {
            ::shutdown(fd, SHUT_RD);
        }
    }
    cancelsRunning_.fetch_sub(1);
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

bool WaitCanceller::Attach(int socketFd) const noexcept {
    for (auto& socket : sockets_) {
        int expected = -1;
        if (socket.compare_exchange_strong(expected, socketFd)) {
            return true;
        }
    }
    return false;
}

void WaitCanceller::Detach(int socketFd) const noexcept {
    for (auto& socket : sockets_) {
        int expected = socketFd;
        socket.compare_exchange_strong(expected, -1);
    }
    // A Cancel() that read the number before it was cleared finishes in a few system
    // calls; a signal handler running Cancel() on this thread has finished already.
    while (cancelsRunning_.load() != 0) {
        std::this_thread::yield();
    }
}

}  // namespace veltrix
