// The texts that render status codes, with their order of precedence.

#include "model/status_texts.h"

#include <gtest/gtest.h>

#include "model/records.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {
namespace {

class StatusTexts : public ::testing::Test {
  protected:
    void SetUp() override { SetUiLanguage(Language::English); }
    void TearDown() override { SetUiLanguage(Language::English); }
};

TEST_F(StatusTexts, Chipset) {
    const std::string unknown = "Unknown";
    const struct {
        std::uint16_t vendor, device;
        std::string text;
    } cases[] = {
        {0x1000, 0x0001, "   LSI Logic "}, {0x1022, 0x2020, "      AMD  Am53C974 "},
        {0x1022, 0x2021, unknown},         {0x1095, 0x3132, " SiI3132"},
        {0x1095, 0x3124, " SiI3124"},      {0x1095, 0x00AB, " SiIab"},
        {0x1103, 0x0000, "  HighPoint "},  {0x11AB, 0x7042, "88SX7042"},
        {0x11AB, 0x7043, unknown},         {0x1B4B, 0x9123, "88SE9128"},
        {0x1B4B, 0x9170, "88SE9170"},      {0x1B4B, 0x9172, "88SE9172"},
        {0x1B4B, 0x9182, "88SE9182"},      {0x1B4B, 0x9230, "88SE9230"},
        {0x1B4B, 0x9125, unknown},         {0x8086, 0x2922, "8086_2922"},
        {0x10de, 0x0abc, "10DE_ABC"},      {0x0000, 0x0000, "0_0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.vendor << ":" << c.device);
        EXPECT_EQ(ChipsetText(c.vendor, c.device), c.text);
    }
}

TEST_F(StatusTexts, ChipsetUnknownFollowsTheLanguage) {
    SetUiLanguage(Language::German);
    EXPECT_EQ(ChipsetText(0x1B4B, 0x9125), LoadString(ids::kUnknown, Language::German));
    EXPECT_EQ(ChipsetText(0x1B4B, 0x9125), "Unbekannt");
}

TEST_F(StatusTexts, BiosVersionIsLowerCaseHex) {
    EXPECT_EQ(BiosVersionText(0x0360), "3.60");
    EXPECT_EQ(BiosVersionText(0x1A05), "1a.05");
    EXPECT_EQ(BiosVersionText(0x0000), "0.00");
    EXPECT_EQ(BiosVersionText(0xFFFF), "ff.ff");
}

TEST_F(StatusTexts, InterfaceMode) {
    const struct {
        std::uint8_t link, gen;
        std::string text;
    } cases[] = {
        {0x00, 1, "DMA"},
        {0xBF, 3, "DMA"},  // every bit but 6
        {0x40, 1, "SATA Gen. 1 (1,5 Gb/s)"},
        {0x40, 2, "SATA Gen. 2 (3,0 Gb/s)"},
        {0xFF, 3, "SATA Gen. 3 (6,0 Gb/s)"},
        {0x40, 0, "SATA Mode unknown"},
        {0x40, 4, "SATA Mode unknown"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InterfaceText(c.link, c.gen), c.text) << int{c.link} << "/" << int{c.gen};
    }
}

TEST_F(StatusTexts, CapacityInWholeGigabytes) {
    EXPECT_EQ(CapacityText(488'397'168), "232 GB");
    EXPECT_EQ(CapacityText((1u << 21) - 1), "0 GB");
    EXPECT_EQ(CapacityText(1u << 21), "1 GB");
    EXPECT_EQ(CapacityText(0xFFFF'FFFF'FFFFull), "134217727 GB");  // largest drive count
    EXPECT_EQ(CapacityText(~0ull), "4294967295 GB");               // cut to 32 bits
}

TEST_F(StatusTexts, PortStateFirstMatchWins) {
    const struct {
        std::uint32_t state;
        const char* text;
    } cases[] = {
        {0x0000, " "},        {0x0100, " "},        {0x8100, " "},       {0x0001, "None"},
        {0x0101, "Current"},  {0x0201, "Rebuild"},  {0x0301, "Rebuild"}, {0x0401, "Striping"},
        {0x0601, "Striping"}, {0x0801, "Dropped"},  {0x1001, "Removed"}, {0x1F01, "Removed"},
        {0x8101, "Orphaned"}, {0x8001, "Orphaned"}, {0x2001, "None"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortStateText(c.state), c.text) << std::hex << c.state;
    }
}

TEST_F(StatusTexts, SmartOkOutranksCritical) {
    EXPECT_EQ(SmartStatusText(0x00), " - ");
    EXPECT_EQ(SmartStatusText(0x08), "Critical");
    EXPECT_EQ(SmartStatusText(0x04), "Ok");
    EXPECT_EQ(SmartStatusText(0x0C), "Ok");
    EXPECT_EQ(SmartStatusText(0xF3), " - ");
}

TEST_F(StatusTexts, RaidType) {
    const struct {
        std::uint8_t flags, type, deviceByte;
        std::uint16_t chunk;
        const char* text;
    } cases[] = {
        {0x00, 0, 0, 0, "non Raid"},       {0xFE, 16, 0, 0, "non Raid"},
        {0x01, 0, 0, 0, "Stripe"},         {0x01, 1, 0x00, 0x0080, "Mirror"},
        {0x01, 1, 0x00, 0xFFFF, "Mirror"}, {0x01, 1, 0x80, 0x0080, "Mirror"},
        {0x01, 1, 0x81, 0xFFFF, "Backup"}, {0x01, 2, 0, 0, "Mirror-Stripe"},
        {0x01, 3, 0, 0, "Spare Drive"},    {0x01, 4, 0, 0, "JBOD"},
        {0x01, 16, 0, 0, "RAID 5"},        {0x01, 253, 0, 0, "not supported"},
        {0x01, 255, 0, 0, "Contiguous"},   {0x01, 5, 0, 0, "unbekannt"},
    };
    for (const auto& c : cases) {
        RaidSetRecord r;
        r.raidFlags = c.flags;
        r.raidType = c.type;
        r.deviceNumber = c.deviceByte;
        r.chunkSize = c.chunk;
        EXPECT_EQ(RaidTypeText(r), c.text) << int{c.type};
    }
}

TEST_F(StatusTexts, RaidStatusLastRuleThatHoldsDecides) {
    const struct {
        std::uint8_t flags;
        const char* text;
    } cases[] = {
        {0x00, "Ready"},   {0x01, ""},           {0x80, "Hidden"},   {0x02, "Invalid"},
        {0x82, "Invalid"}, {0x04, "Incomplete"}, {0x08, "Rebuild"},  {0x10, "Reduced"},
        {0x30, "Broken"},  {0xC0, "Complete"},   {0xFF, "Complete"}, {0x1E, "Reduced"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RaidStatusText(c.flags), c.text) << std::hex << int{c.flags};
    }
}

TEST_F(StatusTexts, ChunkSizePanelAndListForms) {
    const struct {
        std::uint16_t chunk;
        const char* panel;
        const char* list;
    } cases[] = {
        {0, "- ", " "},          {1, "- ", " "},          {2, "1 KB", "1 KB"},
        {128, "64 KB", "64 KB"}, {129, "64 KB", "64 KB"}, {0xFFFF, "32767 KB", "32767 KB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChunkSizePanelText(c.chunk), c.panel) << c.chunk;
        EXPECT_EQ(ChunkSizeListText(c.chunk), c.list) << c.chunk;
    }
}

TEST_F(StatusTexts, MembersJoinUsedEntries) {
    EXPECT_EQ(MembersText({2, 0xFF, 3, 0xFF}), "2, 3");
    EXPECT_EQ(MembersText({0xFF, 0xFF, 0xFF, 0xFF}), "");
    EXPECT_EQ(MembersText({0, 1, 2, 3}), "0, 1, 2, 3");
    EXPECT_EQ(MembersText({0xFF, 0xFF, 0xFF, 254}), "254");
}

}  // namespace
}  // namespace veltrix
