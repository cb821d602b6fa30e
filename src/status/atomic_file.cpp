#include "status/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace veltrix::status {

namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t wrote = ::write(fd, content.data() + done, content.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode,
                         std::string& error) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") {
        error = "not a file name: " + path;
        return false;
    }
    std::string temporary = (folder / ("." + name + ".tmp-XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = SystemError("cannot create a temporary file in " + folder.string());
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    if (!ok) {
        error = SystemError("cannot set the mode of " + temporary);
    } else if (!WriteAll(fd, content)) {
        error = SystemError("cannot write " + temporary);
        ok = false;
    } else if (::fsync(fd) != 0) {
        error = SystemError("cannot sync " + temporary);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = SystemError("cannot close " + temporary);
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot rename " + temporary + " to " + path);
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself survives a crash once the folder is synced too.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace veltrix::status
