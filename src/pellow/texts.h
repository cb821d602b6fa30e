#pragma once
// The launcher's English and German texts (translations/pellow_*.ts, built into its
// resources), the language choice and the message for a failed "open".

#include <QString>
#include <string_view>

namespace pellow {

enum class Language { English, German };

// String ids of the tables.
inline constexpr int kNotFoundSuffix = 104;
inline constexpr int kPathNotFoundText = 105;
inline constexpr int kCorruptText = 106;
inline constexpr int kAccessDeniedText = 107;
inline constexpr int kNoAssociationText = 108;
inline constexpr int kOutOfMemoryText = 110;
inline constexpr int kCannotOpenText = 111;
inline constexpr int kPackageName = 112;

// The language of the user's environment: the first of LANGUAGE (its first non-empty
// entry, it may be a colon list), LC_ALL, LC_MESSAGES and LANG that is set and not empty
// decides; German for a German locale name ("de", "de_AT.UTF-8", "de-CH", "de@euro"),
// English for anything else and when none is set.
Language LanguageFromEnvironment(std::string_view language, std::string_view lcAll,
                                 std::string_view lcMessages, std::string_view lang);
Language LanguageFromEnvironment();

// True when the language part of a locale name (up to '_', '-', '.' or '@') is "de" in
// any case.
bool IsGermanLocaleName(std::string_view name);

// The text of string `id` in `language`; empty for an id that is not one of them.
QString LoadString(int id, Language language);

// The message for the result of an "open" (see result_codes.h) in `language`; empty
// for a result that is a success.
QString MessageForResult(int result, Language language);

}  // namespace pellow
