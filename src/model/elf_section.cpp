#include "model/elf_section.h"

#include <algorithm>
#include <array>
#include <limits>

namespace veltrix {

namespace {

constexpr std::uint8_t kClass32 = 1;
constexpr std::uint8_t kClass64 = 2;
constexpr std::uint8_t kLittleEndian = 1;
constexpr std::uint8_t kBigEndian = 2;
constexpr std::uint32_t kNoBits = 8;              // a section without bytes in the file
constexpr std::uint16_t kExtendedIndex = 0xFFFF;  // the index lives in section 0
// Far above what linkers write (a few kilobytes each); a file claiming more is damaged.
constexpr std::uint64_t kMaxTableBytes = 16U << 20U;
constexpr std::uint64_t kMaxNamesBytes = 16U << 20U;

// Where the fields lie in the two classes.
struct Layout {
    std::size_t headerSize;
    std::size_t shoff, shentsize, shnum, shstrndx;  // in the file header
    std::size_t addressSize;                        // of offsets and sizes
    std::size_t sectionSize;                        // smallest section header
    std::size_t name, type, offset, size, link;     // in a section header
};

constexpr Layout kElf32{52, 32, 46, 48, 50, 4, 40, 0, 4, 16, 20, 24};
constexpr Layout kElf64{64, 40, 58, 60, 62, 8, 64, 0, 4, 24, 32, 40};

// Unsigned fields of 2, 4 or 8 bytes in the file's byte order; the caller has checked
// that they lie inside `bytes`.
class Fields {
  public:
    Fields(std::span<const std::uint8_t> bytes, bool bigEndian)
        : bytes_(bytes), bigEndian_(bigEndian) {}

    std::uint64_t Get(std::size_t offset, std::size_t size) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t at = bigEndian_ ? offset + i : offset + size - 1 - i;
            value = (value << 8) | bytes_[at];
        }
        return value;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
};

struct Section {
    std::uint64_t name = 0;
    std::uint64_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t link = 0;
};

// a + b <= limit, without overflow.
bool FitsIn(std::uint64_t a, std::uint64_t b, std::uint64_t limit) {
    return a <= limit && b <= limit - a;
}

// Whether the name table `names` holds `name`, NUL-terminated, at `at`.
bool NameIs(std::span<const std::uint8_t> names, std::uint64_t at, std::string_view name) {
    if (at >= names.size() || name.size() + 1 > names.size() - at) {
        return false;
    }
    const auto bytes = names.subspan(static_cast<std::size_t>(at), name.size() + 1);
    return bytes.back() == 0 && std::equal(name.begin(), name.end(), bytes.begin());
}

class ElfReader {
  public:
    ElfReader(const ByteSource& file, const Layout& layout, bool bigEndian)
        : file_(file), layout_(layout), bigEndian_(bigEndian) {}

    std::optional<Section> ReadSection(std::uint64_t tableOffset, std::uint64_t entrySize,
                                       std::uint64_t index) const {
        if (index > std::numeric_limits<std::uint64_t>::max() / entrySize) {
            return std::nullopt;
        }
        std::array<std::uint8_t, 64> bytes{};
        const std::span<std::uint8_t> header(bytes.data(), layout_.sectionSize);
        if (!FitsIn(tableOffset, index * entrySize, file_.Size()) ||
            !file_.Read(tableOffset + index * entrySize, header)) {
            return std::nullopt;
        }
        const Fields f(header, bigEndian_);
        return Section{f.Get(layout_.name, 4), f.Get(layout_.type, 4),
                       f.Get(layout_.offset, layout_.addressSize),
                       f.Get(layout_.size, layout_.addressSize), f.Get(layout_.link, 4)};
    }

