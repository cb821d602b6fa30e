// Feeds arbitrary files to the BIOS image checks: the signature and header search
// with the file's own limit and with a small one, and the flash contents built from
// what was found.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/bios_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    const std::span<const std::uint8_t> file(data, size);

    BiosImageHeader header;
    (void)ParseBiosImage(file, header);
    (void)ParseBiosImage(file, header, static_cast<std::uint32_t>(size / 2));

    std::array<std::uint8_t, kFlashBlockSize> block{};
    FlashRomBlock(file, size % 7, block);
    (void)FlashRomContents(file.first(std::min<std::size_t>(size, 3000)), 4 * kFlashBlockSize);
    return 0;
}
