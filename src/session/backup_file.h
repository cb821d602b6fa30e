#pragma once
// The files of a BIOS update: the backup, written so that a file under the backup's
// name is always a complete read-out, and the image, read once into memory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltrix {

// A backup written to a temporary file in the target's folder ("." + name + a random
// suffix), flushed to disk and renamed to its name by Commit. A file that is not
// committed is removed, so a failed or partial read-out never leaves a file that looks
// like a backup, and an older backup of the same name stays as it was.
class BackupFile {
  public:
    BackupFile() = default;
    ~BackupFile();
    BackupFile(const BackupFile&) = delete;
    BackupFile& operator=(const BackupFile&) = delete;

    // Creates the temporary file; false with Error() set when it cannot be made.
    bool Create(const std::string& path);
    // Appends all of `bytes`; false (and nothing more is written) after the first
    // failure, also a short write.
    bool Append(std::span<const std::uint8_t> bytes);
    // Flushes the file to disk, closes it and renames it to the backup's name; false
    // (the temporary file removed) when any of it fails.
    bool Commit();
    // Closes and removes the temporary file.
    void Abandon();

    bool Failed() const { return failed_; }
    // The platform's text of the first failure, with the file's name.
    const std::string& Error() const { return error_; }
    std::uint64_t Size() const { return size_; }

  private:
    void Fail(int error, const std::string& path);

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    bool failed_ = false;
    std::string error_;
};

// Reads up to `maxBytes` from the start of the file at `path`. Nothing, with the
// errno value in `error`, when the file cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadFilePrefix(const std::string& path,
                                                        std::size_t maxBytes, int& error);

// The platform's text for an errno value.
std::string SystemErrorTextOf(int error);

}  // namespace veltrix
