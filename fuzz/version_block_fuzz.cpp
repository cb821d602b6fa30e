// Feeds arbitrary bytes to the reader of a program's version block: as a whole file
// (the ELF section search, then the block) and as the block itself.

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/elf_section.h"
#include "model/file_version_info.h"
#include "model/version_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrix;
    const std::span<const std::uint8_t> bytes(data, size);

    FileVersionInfo info;
    (void)info.Load(MemoryBytes(bytes), 0x0407);
    (void)DecodeVersionBlock(bytes);
    return 0;
}
