#pragma once
// The program's string tables (ids 101-194) in English and German.
//
// The table is chosen once at start from the user interface language; every
// user-visible message is looked up here by id.

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

// True for a locale name whose language part is German: "de", "de_AT.UTF-8", "de-CH",
// "de_DE@euro" (case does not matter).
bool IsGermanLocaleName(std::string_view name);

// The language of the string tables for the whole program (English until set).
Language UiLanguage();
void SetUiLanguage(Language language);

// The text of string `id` in the program's language, or in `language`; empty for an
// id that is not in the table.
const std::string& LoadString(int id);
const std::string& LoadString(int id, Language language);

// True when `id` has a row in the table.
bool HasString(int id);

}  // namespace veltrix
