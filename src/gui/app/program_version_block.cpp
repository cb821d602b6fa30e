// The program's version block, in a section of its own that FileVersionInfo reads
// back from the program file: the version from the build (VELTRIX_VERSION_PARTS,
// VELTRIX_VERSION_TEXT) and the version strings in English and German.
//
// Compiled into each program itself, not into a library: nothing refers to the block,
// so the linker would leave it out of a library's members. `used` keeps the compiler
// from dropping it, `retain` keeps the linker's section garbage collection from it.

#include "model/version_block.h"

namespace veltrix {
namespace {

constexpr std::uint16_t kParts[] = {VELTRIX_VERSION_PARTS};
static_assert(std::size(kParts) == 4, "the version has four numbers");

constexpr Translation kEnglish{0x0409, kCodePageUtf8};
constexpr Translation kGerman{0x0407, kCodePageUtf8};

constexpr VersionString kEnglishStrings[] = {
    {"CompanyName", "Kavotronik"},
    {"FileDescription", "Kavotronik Veltrix RAID status client"},
    {"FileVersion", VELTRIX_VERSION_TEXT},
    {"InternalName", "Veltrix"},
    {"LegalCopyright", "Copyright (C) Kavotronik"},
    {"OriginalFileName", "Veltrix"},
    {"ProductName", "Kavotronik Veltrix"},
    {"ProductVersion", VELTRIX_VERSION_TEXT},
    {"Comments", "Shows the RAID controllers as their monitoring service reports them"},
    {"LegalTrademarks", ""},
    {"PrivateBuild", ""},
    {"SpecialBuild", ""},
};

constexpr VersionString kGermanStrings[] = {
    {"CompanyName", "Kavotronik"},
    {"FileDescription", "Kavotronik Veltrix RAID-Statusprogramm"},
    {"FileVersion", VELTRIX_VERSION_TEXT},
    {"InternalName", "Veltrix"},
    {"LegalCopyright", "Copyright (C) Kavotronik"},
    {"OriginalFileName", "Veltrix"},
    {"ProductName", "Kavotronik Veltrix"},
    {"ProductVersion", VELTRIX_VERSION_TEXT},
    {"Comments", "Zeigt die RAID-Controller, wie ihr Überwachungsdienst sie meldet"},
    {"LegalTrademarks", ""},
    {"PrivateBuild", ""},
    {"SpecialBuild", ""},
};

constexpr Translation kTranslations[] = {kEnglish, kGerman};
constexpr VersionTable kTables[] = {{kEnglish, kEnglishStrings}, {kGerman, kGermanStrings}};

constexpr VersionSpec kSpec{MakeFixedFileInfo(kParts[0], kParts[1], kParts[2], kParts[3]),
                            kTranslations, kTables};

constexpr std::size_t kSize = VersionBlockSize(kSpec);
static_assert(std::string_view(kVersionSectionName) == "veltrix_version");

[[gnu::section("veltrix_version"), gnu::used,
  gnu::retain]] constinit const std::array<std::uint8_t, kSize>
    kProgramVersionBlock = VersionBlockBytes<kSize>(kSpec);

}  // namespace
}  // namespace veltrix
