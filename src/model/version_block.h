#pragma once
// The version block a program carries in an ELF section of its own
// (kVersionSectionName): the fixed file information with the file and product version
// numbers, the list of translations, and per translation a table of version strings.
//
// Layout, little-endian, the fields one after the other:
//   "VXVI", u16 format (1)
//   u16 size F of the fixed block, F bytes (FixedFileInfo when F is 52: 13 x u32)
//   u16 translation count T, T x (u16 language, u16 code page)
//   u16 table count S, S x (u16 language, u16 code page, u16 string count N,
//                           N x (u16 name length, name, u16 value length, value))
// Names and values are UTF-8 without terminator. The block is written at compile time
// (WriteVersionBlock is constexpr) and decoded with every length checked.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrix {

inline constexpr char kVersionSectionName[] = "veltrix_version";
inline constexpr std::array<std::uint8_t, 4> kVersionBlockMagic = {'V', 'X', 'V', 'I'};
inline constexpr std::uint16_t kVersionBlockFormat = 1;
// No block of ours comes near this; a larger section is refused unread.
inline constexpr std::size_t kMaxVersionBlockSize = 64 * 1024;

// The fixed file information: signature, structure version, the file and product
// versions as two double words each (major << 16 | minor, build << 16 | revision), and
// flags, OS, type and date as the platform's block has them.
struct FixedFileInfo {
    static constexpr std::size_t kSize = 52;
    static constexpr std::uint32_t kSignature = 0xFEEF04BD;
    static constexpr std::uint32_t kStructureVersion = 0x00010000;

    std::uint32_t signature = 0;
    std::uint32_t structureVersion = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;

    constexpr std::array<std::uint32_t, 13> Words() const {
        return {signature,        structureVersion, fileVersionMS, fileVersionLS, productVersionMS,
                productVersionLS, fileFlagsMask,    fileFlags,     fileOS,        fileType,
                fileSubtype,      fileDateMS,       fileDateLS};
    }
    bool operator==(const FixedFileInfo&) const = default;
};

// A fixed block for version a.b.c.d, file and product alike.
constexpr FixedFileInfo MakeFixedFileInfo(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                          std::uint16_t d) {
    FixedFileInfo info;
    info.signature = FixedFileInfo::kSignature;
    info.structureVersion = FixedFileInfo::kStructureVersion;
    info.fileVersionMS = info.productVersionMS = (std::uint32_t{a} << 16) | b;
    info.fileVersionLS = info.productVersionLS = (std::uint32_t{c} << 16) | d;
    return info;
}

struct Translation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
    bool operator==(const Translation&) const = default;
};

inline constexpr std::uint16_t kCodePageUtf8 = 65001;

// What a block is written from.
struct VersionString {
    std::string_view name;
    std::string_view value;
};
struct VersionTable {
    Translation translation;
    std::span<const VersionString> strings;
};
struct VersionSpec {
    FixedFileInfo fixed;
    std::span<const Translation> translations;
    std::span<const VersionTable> tables;
};

// Writes the block of `spec` to `sink` (u8 calls). Counts and texts longer than a u16
// holds are cut to 0xFFFF.
template <typename Sink>
constexpr void WriteVersionBlock(const VersionSpec& spec, Sink& sink) {
    const auto u16 = [&sink](std::size_t value) {
        const auto v = static_cast<std::uint16_t>(value > 0xFFFF ? 0xFFFF : value);
        sink.U8(static_cast<std::uint8_t>(v & 0xFF));
        sink.U8(static_cast<std::uint8_t>(v >> 8));
    };
    const auto text = [&](std::string_view s) {
        const std::size_t n = s.size() > 0xFFFF ? 0xFFFF : s.size();
        u16(n);
        for (std::size_t i = 0; i < n; ++i) {
            sink.U8(static_cast<std::uint8_t>(s[i]));
        }
    };
    for (const std::uint8_t byte : kVersionBlockMagic) {
        sink.U8(byte);
    }
    u16(kVersionBlockFormat);
    u16(FixedFileInfo::kSize);
    for (const std::uint32_t word : spec.fixed.Words()) {
        u16(word & 0xFFFF);
        u16(word >> 16);
    }
    const auto translations =
        spec.translations.first(std::min<std::size_t>(spec.translations.size(), 0xFFFF));
    u16(translations.size());
    for (const Translation& t : translations) {
        u16(t.language);
        u16(t.codePage);
    }
    const auto tables = spec.tables.first(std::min<std::size_t>(spec.tables.size(), 0xFFFF));
    u16(tables.size());
    for (const VersionTable& table : tables) {
        u16(table.translation.language);
        u16(table.translation.codePage);
        const auto strings =
            table.strings.first(std::min<std::size_t>(table.strings.size(), 0xFFFF));
        u16(strings.size());
        for (const VersionString& s : strings) {
            text(s.name);
            text(s.value);
        }
    }
}

constexpr std::size_t VersionBlockSize(const VersionSpec& spec) {
    struct Counter {
        std::size_t size = 0;
        constexpr void U8(std::uint8_t) { ++size; }
    } counter;
    WriteVersionBlock(spec, counter);
    return counter.size;
}

// The block of `spec` as an array; N must be VersionBlockSize(spec).
template <std::size_t N>
constexpr std::array<std::uint8_t, N> VersionBlockBytes(const VersionSpec& spec) {
    struct Filler {
        std::array<std::uint8_t, N> bytes{};
        std::size_t at = 0;
        constexpr void U8(std::uint8_t value) { bytes[at++] = value; }
    } filler;
    WriteVersionBlock(spec, filler);
    return filler.bytes;
}

std::vector<std::uint8_t> EncodeVersionBlock(const VersionSpec& spec);

// A decoded block.
struct VersionBlock {
    struct Table {
        Translation translation;
        std::vector<std::pair<std::string, std::string>> strings;  // name, value
    };
    std::optional<FixedFileInfo> fixed;  // only a fixed block of exactly 52 bytes
    std::vector<Translation> translations;
    std::vector<Table> tables;
};

// Nothing for bytes that are not one whole block: another magic or format, a length
// that runs past the end, or bytes left over.
std::optional<VersionBlock> DecodeVersionBlock(std::span<const std::uint8_t> bytes);

}  // namespace veltrix
