#include "session/backup_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace veltrix {

namespace {

constexpr int kCreateAttempts = 16;

// A file that grows past the process's file-size limit fails with EFBIG instead of
// ending the program with SIGXFSZ, so a full disk and a limit look alike.
void KeepFileSizeLimitFromEndingTheProgram() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        ::signal(SIGXFSZ, SIG_IGN);
    }
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix;
    for (int i = 0; i < 8; ++i) {
        suffix.push_back(kLetters[pick(device)]);
    }
    return suffix;
}

// Flushes a folder's entries to disk (the rename of a file in it); failures do not
// matter to the file's contents.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string SystemErrorTextOf(int error) {
    return std::strerror(error);
}

BackupFile::~BackupFile() {
    Abandon();
}

void BackupFile::Fail(int error, const std::string& path) {
    if (!failed_) {
        failed_ = true;
        error_ = path + ": " + SystemErrorTextOf(error);
    }
}

bool BackupFile::Create(const std::string& path) {
    KeepFileSizeLimitFromEndingTheProgram();
    path_ = path;
    const std::string stem = FolderOf(path) + "/." + NameOf(path) + ".";
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const std::string candidate = stem + RandomSuffix();
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = candidate;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    Fail(errno, path);
    return false;
}

bool BackupFile::Append(std::span<const std::uint8_t> bytes) {
    if (failed_ || fd_ < 0) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A write that takes nothing without an error is a full device.
            Fail(written < 0 ? errno : ENOSPC, path_);
            return false;
        }
        size_ += static_cast<std::uint64_t>(written);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool BackupFile::Commit() {
    if (failed_ || fd_ < 0) {
        Abandon();
        return false;
    }
    if (::fsync(fd_) != 0) {
        Fail(errno, path_);
        Abandon();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail(errno, path_);
        Abandon();
        return false;
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        Fail(errno, path_);
        Abandon();
        return false;
    }
    temporary_.clear();
    SyncFolder(FolderOf(path_));
    return true;
}

void BackupFile::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

std::optional<std::vector<std::uint8_t>> ReadFilePrefix(const std::string& path,
                                                        std::size_t maxBytes, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    // A file that tells its size gets its buffer at once, not grown by copies.
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.reserve(std::min(static_cast<std::size_t>(info.st_size), maxBytes));
    }
    std::vector<std::uint8_t> chunk(64 * 1024);
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(chunk.size(), maxBytes - bytes.size());
        const ssize_t got = ::read(fd, chunk.data(), want);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    ::close(fd);
    return bytes;
}

}  // namespace veltrix
