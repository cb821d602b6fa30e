#include "texts/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "texts/format.h"
#include "texts/string_table.h"

namespace veltrix {
namespace {

TEST(StringTable, IdsAreAscendingUniqueAndInRange) {
    const auto rows = StringTable();
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(IsWellFormedTable(rows));
    for (const StringEntry& row : rows) {
        EXPECT_GE(row.id, 101);
        EXPECT_LE(row.id, 194);
    }
}

TEST(StringTable, WellFormedCheckRejectsBadTables) {
    const StringEntry unsorted[] = {{102, "a", "a"}, {101, "b", "b"}};
    const StringEntry twice[] = {{101, "a", "a"}, {101, "b", "b"}};
    const StringEntry missing[] = {{101, "a", nullptr}};
    EXPECT_FALSE(IsWellFormedTable(unsorted));
    EXPECT_FALSE(IsWellFormedTable(twice));
    EXPECT_FALSE(IsWellFormedTable(missing));
}

TEST(StringTable, EveryIdHasBothLanguages) {
    for (const StringEntry& row : StringTable()) {
        SCOPED_TRACE(row.id);
        EXPECT_TRUE(HasString(row.id));
        EXPECT_FALSE(LoadString(row.id, Language::English).empty());
        EXPECT_FALSE(LoadString(row.id, Language::German).empty());
        EXPECT_EQ(LoadString(row.id, Language::English), row.english);
        EXPECT_EQ(LoadString(row.id, Language::German), row.german);
    }
}

// Each text must take as many arguments in German as in English, or the same call
// would format differently in the two languages.
TEST(StringTable, BothLanguagesUseTheSameConversions) {
    auto conversions = [](const std::string& text) {
        std::string found;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == '%') {
                found += text[i + 1];
                ++i;
            }
        }
        return found;
    };
    for (const StringEntry& row : StringTable()) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(conversions(row.english), conversions(row.german));
    }
}

TEST(StringTable, HoldsTheQuotedIds) {
    std::set<int> present;
    for (const StringEntry& row : StringTable())
        present.insert(row.id);
    for (int id = 101; id <= 194; ++id) {
        const bool unused = id == 154 || id == 172 || id == 173 || (id >= 178 && id <= 181);
        EXPECT_EQ(present.count(id) == 1, !unused) << id;
    }
}

TEST(StringTable, AbsentIdsLoadEmpty) {
    for (const int id : {0, -1, 100, 154, 172, 173, 178, 181, 195, 1000}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(HasString(id));
        EXPECT_EQ(LoadString(id, Language::English), "");
        EXPECT_EQ(LoadString(id, Language::German), "");
    }
}

struct TextCase {
    int id;
    const char* english;
    const char* german;
};

// Texts whose blanks, line breaks, quotes and spelling are easy to get wrong.
class ExactText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ExactText, MatchesInBothLanguages) {
    const TextCase& c = GetParam();
    EXPECT_EQ(LoadString(c.id, Language::English), c.english);
    EXPECT_EQ(LoadString(c.id, Language::German), c.german);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExactText,
    ::testing::Values(
        TextCase{101, "&About Veltrix...", "&Info über Veltrix..."},
        TextCase{102, "Kavotronik Service not available ?",
                 "Dienst Kavotronik auf dem Zielrechner nicht erreichbar?"},
        TextCase{104, "Kavotronik Service Read Error!",
                 "Übertragungsfehler vom Kavotronik Dienst!"},
        TextCase{105, "Kavotronik Service Write Error!",
                 "Übertragungsfehler zum Kavotronik Dienst!"},
        TextCase{111, "Kavotronik Veltrix\nConnection established",
                 "Kavotronik Veltrix\nVerbindung hergestellt"},
        TextCase{120, "Password corrupted!\nOld Password restored!",
                 "Passwort beschädigt!\nAltes Passwort wieder hergestellt!"},
        TextCase{121, "Entrys not complete. e-mail inactive",
                 "Eingabe unvollständig. Mail deaktiviert"},
        TextCase{125, "Controller No.%d  %d", "Controller Nr.%d  %d"},
        TextCase{126, "\nController No.%d    -   ", "\nController Nr.%d    -   "},
        TextCase{128, "Kavotronik Veltrix\nnot connected!", "Kavotronik Veltrix\nNicht verbunden!"},
        TextCase{132, "Controller No.:%d  Spare Drive* accessed.",
                 "Controller Nr.:%d  Zugriff auf Spare Drive*."},
        TextCase{138, "Controller No.:%d  Set Nr.:%d\nlost Redundancy.",
                 "Controller Nr.:%d  Set Nr.:%d\nRedundanz verloren."},
        TextCase{139, "Event", "Ereigniss"},
        TextCase{140, "Controller No.:%d  Set Nr.:%d\nRAID is broken.",
                 "Controller Nr.:%d  Set Nr.:%d\nRAID ist broken."},
        TextCase{142, "E-Mail System Error:\n", "Fehler im Mailsystem:\n"},
        TextCase{145, "Device Info", "Device Info"},
        TextCase{148, "Interface-Mode:", "Interface-Mode:"},
        TextCase{155, "SATA Mode unknown", "SATA mode unbekannt"},
        TextCase{161, "Binarifiles (*.bin) ", "Binärdateien (*.bin)"},
        TextCase{168, "Flash Write-Error (Offset)", "Fehler beim Flashen (Länge/Größe)"},
        TextCase{170, "Flashtype: ", "Flashtyp: "},
        TextCase{174, "The \"Line\" is busy.\n", "\"Leitung besetzt\".\n"},
        TextCase{175, "*.bin", "*.bin"},
        TextCase{183, "    BIOS not found", "    kein BIOS gefunden"},
        TextCase{185, "    BIOS Version: %d.%d", "    BIOS Version: %d.%d"},
        TextCase{189, "Existing BIOS is equal or newer than selected Version.\nFlash it anyway?",
                 "Vorhandenes BIOS ist gleich oder neuer wie die gewählte Version.\n"
                 "Trotzdem flashen?"},
        TextCase{194, "BIOS filesize is larger than FlashROM.\nContinue ?",
                 "BIOS Dateilänge ist größer als FlashROM.\nFortsetzen ?"}),
    [](const ::testing::TestParamInfo<TextCase>& param) {
        return "Id" + std::to_string(param.param.id);
    });

