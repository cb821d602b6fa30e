#include "model/bios_image.h"

#include <algorithm>
#include <array>
#include <optional>

namespace veltrix {

namespace {

// Reads the file as a stream would: one position, reads that fail at the end.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> file) : file_(file) {}

    std::uint64_t Position() const { return position_; }
    std::uint64_t Length() const { return file_.size(); }
    void Seek(std::uint64_t position) { position_ = position; }

    std::optional<std::uint8_t> Byte() {
        if (position_ >= file_.size()) {
            return std::nullopt;
        }
        return file_[position_++];
    }
    std::optional<std::uint16_t> Word() {
        const auto low = Byte();
        if (!low) {
            return std::nullopt;
        }
        const auto high = Byte();
        if (!high) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>(*low | (*high << 8));
    }

  private:
    std::span<const std::uint8_t> file_;
    std::uint64_t position_ = 0;
};

constexpr std::uint32_t kScanReserve = 0x4000;
constexpr std::uint64_t kPositionLimit = std::uint64_t{1} << 32;
constexpr std::uint64_t kDataPointerOffset = 0x18;
constexpr std::uint64_t kRevisionOffset = 0x12;
constexpr std::array<std::uint8_t, 4> kDataSignature{'P', 'C', 'I', 'R'};

}  // namespace

BiosImageResult ParseBiosImage(std::span<const std::uint8_t> file, BiosImageHeader& header,
                               std::uint32_t limit) {
    ByteReader in(file);
    if (limit == 0) {
        limit = static_cast<std::uint32_t>(in.Length()) - kScanReserve;
    }

    // The signature: a 0x55 and the byte after it, which is consumed either way.
    for (;;) {
        const auto b = in.Byte();
        if (!b) {
            return BiosImageResult::ReadError;
        }
        const std::uint64_t p = in.Position();
        if (p >= kPositionLimit || p > limit || p == in.Length()) {
            return BiosImageResult::NotBios;
        }
        if (*b != 0x55) {
            continue;
        }
        const auto next = in.Byte();
        if (!next) {
            return BiosImageResult::ReadError;
        }
        if (*next == 0xAA) {
            break;
        }
    }

    const std::uint64_t start = in.Position() - 2;
    in.Seek(start + kDataPointerOffset);
    const auto pointer = in.Word();
    if (!pointer) {
        return BiosImageResult::ReadError;
    }
    const std::uint64_t data = start + *pointer;
    in.Seek(data);
    for (const std::uint8_t expected : kDataSignature) {
        const auto b = in.Byte();
        if (!b) {
            return BiosImageResult::ReadError;
        }
        if (*b != expected) {
            return BiosImageResult::NotBios;
        }
    }
    const auto vendor = in.Word();
    const auto device = in.Word();
    if (!vendor || !device) {
        return BiosImageResult::ReadError;
    }
    in.Seek(data + kRevisionOffset);
    const auto revision = in.Word();
    if (!revision) {
        return BiosImageResult::ReadError;
    }
    header.vendorId = *vendor;
    header.deviceId = *device;
    header.version = *revision;
    return BiosImageResult::Found;
}

int BcdVersionNumber(std::uint32_t bcd) {
    return static_cast<int>((bcd & 0xF) + ((bcd >> 4) & 0xF) * 10 + ((bcd >> 8) & 0xF) * 100 +
                            ((bcd >> 12) & 0xF) * 1000);
}

FlashChipKind FlashChipKindOf(std::uint32_t chipId) {
    switch (chipId) {
        case 0x0000:
        case 0x55AA:
        case 0xA5A5:
        case 0xABCD:
        case 0xFFFF:
            return FlashChipKind::NoRom;
        default:
            return FlashSizeOfChip(chipId) != 0 ? FlashChipKind::Known : FlashChipKind::Unknown;
    }
}

std::int32_t FlashSizeOfChip(std::uint32_t chipId) {
    switch (chipId) {
        case 0x1F03:
        case 0x1F5D:
        case 0xBFB4:
        case 0xBFD4:
            return 0x10000;
        case 0x0120:
        case 0x1F04:
        case 0x1F05:
        case 0x1FD5:
        case 0x2020:
        case 0x9D1C:
        case 0xBFB5:
        case 0xBFD5:
        case 0xDAC1:
            return 0x20000;
        case 0x1240:
            return 0x40000;
        case 0x014F:
        case 0x1340:
        case 0x1380:
        case 0x7F4F:
        case 0xBFD7:
        case 0x1320C2:
            return 0x80000;
        default:
            return 0;
    }
}

void FlashRomBlock(std::span<const std::uint8_t> image, std::size_t index,
                   std::span<std::uint8_t, kFlashBlockSize> block) {
    std::fill(block.begin(), block.end(), std::uint8_t{0xFF});
    if (image.empty()) {
        return;
    }
    // The image's own blocks, the last one short, follow each other round and round.
    const std::size_t imageBlocks = (image.size() + kFlashBlockSize - 1) / kFlashBlockSize;
    const std::size_t start = (index % imageBlocks) * kFlashBlockSize;
    const std::size_t n = std::min(kFlashBlockSize, image.size() - start);
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(start), n, block.begin());
}

std::vector<std::uint8_t> FlashRomContents(std::span<const std::uint8_t> image,
                                           std::size_t romSize) {
    std::vector<std::uint8_t> rom(romSize);
    std::array<std::uint8_t, kFlashBlockSize> block{};
    for (std::size_t offset = 0, index = 0; offset < romSize; offset += kFlashBlockSize, ++index) {
        FlashRomBlock(image, index, block);
        std::copy_n(block.begin(), std::min(kFlashBlockSize, romSize - offset),
                    rom.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    return rom;
}

RomComparison::RomComparison(std::span<const std::uint8_t> image, std::size_t romSize)
    : image_(image), romSize_(romSize) {}

void RomComparison::Add(std::span<const std::uint8_t> data) {
    while (!data.empty() && read_ < romSize_) {
        const std::size_t index = read_ / kFlashBlockSize;
        if (index != blockIndex_) {
            FlashRomBlock(image_, index, block_);
            blockIndex_ = index;
        }
        const std::size_t at = read_ % kFlashBlockSize;
        const std::size_t n = std::min({kFlashBlockSize - at, romSize_ - read_, data.size()});
        const auto expected = std::span<const std::uint8_t>(block_).subspan(at, n);
        const auto [e, d] = std::mismatch(expected.begin(), expected.end(), data.begin());
        if (e != expected.end() && !firstDifference_) {
            firstDifference_ = read_ + static_cast<std::size_t>(e - expected.begin());
        }
        read_ += n;
        data = data.subspan(n);
    }
    longer_ = longer_ || !data.empty();
}

std::optional<std::uint64_t> RomComparison::FirstDifference() const {
    if (firstDifference_) {
        return firstDifference_;
    }
    if (read_ < romSize_ || longer_) {
        return read_;
    }
    return std::nullopt;
}

}  // namespace veltrix
