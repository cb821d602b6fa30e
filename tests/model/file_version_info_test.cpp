// Reading a program's version block: found by its section in ELF files of both classes
// and byte orders, refused when missing, cut short or damaged, and the translation
// chosen for the user's language.

#include <gtest/gtest.h>

#include <random>

#include "model/elf_section.h"
#include "model/file_version_info.h"
#include "support/elf_image.h"
#include "support/temp_folder.h"

namespace veltrix::testing {
namespace {

constexpr std::uint16_t kEnglishUser = 0x0409;
constexpr std::uint16_t kGermanUser = 0x0407;

bool LoadBytes(FileVersionInfo& info, const std::vector<std::uint8_t>& file,
               std::uint16_t user = kEnglishUser) {
    return info.Load(MemoryBytes(file), user);
}

struct FileKind {
    bool is64;
    bool bigEndian;
};

class VersionFileTest : public ::testing::TestWithParam<FileKind> {};

TEST_P(VersionFileTest, ReadsTheProductVersionAndTheUsersStrings) {
    const auto file = ProgramWithVersion(3, 4, 1, 2, GetParam().is64, GetParam().bigEndian);
    FileVersionInfo info;
    ASSERT_TRUE(LoadBytes(info, file, kGermanUser));
    const std::pair<int, int> parts[] = {{3, 3}, {2, 4}, {1, 1}, {0, 2}, {4, 0}, {-1, 0}};
    for (const auto& [index, value] : parts) {
        EXPECT_EQ(info.GetProductVersion(index), value) << index;
    }
    EXPECT_EQ(info.Product(), (ProductVersion{3, 4, 1, 2}));
    EXPECT_EQ(info.Value("ProductName"), "Testprogramm");
    EXPECT_EQ(info.Value("CompanyName"), "Kavotronik");
    EXPECT_EQ(info.Value("Comments"), "");

    ASSERT_TRUE(LoadBytes(info, file, kEnglishUser));
    EXPECT_EQ(info.Value("ProductName"), "Test program");
}

INSTANTIATE_TEST_SUITE_P(Kinds, VersionFileTest,
                         ::testing::Values(FileKind{true, false}, FileKind{false, true}));

TEST(VersionFileReadTest, FilesWithoutABlockLeaveEverythingCleared) {
    const std::vector<std::vector<std::uint8_t>> files = {
        {},
        {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'},
        BuildElf({{".text", {0xC3}}}),
        // The name alone, without bytes in the file.
        BuildElf({{kVersionSectionName, {}, 8}}),
        // A section of the name whose contents are no block.
        BuildElf({{kVersionSectionName, {'V', 'X', 'V', 'I', 9, 0}}}),
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        FileVersionInfo info;
        ASSERT_TRUE(LoadBytes(info, ProgramWithVersion(1, 2, 3, 4)));
        EXPECT_FALSE(LoadBytes(info, files[i])) << i;
        EXPECT_EQ(info.Product(), ProductVersion{}) << i;
        EXPECT_EQ(info.Value("ProductName"), "") << i;
    }
    FileVersionInfo info;
    EXPECT_FALSE(info.Load("/nonexistent/Veltrix", kEnglishUser));
}

TEST(VersionFileReadTest, EveryCutOfTheFileOrTheBlockIsRefused) {
    const auto file = ProgramWithVersion(3, 4, 1, 2);
    for (std::size_t size = 0; size < file.size(); ++size) {
        FileVersionInfo info;
        const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(size));
        EXPECT_FALSE(LoadBytes(info, cut)) << size;
    }
    auto block = TestVersionBlock(3, 4, 1, 2);
    for (std::size_t size = 0; size < block.size(); ++size) {
        EXPECT_FALSE(DecodeVersionBlock(std::span(block).first(size))) << size;
    }
    block.push_back(0);
    EXPECT_FALSE(DecodeVersionBlock(block));
}

// Random files and damaged copies of a good one: never a read outside the bytes (the
// sanitizer build watches).
TEST(VersionFileReadTest, RandomAndDamagedFilesAreReadSafely) {
    std::mt19937 random(20140305);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> noise(static_cast<std::size_t>(random() % 400));
        for (auto& b : noise) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        FileVersionInfo info;
        EXPECT_FALSE(LoadBytes(info, noise));
    }
    const auto good = ProgramWithVersion(3, 4, 1, 2);
    for (int round = 0; round < 3000; ++round) {
        auto damaged = good;
        for (int n = 1 + round % 4; n > 0; --n) {
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(byte(random));
        }
        FileVersionInfo info;
        LoadBytes(info, damaged);
    }
}

// The program reads its own file at every start: a few reads, however many sections
// come before the block.
TEST(VersionFileReadTest, ReadsTheFileInAFewPieces) {
    class CountingBytes : public MemoryBytes {
      public:
        using MemoryBytes::MemoryBytes;
        bool Read(std::uint64_t offset, std::span<std::uint8_t> out) const override {
            ++reads;
            return MemoryBytes::Read(offset, out);
        }
        mutable int reads = 0;
    };
    std::vector<ElfSection> sections(40, ElfSection{".text", {0xC3}});
    sections.push_back({kVersionSectionName, TestVersionBlock(3, 4, 1, 2)});
    const auto file = BuildElf(sections);
    const CountingBytes bytes(file);
    FileVersionInfo info;
    ASSERT_TRUE(info.Load(bytes, kEnglishUser));
    EXPECT_LE(bytes.reads, 5);
}

// The same reads from a file on disk: a whole file loads, a cut one, an empty one and a
// missing one are refused, and no read reaches past the file's end.
TEST(VersionFileReadTest, ReadsFilesOnDiskWithinTheirSize) {
    const auto file = ProgramWithVersion(3, 4, 1, 2);
    const TempFolder folder;
    const std::string path = folder.file("program");
    const struct {
        const char* what;
        std::optional<std::size_t> written;  // bytes of the file on disk; none: no file
        bool loads;
    } cases[] = {{"whole", file.size(), true},
                 {"cut in half", file.size() / 2, false},
                 {"empty", 0, false},
                 {"missing", std::nullopt, false}};
    for (const auto& c : cases) {
        std::filesystem::remove(path);
        if (c.written) {
            WriteFile(path, {file.begin(), file.begin() + static_cast<std::ptrdiff_t>(*c.written)});
        }
        const FileBytes bytes(path);
        EXPECT_EQ(bytes.Size(), c.written.value_or(0)) << c.what;
        std::array<std::uint8_t, 1> past{};
        EXPECT_FALSE(bytes.Read(bytes.Size(), past)) << c.what;
        FileVersionInfo info;
        EXPECT_EQ(info.Load(path, kEnglishUser), c.loads) << c.what;
        if (c.loads) {
            EXPECT_EQ(info.Product().majorPart, 3) << c.what;
        }
    }
}

struct TranslationCase {
    const char* rule;
    std::vector<std::uint16_t> languages;
    std::uint16_t user;
    std::optional<std::size_t> chosen;
};

TEST(ChooseTranslationTest, FollowsTheFiveStepsInOrder) {
    const TranslationCase cases[] = {
        {"same language before same primary language", {0x0809, 0x0409}, 0x0409, 1},
        {"same primary language", {0x0407, 0x0C09}, 0x0409, 1},
        {"neutral before English", {0x0409, 0x0000}, 0x0411, 1},
        {"low byte 0 counts as neutral", {0x040C, 0x0400}, 0x0411, 1},
        {"English", {0x0407, 0x0809, 0x0409}, 0x0411, 1},
        {"German only for an English user: the first", {0x0407}, 0x0409, 0},
        {"nothing fits: the first", {0x040C, 0x0407}, 0x0411, 0},
        {"empty list", {}, 0x0409, std::nullopt},
    };
    for (const TranslationCase& c : cases) {
        std::vector<Translation> list;
        for (const std::uint16_t language : c.languages) {
            list.push_back({language, kCodePageUtf8});
        }
        EXPECT_EQ(ChooseTranslation(list, c.user), c.chosen) << c.rule;
    }
}

}  // namespace
}  // namespace veltrix::testing
