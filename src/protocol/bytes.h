#pragma once
// Little-endian reading and writing of wire records.
//
// Every byte that arrives from outside is read through ByteView: a read past the
// end of the received bytes yields zeros instead of touching memory it does not
// own, which is also how a short reply looks in a cleared receive buffer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veltrix {

class ByteView {
  public:
    ByteView() = default;
    explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }

    std::uint8_t U8(std::size_t offset) const {
        return offset < bytes_.size() ? bytes_[offset] : std::uint8_t{0};
    }
    std::uint16_t U16(std::size_t offset) const {
        return static_cast<std::uint16_t>(U8(offset) | (U8(offset + 1) << 8));
    }
    std::uint32_t U32(std::size_t offset) const {
        return static_cast<std::uint32_t>(U16(offset)) |
               (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
    }
    std::uint64_t U64(std::size_t offset) const {
        return static_cast<std::uint64_t>(U32(offset)) |
               (static_cast<std::uint64_t>(U32(offset + 4)) << 32);
    }

    // Copies `out.size()` bytes from `offset`; bytes past the end become zero.
    void CopyTo(std::size_t offset, std::span<std::uint8_t> out) const {
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = U8(offset + i);
        }
    }

    // Text in a fixed field of `fieldSize` bytes: up to the first NUL or the field's end.
    std::string Text(std::size_t offset, std::size_t fieldSize) const {
        std::string out;
        for (std::size_t i = 0; i < fieldSize; ++i) {
            const std::uint8_t c = U8(offset + i);
            if (c == 0) {
                break;
            }
            out.push_back(static_cast<char>(c));
        }
        return out;
    }

    ByteView Sub(std::size_t offset) const {
        if (offset >= bytes_.size()) {
            return {};
        }
        return ByteView(bytes_.subspan(offset));
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

// Appends little-endian fields to a growing byte vector (requests, simulated replies).
class ByteWriter {
  public:
    ByteWriter& U8(std::uint8_t v) {
        bytes_.push_back(v);
        return *this;
    }
    ByteWriter& U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v & 0xFF));
        return U8(static_cast<std::uint8_t>(v >> 8));
    }
    ByteWriter& U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xFFFF));
        return U16(static_cast<std::uint16_t>(v >> 16));
    }
    ByteWriter& U64(std::uint64_t v) {
        U32(static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
        return U32(static_cast<std::uint32_t>(v >> 32));
    }
    ByteWriter& Bytes(std::span<const std::uint8_t> b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    ByteWriter& Zeros(std::size_t n) {
        bytes_.insert(bytes_.end(), n, 0);
        return *this;
    }
    // Text in a fixed field: cut to the field, the rest filled with `pad`.
    ByteWriter& FixedText(const std::string& text, std::size_t fieldSize, std::uint8_t pad = 0) {
        const std::size_t n = std::min(text.size(), fieldSize);
        for (std::size_t i = 0; i < n; ++i) {
            U8(static_cast<std::uint8_t>(text[i]));
        }
        bytes_.insert(bytes_.end(), fieldSize - n, pad);
        return *this;
    }

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& Data() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

// Writes a little-endian value into a fixed buffer at `offset`; out-of-range bytes are dropped.
inline void PutU16(std::span<std::uint8_t> buf, std::size_t offset, std::uint16_t v) {
    if (offset < buf.size())
        buf[offset] = static_cast<std::uint8_t>(v & 0xFF);
    if (offset + 1 < buf.size())
        buf[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::span<std::uint8_t> buf, std::size_t offset, std::uint32_t v) {
    PutU16(buf, offset, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16(buf, offset + 2, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace veltrix
