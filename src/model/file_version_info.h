#pragma once
// The version information of a program file: its fixed block and the twelve standard
// version strings of the translation that suits the user, read from the version block
// the file carries (model/version_block.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/version_block.h"
#include "texts/strings.h"

namespace veltrix {

class ByteSource;

// The running program's own file.
inline constexpr char kOwnProgramFile[] = "/proc/self/exe";

// The twelve standard version strings, in this order.
inline constexpr std::array<std::string_view, 12> kVersionStringNames = {
    "CompanyName",    "FileDescription",  "FileVersion",  "InternalName",
    "LegalCopyright", "OriginalFileName", "ProductName",  "ProductVersion",
    "Comments",       "LegalTrademarks",  "PrivateBuild", "SpecialBuild"};

// The language id of the user interface language (English 0x0409, German 0x0407).
std::uint16_t LanguageIdOf(Language language);

// The translation to read the strings of, for a user of language `userLanguage`: the
// first entry of that language; else the first of the same primary language (low
// byte); else the first neutral one (language or its low byte 0); else the first
// English one (language or low byte 9); else the first. Nothing for an empty list.
std::optional<std::size_t> ChooseTranslation(std::span<const Translation> translations,
                                             std::uint16_t userLanguage);

// A program's version, four 16-bit numbers.
struct ProductVersion {
    std::uint16_t majorPart = 0;
    std::uint16_t minorPart = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
    bool operator==(const ProductVersion&) const = default;
};

// "major.minor.build", with ".revision" when the revision is not 0.
std::string ProductVersionText(const ProductVersion& version);

// The running program's own product version (kOwnProgramFile), read once: the
// application object and the main window both show it.
const ProductVersion& OwnProductVersion();

class FileVersionInfo {
  public:
    FileVersionInfo() = default;
    virtual ~FileVersionInfo() = default;
    FileVersionInfo(const FileVersionInfo&) = default;
    FileVersionInfo& operator=(const FileVersionInfo&) = default;

    // Clears the fixed block to zero and empties the strings.
    virtual void Reset();

    // Reads the version block of file `fileName` with the strings of the translation
    // chosen for the program's language; false (everything cleared) for a file that
    // has none or whose block is damaged.
    bool Load(const std::string& fileName);
    bool Load(const std::string& fileName, std::uint16_t userLanguage);
    bool Load(const ByteSource& file, std::uint16_t userLanguage);

    // One part of the product version: 3 major, 2 minor, 1 build, 0 revision; 0 for
    // any other index.
    std::uint16_t GetProductVersion(int index) const;
    ProductVersion Product() const;

    const FixedFileInfo& Fixed() const { return fixed_; }
    // The value of one of kVersionStringNames (empty when the file has none).
    const std::string& Value(std::string_view name) const;

  private:
    FixedFileInfo fixed_;
    std::array<std::string, kVersionStringNames.size()> values_;
};

}  // namespace veltrix
