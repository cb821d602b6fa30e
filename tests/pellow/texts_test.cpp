// The launcher's texts: the message for every result code in both languages, the
// language chosen from the environment, and the display rule.

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

#include "pellow/error_box.h"
#include "pellow/texts.h"
#include "test_desktop.h"
#include "texts/strings.h"

namespace pellow {
namespace {

TEST(PellowTextsTest, MessageForEveryResult) {
    const struct {
        std::vector<int> results;
        const char16_t* english;
        const char16_t* german;  // nullptr: the same
    } rows[] = {
        {{0, 8}, u"Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!", nullptr},
        {{2}, u"InstFile_EN.msi not found!", u"InstFile_DE.msi wurde nicht gefunden!"},
        {{3}, u"Path not found!", u"Der Pfad zur Datei wurde  nicht gefunden!"},
        {{5, 26},
         u"Access denied!",
         u"Der Zugriff auf die Installationsdatei  wurde vom Betriebssystem verweigert!"},
        {{11},
         u"The installation file is corupt!",
         u"Die Installationsdatei ist ungültig oder beschädigt!"},
        {{27, 31},
         u"Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!",
         nullptr},
        {{INT_MIN, -1, 1,  4,  6,  7,  9,  10, 12, 13, 14, 15, 16,
          17,      18, 19, 20, 21, 22, 23, 24, 25, 28, 29, 30, 32},
         u"Datei  konnte nicht geöffnet werden!",
         nullptr},
        {{33, 42, INT_MAX}, u"", nullptr},  // success
    };
    std::set<int> seen;
    for (const auto& row : rows) {
        for (const int result : row.results) {
            EXPECT_TRUE(seen.insert(result).second) << result << " is in two rows";
            const QString english = QString::fromUtf16(row.english);
            EXPECT_EQ(MessageForResult(result, Language::English), english) << result;
            EXPECT_EQ(MessageForResult(result, Language::German),
                      row.german ? QString::fromUtf16(row.german) : english)
                << result;
        }
    }
    for (int result = -1; result <= 32; ++result) {
        EXPECT_TRUE(seen.count(result)) << result << " has no row";
    }
}

// The same choice as Veltrix makes; the variables themselves are read in the program's
// runs (launcher_test.cpp).
TEST(PellowTextsTest, LanguageAsVeltrixChoosesIt) {
    const struct {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        bool german;
    } rows[] = {
        {"", "", "", "", false},           {"", "", "", "de_DE.UTF-8", true},
        {"", "", "", "C", false},          {"", "", "", "deu", false},
        {"", "", "DE-ch", "en_US", true},  {"", "C.UTF-8", "de_DE", "de_DE", false},
        {"", "de@euro", "", "en", true},   {"::de:en", "en_US", "", "", true},
        {"en:de", "de_DE", "", "", false}, {":", "", "", "de_AT.UTF-8", true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message()
                     << r.language << '|' << r.lcAll << '|' << r.lcMessages << '|' << r.lang);
        EXPECT_EQ(LanguageFromEnvironment(r.language, r.lcAll, r.lcMessages, r.lang),
                  r.german ? Language::German : Language::English);
        EXPECT_EQ(veltrix::LanguageFromEnvironment(r.language, r.lcAll, r.lcMessages, r.lang),
                  r.german ? veltrix::Language::German : veltrix::Language::English);
    }
}

TEST(PellowTextsTest, DisplayOnlyWhenNamedAndQtDrawsOnIt) {
    const struct {
        const char* platform;
        const char* display;
        const char* wayland;
        bool expected;
    } rows[] = {
        {"", "", "", false},
        {"", ":0", "", true},
        {"", "", "wayland-0", true},
        {"xcb", ":1", "", true},
        {"wayland", "", "", false},
        {"offscreen", ":0", "", false},
        {"minimal:x=1", "", "w", false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(HasDisplay(r.platform, r.display, r.wayland), r.expected)
            << r.platform << '|' << r.display << '|' << r.wayland;
    }
}

}  // namespace
}  // namespace pellow
