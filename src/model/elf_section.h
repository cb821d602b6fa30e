#pragma once
// Reads one named section out of an ELF file (32 or 64 bit, either byte order): how the
// program finds the version block it carries in a section of its own.
//
// The file is read through a ByteSource in small pieces (the headers, the section's
// name, its contents), so a large program is never read whole. Every offset and size
// the file gives is checked against the file's size before anything is read.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix {

// Bytes that can be read at any offset.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills `out` from `offset`; false (and `out` unspecified) when that reaches past
    // the end or the read fails.
    virtual bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

// Bytes in memory; the caller keeps them alive.
class MemoryBytes : public ByteSource {
  public:
    explicit MemoryBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

  private:
    std::span<const std::uint8_t> bytes_;
};

// A file on disk; a file that cannot be opened has size 0. Read through the C library's
// FILE: a C++ file stream would set up the stream library's locale machinery (about
// half a megabyte of the standard library's pages) in every program that asks for its
// own version at start.
class FileBytes : public ByteSource {
  public:
    explicit FileBytes(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    std::uint64_t Size() const override { return size_; }
    bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const override;

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
};

// The contents of the first section named `name` that occupies bytes in the file;
// nothing for a file that is not ELF, has no such section, is cut short, or whose
// section is larger than `maxSize`.
std::optional<std::vector<std::uint8_t>> ReadElfSection(const ByteSource& file,
                                                        std::string_view name, std::size_t maxSize);

}  // namespace veltrix