  private:
    const ByteSource& file_;
    const Layout& layout_;
    bool bigEndian_;
};

// What the file header says of the section table.
struct TableHeader {
    const Layout* layout = nullptr;
    bool bigEndian = false;
    std::uint64_t offset = 0;
    std::uint64_t entrySize = 0;
    std::uint64_t count = 0;       // 0: kept in section 0
    std::uint64_t namesIndex = 0;  // kExtendedIndex: kept in section 0
};

// Nothing when the file is no ELF file of a known class and byte order, or has no
// section table.
std::optional<TableHeader> ReadTableHeader(const ByteSource& file) {
    std::array<std::uint8_t, 64> ident{};
    if (!file.Read(0, std::span(ident).first(16)) || ident[0] != 0x7F || ident[1] != 'E' ||
        ident[2] != 'L' || ident[3] != 'F') {
        return std::nullopt;
    }
    const std::uint8_t elfClass = ident[4];
    const std::uint8_t byteOrder = ident[5];
    if ((elfClass != kClass32 && elfClass != kClass64) ||
        (byteOrder != kLittleEndian && byteOrder != kBigEndian)) {
        return std::nullopt;
    }
    const Layout& layout = elfClass == kClass64 ? kElf64 : kElf32;
    const bool bigEndian = byteOrder == kBigEndian;
    const std::span<std::uint8_t> header(ident.data(), layout.headerSize);
    if (!file.Read(0, header)) {
        return std::nullopt;
    }
    const Fields f(header, bigEndian);
    const TableHeader table{&layout,
                            bigEndian,
                            f.Get(layout.shoff, layout.addressSize),
                            f.Get(layout.shentsize, 2),
                            f.Get(layout.shnum, 2),
                            f.Get(layout.shstrndx, 2)};
    if (table.offset == 0 || table.entrySize < layout.sectionSize) {
        return std::nullopt;
    }
    return table;
}

}  // namespace

bool MemoryBytes::Read(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!FitsIn(offset, out.size(), bytes_.size())) {
        return false;
    }
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

FileBytes::FileBytes(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_ || std::fseek(file_.get(), 0, SEEK_END) != 0) {
        file_.reset();
        return;
    }
    const long end = std::ftell(file_.get());
    size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

bool FileBytes::Read(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (!file_ || !FitsIn(offset, out.size(), size_) ||
        offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) {
        return false;
    }
    return std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(out.data(), 1, out.size(), file_.get()) == out.size();
}

std::optional<std::vector<std::uint8_t>> ReadElfSection(const ByteSource& file,
                                                        std::string_view name,
                                                        std::size_t maxSize) {
    const std::optional<TableHeader> header = ReadTableHeader(file);
    if (!header) {
        return std::nullopt;
    }
    const Layout& layout = *header->layout;
    const bool bigEndian = header->bigEndian;
    const std::uint64_t tableOffset = header->offset;
    const std::uint64_t entrySize = header->entrySize;
    std::uint64_t count = header->count;
    std::uint64_t namesIndex = header->namesIndex;

    const ElfReader reader(file, layout, bigEndian);
    // Many sections: their count and the name table's index are kept in section 0.
    if (count == 0 || namesIndex == kExtendedIndex) {
        const auto first = reader.ReadSection(tableOffset, entrySize, 0);
        if (!first) {
            return std::nullopt;
        }
        count = count == 0 ? first->size : count;
        namesIndex = namesIndex == kExtendedIndex ? first->link : namesIndex;
    }
    // The whole table must lie in the file.
    if (count == 0 || count > file.Size() / entrySize ||
        !FitsIn(tableOffset, count * entrySize, file.Size()) || namesIndex >= count) {
        return std::nullopt;
    }
    // The table and the section names are read in one piece each, not an entry and a
    // name at a time: the program reads its own file at every start, and each read of
    // a file is a system call.
    if (count * entrySize > kMaxTableBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> table(static_cast<std::size_t>(count * entrySize));
    if (!file.Read(tableOffset, table)) {
        return std::nullopt;
    }
    const MemoryBytes tableBytes(table);
    const ElfReader tableReader(tableBytes, layout, bigEndian);
    const auto names = tableReader.ReadSection(0, entrySize, namesIndex);
    if (!names || names->type == kNoBits || names->size > kMaxNamesBytes ||
        !FitsIn(names->offset, names->size, file.Size())) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> nameBytes(static_cast<std::size_t>(names->size));
    if (!file.Read(names->offset, nameBytes)) {
        return std::nullopt;
    }
    for (std::uint64_t index = 0; index < count; ++index) {
        const auto section = tableReader.ReadSection(0, entrySize, index);
        if (!section) {
            return std::nullopt;
        }
        if (section->type == kNoBits || !NameIs(nameBytes, section->name, name)) {
            continue;
        }
        if (section->size > maxSize || !FitsIn(section->offset, section->size, file.Size())) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> contents(static_cast<std::size_t>(section->size));
        if (!file.Read(section->offset, contents)) {
            return std::nullopt;
        }
        return contents;
    }
    return std::nullopt;
}

}  // namespace veltrix
