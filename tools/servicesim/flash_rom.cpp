#include "servicesim/flash_rom.h"

#include <algorithm>

#include "servicesim/scenario_builders.h"

namespace veltrix::sim {

std::optional<std::uint16_t> FindBiosVersion(std::span<const std::uint8_t> rom) {
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::uint16_t>(rom[at] | rom[at + 1] << 8);
    };
    for (std::size_t h = 0; h + 0x1A <= rom.size(); h += kFlashBlockSize) {
        if (rom[h] != 0x55 || rom[h + 1] != 0xAA) {
            continue;
        }
        const std::size_t p = h + u16(h + 0x18);
        if (p + 0x14 > rom.size()) {
            continue;
        }
        if (rom[p] == 'P' && rom[p + 1] == 'C' && rom[p + 2] == 'I' && rom[p + 3] == 'R') {
            return u16(p + 0x12);
        }
    }
    return std::nullopt;
}

FlashRom::FlashRom(const ControllerSpec& controller) : spec_(controller.flash) {
    const std::size_t size = FlashRomSize(spec_);
    rom_.assign(size, spec_.fill);
    std::vector<std::uint8_t> content;
    switch (spec_.content) {
        case FlashSpec::Content::BiosImage:
            content = MakeBiosImage(std::min<std::size_t>(spec_.imageSize.value_or(size), size),
                                    spec_.imageVendorId.value_or(controller.vendorId),
                                    spec_.imageDeviceId.value_or(controller.deviceId),
                                    spec_.biosVersion.value_or(controller.biosVersion));
            break;
        case FlashSpec::Content::Pattern:
            content = FlashPattern(size);
            break;
        case FlashSpec::Content::Fill:
            break;
        case FlashSpec::Content::Bytes:
            content = spec_.image;
            break;
    }
    std::copy_n(content.begin(), std::min(size, content.size()), rom_.begin());
    spec_.image.clear();  // kept in the contents, not twice
}

void FlashRom::SetContents(std::span<const std::uint8_t> bytes) {
    std::fill(rom_.begin(), rom_.end(), std::uint8_t{0xFF});
    std::copy_n(bytes.begin(), std::min(bytes.size(), rom_.size()), rom_.begin());
}

std::uint32_t FlashRom::BiosVersionReply() const {
    if (spec_.faults.versionIoError) {
        return 0xFFFFFFFFu;
    }
    return FindBiosVersion(rom_).value_or(1);
}

std::span<const std::uint8_t> FlashRom::ReadBlock(std::size_t offset) const {
    if (offset >= rom_.size()) {
        return {};
    }
    const std::size_t n = std::min<std::size_t>(
        std::clamp<std::size_t>(spec_.readBlockSize, 1, kFlashBlockSize), rom_.size() - offset);
    return std::span(rom_).subspan(offset, n);
}

std::uint32_t FlashRom::ReadProgress(std::size_t end) const {
    return rom_.empty()
               ? 100
               : static_cast<std::uint32_t>(std::min(end, rom_.size()) * 100 / rom_.size());
}

void FlashRom::Erase() {
    ++counters_.erases;
    if (!spec_.faults.writesIgnored) {
        std::fill(rom_.begin(), rom_.end(), std::uint8_t{0xFF});
    }
}

std::uint32_t FlashRom::WriteBlock(std::size_t index, std::span<const std::uint8_t> data) {
    if (index >= BlockCount() ||
        (spec_.faults.writeErrorAt && *spec_.faults.writeErrorAt == index)) {
        ++counters_.writeErrors;
        return spec_.faults.writeErrorCode;
    }
    if (!spec_.faults.writesIgnored) {
        const std::size_t at = index * kFlashBlockSize;
        for (std::size_t i = 0; i < std::min<std::size_t>(data.size(), kFlashBlockSize); ++i) {
            rom_[at + i] &= data[i];  // programming clears bits; only an erase sets them
        }
    }
    ++counters_.blocksWritten;
    return static_cast<std::uint32_t>((index + 1) * 100 / BlockCount());
}

}  // namespace veltrix::sim
