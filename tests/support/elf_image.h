#pragma once
// Small ELF files for tests: a file header, the section header table right after it,
// the section name table, then each section's bytes. The table comes before the
// contents, so cutting the file short cuts a section's bytes, not only the table.

#include <cstdint>
#include <string>
#include <vector>

#include "model/version_block.h"

namespace veltrix::testing {

struct ElfSection {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::uint32_t type = 1;  // 1 program data, 8 no bytes in the file
};

inline std::vector<std::uint8_t> BuildElf(const std::vector<ElfSection>& sections, bool is64 = true,
                                          bool bigEndian = false) {
    const std::size_t headerSize = is64 ? 64 : 52;
    const std::size_t entrySize = is64 ? 64 : 40;
    const std::size_t wordSize = is64 ? 8 : 4;
    const std::size_t count = sections.size() + 2;  // the null section, the name table

    std::string names(1, '\0');
    std::vector<std::size_t> nameAt;
    for (const ElfSection& s : sections) {
        nameAt.push_back(names.size());
        names += s.name + '\0';
    }
    const std::size_t namesName = names.size();
    names += std::string(".shstrtab") + '\0';

    std::vector<std::uint8_t> file(headerSize + count * entrySize);
    const auto put = [&file, bigEndian](std::size_t at, std::uint64_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t shift = 8 * (bigEndian ? size - 1 - i : i);
            file[at + i] = static_cast<std::uint8_t>(value >> shift);
        }
    };
    file[0] = 0x7F;
    file[1] = 'E';
    file[2] = 'L';
    file[3] = 'F';
    file[4] = is64 ? 2 : 1;
    file[5] = bigEndian ? 2 : 1;
    file[6] = 1;
    put(16, 2, 2);                              // executable
    put(is64 ? 40 : 32, headerSize, wordSize);  // section table offset
    put(is64 ? 52 : 40, headerSize, 2);         // header size
    put(is64 ? 58 : 46, entrySize, 2);          // section header size
    put(is64 ? 60 : 48, count, 2);              // section count
    put(is64 ? 62 : 50, count - 1, 2);          // name table index

    const auto section = [&](std::size_t index, std::size_t name, std::uint32_t type,
                             const std::vector<std::uint8_t>& bytes) {
        const std::size_t at = headerSize + index * entrySize;
        put(at, name, 4);
        put(at + 4, type, 4);
        put(at + (is64 ? 24 : 16), file.size(), wordSize);
        put(at + (is64 ? 32 : 20), bytes.size(), wordSize);
        if (type != 8) {
            file.insert(file.end(), bytes.begin(), bytes.end());
        }
    };
    section(count - 1, namesName, 3, std::vector<std::uint8_t>(names.begin(), names.end()));
    for (std::size_t i = 0; i < sections.size(); ++i) {
        section(i + 1, nameAt[i], sections[i].type, sections[i].bytes);
    }
    return file;
}

// Version strings of a test program in English and German.
inline constexpr Translation kTestEnglish{0x0409, kCodePageUtf8};
inline constexpr Translation kTestGerman{0x0407, kCodePageUtf8};
inline constexpr VersionString kTestEnglishStrings[] = {{"ProductName", "Test program"},
                                                        {"CompanyName", "Kavotronik"}};
inline constexpr VersionString kTestGermanStrings[] = {{"ProductName", "Testprogramm"},
                                                       {"CompanyName", "Kavotronik"}};
inline constexpr Translation kTestTranslations[] = {kTestEnglish, kTestGerman};
inline constexpr VersionTable kTestTables[] = {{kTestEnglish, kTestEnglishStrings},
                                               {kTestGerman, kTestGermanStrings}};

// The version block of a test program of version a.b.c.d.
inline std::vector<std::uint8_t> TestVersionBlock(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                                  std::uint16_t d) {
    return EncodeVersionBlock({MakeFixedFileInfo(a, b, c, d), kTestTranslations, kTestTables});
}

// A program file with some sections and the version block of version a.b.c.d.
inline std::vector<std::uint8_t> ProgramWithVersion(std::uint16_t a, std::uint16_t b,
                                                    std::uint16_t c, std::uint16_t d,
                                                    bool is64 = true, bool bigEndian = false) {
    return BuildElf({{".text", {0x90, 0x90, 0xC3}},
                     {".bss", {0, 0, 0, 0}, 8},
                     {kVersionSectionName, TestVersionBlock(a, b, c, d)}},
                    is64, bigEndian);
}

}  // namespace veltrix::testing
