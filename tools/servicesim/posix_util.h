#pragma once
// Small helpers around POSIX calls for the simulated service's sockets.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace veltrix::sim {

// `what`, a colon and the text of errno.
inline std::string ErrnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Closes `fd` if it is open and marks it closed.
inline void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace veltrix::sim
