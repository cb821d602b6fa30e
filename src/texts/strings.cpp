#include "texts/strings.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

#include "texts/string_table.h"

namespace veltrix {
namespace {

std::atomic<Language> uiLanguage{Language::English};

// The table's texts as strings, built once, in table order.
struct LoadedTable {
    std::vector<std::string> english;
    std::vector<std::string> german;

    LoadedTable() {
        const auto rows = StringTable();
        english.reserve(rows.size());
        german.reserve(rows.size());
        for (const StringEntry& row : rows) {
            english.emplace_back(row.english);
            german.emplace_back(row.german);
        }
    }
};

const LoadedTable& Loaded() {
    static const LoadedTable kTable;
    return kTable;
}

// Index of `id` in the table, or -1.
std::ptrdiff_t IndexOf(int id) {
    const auto rows = StringTable();
    const auto it = std::lower_bound(rows.begin(), rows.end(), id,
                                     [](const StringEntry& row, int key) { return row.id < key; });
    if (it == rows.end() || it->id != id) {
        return -1;
    }
    return it - rows.begin();
}

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

Language LanguageFromEnvironment(std::string_view language, std::string_view lcAll,
                                 std::string_view lcMessages, std::string_view lang) {
    for (const std::string_view value : {FirstListEntry(language), lcAll, lcMessages, lang}) {
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

Language UiLanguage() {
    return uiLanguage.load(std::memory_order_relaxed);
}

void SetUiLanguage(Language language) {
    uiLanguage.store(language, std::memory_order_relaxed);
}

const std::string& LoadString(int id, Language language) {
    static const std::string kEmpty;
    const std::ptrdiff_t index = IndexOf(id);
    if (index < 0) {
        return kEmpty;
    }
    const LoadedTable& table = Loaded();
    const auto i = static_cast<std::size_t>(index);
    return language == Language::German ? table.german[i] : table.english[i];
}

const std::string& LoadString(int id) {
    return LoadString(id, UiLanguage());
}

bool HasString(int id) {
    return IndexOf(id) >= 0;
}

}  // namespace veltrix