TEST(UiLanguage, SelectsTheTableForLoadString) {
    const Language before = UiLanguage();
    SetUiLanguage(Language::German);
    EXPECT_EQ(LoadString(ids::kInvalidPassword), "Falsches Passwort!");
    EXPECT_EQ(FormatString(ids::kEventErrorCode, 7), "FehlerCode 7");
    SetUiLanguage(Language::English);
    EXPECT_EQ(LoadString(ids::kInvalidPassword), "Invalid Password!");
    EXPECT_EQ(FormatString(ids::kEventErrorCode, 7), "Errorcode 7");
    EXPECT_EQ(FormatString(Language::German, ids::kEventErrorCode, 7), "FehlerCode 7");
    SetUiLanguage(before);
}

struct LocaleCase {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Language expected;
};

class LanguageChoice : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LanguageChoice, FirstNonEmptyVariableDecides) {
    const LocaleCase& c = GetParam();
    EXPECT_EQ(LanguageFromEnvironment(c.language, c.lcAll, c.lcMessages, c.lang), c.expected)
        << "LANGUAGE=" << c.language << " LC_ALL=" << c.lcAll << " LC_MESSAGES=" << c.lcMessages
        << " LANG=" << c.lang;
}

constexpr Language kDe = Language::German;
constexpr Language kEn = Language::English;

INSTANTIATE_TEST_SUITE_P(
    Locales, LanguageChoice,
    ::testing::Values(
        // Forms of a German locale name.
        LocaleCase{"", "", "", "de", kDe}, LocaleCase{"", "", "", "de_DE", kDe},
        LocaleCase{"", "", "", "de_AT.UTF-8", kDe}, LocaleCase{"", "", "", "de_CH@euro", kDe},
        LocaleCase{"", "", "", "DE_de.utf8", kDe}, LocaleCase{"", "", "", "de-DE", kDe},
        // Not German.
        LocaleCase{"", "", "", "C", kEn}, LocaleCase{"", "", "", "POSIX", kEn},
        LocaleCase{"", "", "", "en_US.UTF-8", kEn}, LocaleCase{"", "", "", "fr_FR", kEn},
        LocaleCase{"", "", "", "dea", kEn}, LocaleCase{"", "", "", "d", kEn},
        LocaleCase{"", "", "", "", kEn},
        // Precedence: LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
        LocaleCase{"de", "C", "en_US", "en_US", kDe},
        LocaleCase{"en", "de_DE", "de_DE", "de_DE", kEn},
        LocaleCase{"", "de_DE.UTF-8", "C", "en_US", kDe},
        LocaleCase{"", "C", "de_DE", "de_DE", kEn}, LocaleCase{"", "", "de_DE", "en_US", kDe},
        LocaleCase{"", "", "en_GB", "de_DE", kEn},
        // LANGUAGE is a list whose first entry counts.
        LocaleCase{"de:en", "", "", "", kDe}, LocaleCase{"en:de", "", "", "de_DE", kEn},
        LocaleCase{":de_AT:en", "", "", "", kDe}, LocaleCase{":", "", "", "de_DE", kDe}));

}  // namespace
}  // namespace veltrix
