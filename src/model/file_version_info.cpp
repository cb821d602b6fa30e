#include "model/file_version_info.h"

#include <algorithm>
#include <functional>

#include "model/elf_section.h"

namespace veltrix {

namespace {

constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kGermanGermany = 0x0407;
constexpr std::uint8_t kNeutral = 0x00;
constexpr std::uint8_t kEnglish = 0x09;

std::uint8_t LowByte(std::uint16_t language) {
    return static_cast<std::uint8_t>(language & 0xFF);
}

const std::string& EmptyString() {
    static const std::string kEmpty;
    return kEmpty;
}

}  // namespace

std::uint16_t LanguageIdOf(Language language) {
    return language == Language::German ? kGermanGermany : kEnglishUs;
}

std::optional<std::size_t> ChooseTranslation(std::span<const Translation> translations,
                                             std::uint16_t userLanguage) {
    const std::function<bool(std::uint16_t)> rules[] = {
        [userLanguage](std::uint16_t l) { return l == userLanguage; },
        [userLanguage](std::uint16_t l) { return LowByte(l) == LowByte(userLanguage); },
        [](std::uint16_t l) { return LowByte(l) == kNeutral; },
        [](std::uint16_t l) { return LowByte(l) == kEnglish; },
    };
    for (const auto& rule : rules) {
        const auto found = std::find_if(translations.begin(), translations.end(),
                                        [&rule](const Translation& t) { return rule(t.language); });
        if (found != translations.end()) {
            return static_cast<std::size_t>(found - translations.begin());
        }
    }
    if (translations.empty()) {
        return std::nullopt;
    }
    return 0;
}

std::string ProductVersionText(const ProductVersion& v) {
    std::string text = std::to_string(v.majorPart) + '.' + std::to_string(v.minorPart) + '.' +
                       std::to_string(v.build);
    if (v.revision != 0) {
        text += '.' + std::to_string(v.revision);
    }
    return text;
}

const ProductVersion& OwnProductVersion() {
    static const ProductVersion kVersion = [] {
        FileVersionInfo info;
        info.Load(kOwnProgramFile);
        return info.Product();
    }();
    return kVersion;
}

void FileVersionInfo::Reset() {
    fixed_ = FixedFileInfo{};
    for (std::string& value : values_) {
        value.clear();
    }
}

bool FileVersionInfo::Load(const std::string& fileName) {
    return Load(fileName, LanguageIdOf(UiLanguage()));
}

bool FileVersionInfo::Load(const std::string& fileName, std::uint16_t userLanguage) {
    const FileBytes file(fileName);
    return Load(file, userLanguage);
}

bool FileVersionInfo::Load(const ByteSource& file, std::uint16_t userLanguage) {
    Reset();
    const auto section = ReadElfSection(file, kVersionSectionName, kMaxVersionBlockSize);
    if (!section) {
        return false;
    }
    const auto block = DecodeVersionBlock(*section);
    if (!block) {
        return false;
    }
    if (block->fixed) {
        fixed_ = *block->fixed;
    }
    const auto chosen = ChooseTranslation(block->translations, userLanguage);
    if (!chosen) {
        return true;
    }
    const Translation translation = block->translations[*chosen];
    for (const VersionBlock::Table& table : block->tables) {
        if (table.translation != translation) {
            continue;
        }
        for (std::size_t i = 0; i < kVersionStringNames.size(); ++i) {
            for (const auto& [name, value] : table.strings) {
                if (name == kVersionStringNames[i]) {
                    values_[i] = value;
                    break;
                }
            }
        }
        break;
    }
    return true;
}

std::uint16_t FileVersionInfo::GetProductVersion(int index) const {
    switch (index) {
        case 3:
            return static_cast<std::uint16_t>(fixed_.productVersionMS >> 16);
        case 2:
            return static_cast<std::uint16_t>(fixed_.productVersionMS & 0xFFFF);
        case 1:
            return static_cast<std::uint16_t>(fixed_.productVersionLS >> 16);
        case 0:
            return static_cast<std::uint16_t>(fixed_.productVersionLS & 0xFFFF);
        default:
            return 0;
    }
}

ProductVersion FileVersionInfo::Product() const {
    return {GetProductVersion(3), GetProductVersion(2), GetProductVersion(1), GetProductVersion(0)};
}

const std::string& FileVersionInfo::Value(std::string_view name) const {
    const auto found = std::find(kVersionStringNames.begin(), kVersionStringNames.end(), name);
    if (found == kVersionStringNames.end()) {
        return EmptyString();
    }
    return values_[static_cast<std::size_t>(found - kVersionStringNames.begin())];
}

}  // namespace veltrix
