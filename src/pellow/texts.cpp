#include "pellow/texts.h"

#include <array>
#include <cstdlib>
#include <string>

#include "pellow/result_codes.h"

namespace pellow {
namespace {

struct StringRow {
    int id;
    std::u16string_view english;
    std::u16string_view german;
};

// Both tables side by side. The English table carries German texts for 108, 110 and
// 111, and the double blanks in 105, 107 and 111 belong to the texts.
constexpr std::array<StringRow, 8> kStrings = {{
    {kNotFoundSuffix, u" not found!", u" wurde nicht gefunden!"},
    {kPathNotFoundText, u"Path not found!", u"Der Pfad zur Datei wurde  nicht gefunden!"},
    {kCorruptText, u"The installation file is corupt!",
     u"Die Installationsdatei ist ungültig oder beschädigt!"},
    {kAccessDeniedText, u"Access denied!",
     u"Der Zugriff auf die Installationsdatei  wurde vom Betriebssystem verweigert!"},
    {kNoAssociationText,
     u"Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!",
     u"Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!"},
    {kOutOfMemoryText, u"Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!",
     u"Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!"},
    {kCannotOpenText, u"Datei  konnte nicht geöffnet werden!",
     u"Datei  konnte nicht geöffnet werden!"},
    {kPackageName, u"InstFile_EN.msi", u"InstFile_DE.msi"},
}};

std::string_view EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

std::string_view FirstNonEmptyEntry(std::string_view colonList) {
    std::size_t start = 0;
    while (start <= colonList.size()) {
        const std::size_t colon = colonList.find(':', start);
        const std::size_t end = colon == std::string_view::npos ? colonList.size() : colon;
        if (end > start) {
            return colonList.substr(start, end - start);
        }
        start = end + 1;
    }
    return {};
}

bool IsLetter(char c, char lower) {
    return c == lower || c == lower - ('a' - 'A');
}

}  // namespace

bool IsGermanLocaleName(std::string_view name) {
    const std::string_view languagePart = name.substr(0, name.find_first_of("_-.@"));
    return languagePart.size() == 2 && IsLetter(languagePart[0], 'd') &&
           IsLetter(languagePart[1], 'e');
}

Language LanguageFromEnvironment(std::string_view language, std::string_view lcAll,
                                 std::string_view lcMessages, std::string_view lang) {
    for (const std::string_view value : {FirstNonEmptyEntry(language), lcAll, lcMessages, lang}) {
        if (!value.empty()) {
            return IsGermanLocaleName(value) ? Language::German : Language::English;
        }
    }
    return Language::English;
}

Language LanguageFromEnvironment() {
    return LanguageFromEnvironment(EnvValue("LANGUAGE"), EnvValue("LC_ALL"),
                                   EnvValue("LC_MESSAGES"), EnvValue("LANG"));
}

QString LoadString(int id, Language language) {
    for (const StringRow& row : kStrings) {
        if (row.id == id) {
            const std::u16string_view text =
                language == Language::German ? row.german : row.english;
            return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
        }
    }
    return {};
}

QString MessageForResult(int result, Language language) {
    if (Succeeded(result)) {
        return {};
    }
    switch (result) {
        case kOutOfResources:
        case kOutOfMemory:
            return LoadString(kOutOfMemoryText, language);
        case kFileNotFound:
            return LoadString(kPackageName, language) + LoadString(kNotFoundSuffix, language);
        case kPathNotFound:
            return LoadString(kPathNotFoundText, language);
        case kAccessDenied:
        case kSharingViolation:
            return LoadString(kAccessDeniedText, language);
        case kBadFormat:
            return LoadString(kCorruptText, language);
        case kAssociationIncomplete:
        case kNoAssociation:
            return LoadString(kNoAssociationText, language);
        default:
            return LoadString(kCannotOpenText, language);
    }
}

}  // namespace pellow
