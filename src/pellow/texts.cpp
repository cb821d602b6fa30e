#include "pellow/texts.h"

#include <QTranslator>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "pellow/result_codes.h"

namespace pellow {
namespace {

// The message ids of the launcher's texts with their English source texts (for
// lupdate); the texts live in translations/pellow_*.ts. The English texts of 108, 110
// and 111 are German, and the double blanks in 105, 107 and 111 belong to the texts.
struct MessageId {
    int id;
    const char* messageId;
};

// clang-format off
constexpr std::array<MessageId, 8> kMessageIds = {{
    //% " not found!"
    {kNotFoundSuffix, QT_TRID_NOOP("104")},
    //% "Path not found!"
    {kPathNotFoundText, QT_TRID_NOOP("105")},
    //% "The installation file is corupt!"
    {kCorruptText, QT_TRID_NOOP("106")},
    //% "Access denied!"
    {kAccessDeniedText, QT_TRID_NOOP("107")},
    //% "Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!"
    {kNoAssociationText, QT_TRID_NOOP("108")},
    //% "Zum Ausführen der Anwendung ist nicht genügend Arbeitsspeicher frei!"
    {kOutOfMemoryText, QT_TRID_NOOP("110")},
    //% "Datei  konnte nicht geöffnet werden!"
    {kCannotOpenText, QT_TRID_NOOP("111")},
    //% "InstFile_EN.msi"
    {kPackageName, QT_TRID_NOOP("112")},
}};
// clang-format on

// The launcher's translation for `language`, built into its resources.
const QTranslator& Translation(Language language) {
    static const auto kLoad = [](const char* file) {
        auto translator = std::make_unique<QTranslator>();
        const bool loaded = translator->load(QString::fromLatin1(file));
        Q_ASSERT_X(loaded, "pellow::Translation", "the built-in translations are missing");
        (void)loaded;
        return translator;
    };
    static const std::unique_ptr<QTranslator> kEnglish = kLoad(":/pellow/i18n/pellow_en.qm");
    static const std::unique_ptr<QTranslator> kGerman = kLoad(":/pellow/i18n/pellow_de.qm");
    return language == Language::German ? *kGerman : *kEnglish;
}

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
    for (const MessageId& row : kMessageIds) {
        if (row.id == id) {
            return Translation(language).translate(nullptr, row.messageId);
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
