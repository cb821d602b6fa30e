#pragma once
// One controller's flash ROM as the simulated service keeps it: its contents, the
// BIOS version found in them, erase and block-wise programming as a NOR flash does
// them (erase sets every byte to 0xFF, programming can only clear bits), the hardware
// faults the scenario gives it and counters of what the BIOS update commands did.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "servicesim/scenario.h"

namespace veltrix::sim {

// What the flash commands did to one ROM since the service started.
struct FlashCounters {
    std::uint32_t readOuts = 0;       // FLASH_READ_START
    std::uint32_t blocksRead = 0;     // read-out replies with data
    std::uint32_t erases = 0;         // FLASH_ERASE (also when writes are ignored)
    std::uint32_t writeStarts = 0;    // FLASH_WRITE_START
    std::uint32_t blocksWritten = 0;  // FLASH_WRITE_BLOCK answered with progress
    std::uint32_t writeErrors = 0;    // FLASH_WRITE_BLOCK answered with an error code
};

// The BIOS version (code revision, BCD) of the first PCI expansion ROM image whose
// header starts at a 512-byte boundary of `rom` and whose data structure ("PCIR")
// lies inside it; nothing when there is none.
std::optional<std::uint16_t> FindBiosVersion(std::span<const std::uint8_t> rom);

class FlashRom {
  public:
    FlashRom() = default;
    // Builds the contents the scenario describes for `controller`'s ROM.
    explicit FlashRom(const ControllerSpec& controller);

    const FlashSpec& Spec() const { return spec_; }
    const std::vector<std::uint8_t>& Contents() const { return rom_; }
    // Replaces the contents; cut or padded with 0xFF to the ROM's size.
    void SetContents(std::span<const std::uint8_t> bytes);
    std::uint32_t Size() const { return static_cast<std::uint32_t>(rom_.size()); }
    std::uint32_t BlockCount() const { return Size() / kFlashBlockSize; }

    // FLASH_GET_BIOS_VERSION: the version in the contents, 1 for none,
    // 0xFFFFFFFF with the I/O-error fault.
    std::uint32_t BiosVersionReply() const;

    // Read-out: the bytes from `offset` on for one reply (at most readBlockSize) and
    // the progress after them (0..100).
    std::span<const std::uint8_t> ReadBlock(std::size_t offset) const;
    std::uint32_t ReadProgress(std::size_t end) const;

    void Erase();
    // Programs block `index` with `data` (at most 512 bytes) and returns the reply
    // code: progress 1..100, or the write error code (> 100) for the faulty block or
    // one beyond the ROM.
    std::uint32_t WriteBlock(std::size_t index, std::span<const std::uint8_t> data);

    const FlashFaults& Faults() const { return spec_.faults; }
    void SetFaults(const FlashFaults& faults) { spec_.faults = faults; }
    const FlashCounters& Counters() const { return counters_; }
    FlashCounters& Counters() { return counters_; }

  private:
    FlashSpec spec_;
    std::vector<std::uint8_t> rom_;
    FlashCounters counters_;
};

}  // namespace veltrix::sim
