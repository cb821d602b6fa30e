#pragma once
// BIOS images for tests: a PCI expansion ROM header with its "PCIR" data structure at
// a chosen place in a file of a chosen size.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrix::testing {

struct ImageSpec {
    std::size_t size = 0x10000;
    std::size_t headerAt = 0;
    std::uint16_t dataOffset = 0x1C;  // from the header to "PCIR"
    std::uint16_t vendorId = 0x1095;
    std::uint16_t deviceId = 0x3124;
    std::uint16_t version = 0x0360;
    std::uint8_t fill = 0x00;
};

// The image; bytes that do not fit in `size` are left out.
inline std::vector<std::uint8_t> MakeBiosImage(const ImageSpec& spec) {
    std::vector<std::uint8_t> image(spec.size, spec.fill);
    const auto put = [&](std::size_t at, std::uint8_t value) {
        if (at < image.size()) {
            image[at] = value;
        }
    };
    const auto put16 = [&](std::size_t at, std::uint16_t value) {
        put(at, static_cast<std::uint8_t>(value & 0xFF));
        put(at + 1, static_cast<std::uint8_t>(value >> 8));
    };
    put(spec.headerAt, 0x55);
    put(spec.headerAt + 1, 0xAA);
    put16(spec.headerAt + 0x18, spec.dataOffset);
    const std::size_t data = spec.headerAt + spec.dataOffset;
    put(data, 'P');
    put(data + 1, 'C');
    put(data + 2, 'I');
    put(data + 3, 'R');
    put16(data + 4, spec.vendorId);
    put16(data + 6, spec.deviceId);
    put16(data + 0x12, spec.version);
    return image;
}

}  // namespace veltrix::testing
