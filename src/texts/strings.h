#pragma once
// The program's numbered texts (ids 101-194) and its language.
//
// The texts themselves live in the Qt Linguist files (translations/); this layer knows
// only their ids. A higher layer installs the text source that reads them (the
// session's TextCatalogue), and every user-visible message is looked up here by id.

#include <string>
#include <string_view>

#include "texts/string_ids.h"

namespace veltrix {

enum class Language { English, German };

// The language the platform asks for: the first of LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG that is set; German for a German language ("de", "de_DE.UTF-8", "de:en"...),
// English otherwise.
Language LanguageFromEnvironment();

// The same choice from the values of LANGUAGE, LC_ALL, LC_MESSAGES and LANG (empty for a
// variable that is not set), without looking at the environment. LANGUAGE may be a colon
// list; its first non-empty entry counts.
Language LanguageFromEnvironment(std::string_view language, std::string_view lcAll,
                                 std::string_view lcMessages, std::string_view lang);

// The locale name that decides the language: the first of LANGUAGE (its first non-empty
// entry), LC_ALL, LC_MESSAGES and LANG that is set; empty when none is.
std::string LocaleNameFromEnvironment();
std::string_view LocaleNameFromEnvironment(std::string_view language, std::string_view lcAll,
                                           std::string_view lcMessages, std::string_view lang);

// True for a locale name whose language part is German: "de", "de_AT.UTF-8", "de-CH",
// "de_DE@euro" (case does not matter).
bool IsGermanLocaleName(std::string_view name);

// The language of the program's texts (English until set).
Language UiLanguage();
void SetUiLanguage(Language language);

// Reads the text of numbered message `id` in `language`, or in the language the
// program shows when `language` is empty; "" for an id it does not know.
using TextSource = std::string (*)(int id, const Language* language);

// Installs the source every LoadString reads (nullptr: none, every text is empty).
void SetTextSource(TextSource source);

// The text of string `id` in the program's language, or in `language`; empty for an
// id that is not in the texts.
std::string LoadString(int id);
std::string LoadString(int id, Language language);

// True when `id` has a text.
bool HasString(int id);

}  // namespace veltrix
