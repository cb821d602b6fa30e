#pragma once
// BIOS images and flash ROMs as the BIOS update sees them: the PCI expansion ROM
// header search that recognises an image, the BCD versions it carries, the flash chips
// the client knows and the contents a ROM holds after an image was written to it.
// Standard library only; every function works on bytes already in memory.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace veltrix {

// What the header search found in an image.
struct BiosImageHeader {
    std::uint32_t version = 0;  // code revision level, BCD (0x0360 is 3.60)
    std::uint16_t vendorId = 0;
    std::uint16_t deviceId = 0;
};

// Results of ParseBiosImage.
enum class BiosImageResult : std::uint8_t { Found, NotBios, ReadError };

// Looks for the 0x55 0xAA signature in `file` (scanning byte by byte; the byte after
// a 0x55 is consumed whether or not it is 0xAA), follows the header's pointer at
// +0x18 to the "PCIR" data structure and takes vendor id, device id and the code
// revision level at +0x12 from there. `limit` 0 means: the file's length (low 32
// bits) minus 0x4000, as an unsigned 32-bit number, so a signature that starts at or
// beyond length - 16384 is not found. Returns BiosImageResult::Found (`header` set),
// BiosImageResult::NotBios, or BiosImageResult::ReadError when a read runs past the file's end
// (also for an empty file). `header` is only written for BiosImageResult::Found.
BiosImageResult ParseBiosImage(std::span<const std::uint8_t> file, BiosImageHeader& header,
                               std::uint32_t limit = 0);

// A BCD version as the decimal number its digits spell: 0x0360 -> 360. The version is
// shown as number / 100 "." number % 100 (0x0305 shows "3.5").
int BcdVersionNumber(std::uint32_t bcd);

// Flash ROM chips by the id the service reports.
enum class FlashChipKind {
    NoRom,    // ids that mean the controller has no flash ROM (or it cannot be reached)
    Known,    // a chip of known size
    Unknown,  // any other id: size 0
};
FlashChipKind FlashChipKindOf(std::uint32_t chipId);
// The ROM size in bytes for a known chip; 0 for the others.
std::int32_t FlashSizeOfChip(std::uint32_t chipId);

// Bytes the service reads and writes a flash ROM in.
inline constexpr std::size_t kFlashBlockSize = 512;

// What a ROM of `romSize` bytes holds after `image` was written to it block by block:
// the image from its start, the bytes after its end in its last block 0xFF, and the
// image again from its start in the next block, until the ROM is full. An empty
// image gives 0xFF throughout.
std::vector<std::uint8_t> FlashRomContents(std::span<const std::uint8_t> image,
                                           std::size_t romSize);
// Block `index` of those contents (kFlashBlockSize bytes), without building them all.
void FlashRomBlock(std::span<const std::uint8_t> image, std::size_t index,
                   std::span<std::uint8_t, kFlashBlockSize> block);

// A ROM read back in pieces of any size, compared with what writing `image` to a ROM
// of `romSize` bytes leaves there (FlashRomContents), without a copy of either.
class RomComparison {
  public:
    // `image` must outlive the comparison.
    RomComparison(std::span<const std::uint8_t> image, std::size_t romSize);

    // The next bytes read back.
    void Add(std::span<const std::uint8_t> data);
    // The first offset where the ROM read so far and the written one differ, counting
    // a ROM that ended early or went on too long; none when they are the same.
    std::optional<std::uint64_t> FirstDifference() const;

  private:
    std::span<const std::uint8_t> image_;
    std::size_t romSize_;
    std::size_t read_ = 0;  // bytes compared, at most romSize_
    bool longer_ = false;
    std::optional<std::uint64_t> firstDifference_;
    std::array<std::uint8_t, kFlashBlockSize> block_{};
    std::size_t blockIndex_ = static_cast<std::size_t>(-1);  // the block in block_
};

}  // namespace veltrix
