#include "texts/strings.h"

#include <atomic>
#include <cstdlib>

namespace veltrix {
namespace {

std::atomic<Language> uiLanguage{Language::English};
std::atomic<TextSource> textSource{nullptr};

std::string_view EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

// First non-empty entry of a colon separated list.
std::string_view FirstListEntry(std::string_view list) {
    while (!list.empty()) {
        const auto colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        if (!entry.empty()) {
            return entry;
        }
        if (colon == std::string_view::npos) {
            break;
        }
        list.remove_prefix(colon + 1);
    }
    return {};
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool IsGermanLocaleName(std::string_view name) {
    const auto end = name.find_first_of("_-.@");
    const std::string_view languagePart = name.substr(0, end);
    return languagePart.size() == 2 && Lower(languagePart[0]) == 'd' &&
           Lower(languagePart[1]) == 'e';
}

std::string_view LocaleNameFromEnvironment(std::string_view language, std::string_view lcAll,
                                           std::string_view lcMessages, std::string_view lang) {
    for (const std::string_view value : {FirstListEntry(language), lcAll, lcMessages, lang}) {
        if (!value.empty()) {
            return value;
        }
    }
    return {};
}

std::string LocaleNameFromEnvironment() {
    return std::string(LocaleNameFromEnvironment(EnvValue("LANGUAGE"), EnvValue("LC_ALL"),
                                                 EnvValue("LC_MESSAGES"), EnvValue("LANG")));
}

Language LanguageFromEnvironment(std::string_view language, std::string_view lcAll,
                                 std::string_view lcMessages, std::string_view lang) {
    return IsGermanLocaleName(LocaleNameFromEnvironment(language, lcAll, lcMessages, lang))
               ? Language::German
               : Language::English;
}

Language LanguageFromEnvironment() {
    return IsGermanLocaleName(LocaleNameFromEnvironment()) ? Language::German : Language::English;
}

Language UiLanguage() {
    return uiLanguage.load(std::memory_order_relaxed);
}

void SetUiLanguage(Language language) {
    uiLanguage.store(language, std::memory_order_relaxed);
}

void SetTextSource(TextSource source) {
    textSource.store(source, std::memory_order_release);
}

std::string LoadString(int id, Language language) {
    const TextSource source = textSource.load(std::memory_order_acquire);
    return source == nullptr ? std::string{} : source(id, &language);
}

std::string LoadString(int id) {
    const TextSource source = textSource.load(std::memory_order_acquire);
    return source == nullptr ? std::string{} : source(id, nullptr);
}

bool HasString(int id) {
    return !LoadString(id, Language::English).empty();
}

}  // namespace veltrix
