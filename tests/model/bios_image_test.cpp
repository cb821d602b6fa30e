// The BIOS image header search, BCD versions, the flash chip table and what a ROM holds
// after an image was written to it.

#include "model/bios_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <span>
#include <vector>

#include "support/bios_images.h"

namespace veltrix {
namespace {

using testing::ImageSpec;
using testing::MakeBiosImage;
constexpr BiosImageResult kBiosImageFound = BiosImageResult::Found;
constexpr BiosImageResult kBiosImageNotBios = BiosImageResult::NotBios;
constexpr BiosImageResult kBiosImageReadError = BiosImageResult::ReadError;

BiosImageResult Parse(const std::vector<std::uint8_t>& file, BiosImageHeader& header) {
    return ParseBiosImage(file, header);
}

struct ParseCase {
    const char* name;
    std::vector<std::uint8_t> file;
    BiosImageResult result;
};

std::vector<std::uint8_t> WithBytesAt(std::vector<std::uint8_t> file, std::size_t at,
                                      std::vector<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    return file;
}

TEST(ParseBiosImage, Cases) {
    constexpr std::size_t kSize = 0x10000;
    const std::size_t lastStart = kSize - 0x4000 - 1;  // the last start the scan reaches
    auto noSignature = std::vector<std::uint8_t>(kSize, 0);
    const ParseCase cases[] = {
        {"signature at 0", MakeBiosImage({}), kBiosImageFound},
        {"signature after noise", MakeBiosImage({.headerAt = 0x123, .fill = 0x11}),
         kBiosImageFound},
        // The byte after a 0x55 is consumed: 55 55 AA has no signature at the second 55.
        {"55 55 AA", WithBytesAt(noSignature, 0x10, {0x55, 0x55, 0xAA}), kBiosImageNotBios},
        {"55 00 55 AA", WithBytesAt(MakeBiosImage({.headerAt = 2}), 0, {0x55, 0x00}),
         kBiosImageFound},
        {"signature at the last start", MakeBiosImage({.headerAt = lastStart}), kBiosImageFound},
        {"signature at L - 16384", MakeBiosImage({.headerAt = lastStart + 1}), kBiosImageNotBios},
        {"no signature", noSignature, kBiosImageNotBios},
        {"PCIX", WithBytesAt(MakeBiosImage({}), 0x1C + 3, {'X'}), kBiosImageNotBios},
        {"pointer beyond the end", MakeBiosImage({.dataOffset = 0xFFFF}), kBiosImageReadError},
        // Below 16384 bytes the limit wraps round: a signature near the end is found.
        {"short file", MakeBiosImage({.size = 0x40, .headerAt = 0x10}), kBiosImageFound},
        // 16384 bytes exactly leave a limit of 0: nothing is found.
        {"16384 bytes", MakeBiosImage({.size = 0x4000}), kBiosImageNotBios},
        {"empty", {}, kBiosImageReadError},
        {"one 0x55", {0x55}, kBiosImageNotBios},
        // 55 then a last byte that is not AA: the next read finds the end.
        {"55 00 at the end", {0x00, 0x55, 0x00}, kBiosImageReadError},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        BiosImageHeader header;
        ASSERT_EQ(Parse(c.file, header), c.result);
        if (c.result == kBiosImageFound) {
            EXPECT_EQ(header.vendorId, 0x1095);
            EXPECT_EQ(header.deviceId, 0x3124);
            EXPECT_EQ(header.version, 0x0360u);
        }
    }
}

TEST(ParseBiosImage, ExplicitLimit) {
    const auto image = MakeBiosImage({.headerAt = 0x100});
    BiosImageHeader header;
    EXPECT_EQ(ParseBiosImage(image, header, 0x101), kBiosImageFound);
    EXPECT_EQ(ParseBiosImage(image, header, 0x100), kBiosImageNotBios);
}

// Every prefix of an image: found exactly when the prefix holds the version, never a
// read past the prefix (the sanitizers watch).
TEST(ParseBiosImage, EveryTruncatedPrefix) {
    const ImageSpec spec{.size = 0x80, .headerAt = 0x08, .dataOffset = 0x30, .version = 0x0412};
    const auto image = MakeBiosImage(spec);
    const std::size_t needed = spec.headerAt + spec.dataOffset + 0x14;
    for (std::size_t n = 0; n <= image.size(); ++n) {
        SCOPED_TRACE(n);
        const std::vector<std::uint8_t> prefix(image.begin(),
                                               image.begin() + static_cast<std::ptrdiff_t>(n));
        BiosImageHeader header;
        const BiosImageResult result = Parse(prefix, header);
        if (n >= needed) {
            ASSERT_EQ(result, kBiosImageFound);
            EXPECT_EQ(header.version, 0x0412u);
        } else {
            // Up to the header's second byte the scan ends with the file; after it a
            // read runs into the end.
            EXPECT_EQ(result, n == 0                   ? kBiosImageReadError
                              : n <= spec.headerAt + 1 ? kBiosImageNotBios
                                                       : kBiosImageReadError);
        }
    }
}

TEST(ParseBiosImage, RandomBytes) {
    std::mt19937 random(20240531);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> file(random() % 20000);
        // Few distinct values, so signatures and "PCIR" turn up now and then.
        const std::uint8_t alphabet[] = {0x55, 0xAA, 'P', 'C', 'I', 'R', 0x00, 0x01};
        for (auto& b : file) {
            b = alphabet[random() % 8];
        }
        const bool planted = round % 2 == 0 && file.size() > 0x100;
        std::size_t at = 0;
        if (planted) {
            // Noise without 0x55 before a real header.
            at = random() % (file.size() - 0x40);
            std::replace(file.begin(), file.end(), std::uint8_t{0x55}, std::uint8_t{0x00});
            const auto header = MakeBiosImage({.size = 0x40, .dataOffset = 0x1C});
            std::copy(header.begin(), header.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
        }
        BiosImageHeader header;
        const BiosImageResult result = Parse(file, header);
        ASSERT_TRUE(result == kBiosImageFound || result == kBiosImageNotBios ||
                    result == kBiosImageReadError);
        if (planted) {
            // Found unless the header starts beyond the scan's limit.
            const bool reachable = file.size() < 0x4000 || at + 1 <= file.size() - 0x4000;
            ASSERT_EQ(result, reachable ? kBiosImageFound : kBiosImageNotBios) << at;
        }
    }
}

TEST(BcdVersion, Digits) {
    EXPECT_EQ(BcdVersionNumber(0x0360), 360);
    EXPECT_EQ(BcdVersionNumber(0x0305), 305);
    EXPECT_EQ(BcdVersionNumber(0x9999), 9999);
    EXPECT_EQ(BcdVersionNumber(0x12340360), 360);  // only four digits count
}

TEST(FlashChips, Table) {
    const struct {
        std::uint32_t id;
        FlashChipKind kind;
        std::int32_t size;
    } rows[] = {
        {0x0000, FlashChipKind::NoRom, 0},       {0x55AA, FlashChipKind::NoRom, 0},
        {0xA5A5, FlashChipKind::NoRom, 0},       {0xABCD, FlashChipKind::NoRom, 0},
        {0xFFFF, FlashChipKind::NoRom, 0},       {0x1F03, FlashChipKind::Known, 0x10000},
        {0xBFB4, FlashChipKind::Known, 0x10000}, {0xBFD4, FlashChipKind::Known, 0x10000},
        {0xBFB5, FlashChipKind::Known, 0x20000}, {0xDAC1, FlashChipKind::Known, 0x20000},
        {0x1240, FlashChipKind::Known, 0x40000}, {0x1320C2, FlashChipKind::Known, 0x80000},
        {0x7F4F, FlashChipKind::Known, 0x80000}, {0x1234, FlashChipKind::Unknown, 0},
        {0x20C2, FlashChipKind::Unknown, 0},     {0x4242, FlashChipKind::Unknown, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(FlashChipKindOf(row.id), row.kind);
        EXPECT_EQ(FlashSizeOfChip(row.id), row.size);
    }
}

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
    }
    return bytes;
}

TEST(FlashRomContents, ImageRepeatedWithItsLastBlockFilled) {
    const auto image64k = Counting(0x10000);
    const auto rom = FlashRomContents(image64k, 0x20000);
    ASSERT_EQ(rom.size(), 0x20000u);
    EXPECT_TRUE(std::equal(image64k.begin(), image64k.end(), rom.begin()));
    EXPECT_TRUE(std::equal(image64k.begin(), image64k.end(), rom.begin() + 0x10000));

    // 1000 bytes: its second block ends with 24 bytes of 0xFF, then it starts again.
    const auto image = Counting(1000);
    const auto small = FlashRomContents(image, 2048);
    for (std::size_t i = 0; i < 2048; ++i) {
        const std::size_t at = i % 1024;
        const std::uint8_t expected = at < 1000 ? image[at] : 0xFF;
        ASSERT_EQ(small[i], expected) << i;
    }

    const auto larger = FlashRomContents(Counting(3000), 1024);
    EXPECT_EQ(larger, std::vector<std::uint8_t>(Counting(1024)));
    EXPECT_EQ(FlashRomContents({}, 1024), std::vector<std::uint8_t>(1024, 0xFF));
}

TEST(RomComparison, FindsTheFirstDifferenceWhateverThePieces) {
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // Read back: the written ROM cut or padded (0xFF) to readSize, the byte at flipAt
    // changed (unless kNone), fed in pieces of `piece`.
    const struct {
        const char* name;
        std::size_t imageSize, romSize, readSize, flipAt, piece;
        std::optional<std::uint64_t> difference;
    } cases[] = {
        {"same, in blocks", 1000, 4096, 4096, kNone, 512, std::nullopt},
        {"same, in odd pieces", 1000, 4096, 4096, kNone, 100, std::nullopt},
        {"empty image", 0, 1024, 1024, kNone, 300, std::nullopt},
        {"a byte differs", 1000, 4096, 4096, 700, 100, 700},
        {"in the fill after the image", 1000, 4096, 4096, 1010, 512, 1010},
        {"ends early", 1000, 4096, 4000, kNone, 512, 4000},
        {"a byte differs before the early end", 1000, 4096, 4000, 5, 512, 5},
        {"one byte too many", 1000, 4096, 4097, kNone, 512, 4096},
        {"nothing read", 1000, 4096, 0, kNone, 512, 0},
        {"no ROM, something read", 1000, 0, 10, kNone, 512, 0},
    };
    for (const auto& c : cases) {
        const auto image = Counting(c.imageSize);
        std::vector<std::uint8_t> read = FlashRomContents(image, c.romSize);
        read.resize(c.readSize, 0xFF);
        if (c.flipAt != kNone) {
            read[c.flipAt] ^= 0x5A;
        }
        RomComparison comparison(image, c.romSize);
        for (std::size_t at = 0; at < read.size(); at += c.piece) {
            comparison.Add(std::span(read).subspan(at, std::min(c.piece, read.size() - at)));
        }
        EXPECT_EQ(comparison.FirstDifference(), c.difference) << c.name;
    }
}

}  // namespace
}  // namespace veltrix
