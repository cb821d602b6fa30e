#pragma once
// The program's string tables (ids 101-194) in English and German.
//
// The table is chosen once at start from the user interface language; every
// user-visible message is looked up here by id.

#include <string>
#include <string_view>

namespace veltrix {

enum class Language { English, German };

// The language the platform asks for: the first of LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG that is set; German for a German language ("de", "de_DE.UTF-8", "de:en"...),
// English otherwise.
Language LanguageFromEnvironment();

// The language of the string tables for the whole program (English until set).
Language UiLanguage();
void SetUiLanguage(Language language);

// The text of string `id` in the program's language, or in `language`; empty for an
// id that is not in the table.
const std::string& LoadString(int id);
const std::string& LoadString(int id, Language language);

}  // namespace veltrix
