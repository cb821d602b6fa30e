#pragma once
// The program's language, chosen once at start-up before the first window exists:
// the string tables, and Qt's own texts (standard buttons, file dialogs, context
// menus) through Qt's translations.

#include <QString>
#include <string>

#include "texts/strings.h"

class QCoreApplication;

namespace veltrix::platform {

// Sets the string tables' language and loads Qt's translation for it into `app`
// (which owns the translator). False when Qt's translation could not be loaded
// (Qt's texts then stay English); English needs none.
bool ApplyProgramLanguage(Language language, QCoreApplication& app);

// The text of the two that belongs to `language`, or to the program's language.
inline const std::string& LocalText(const std::string& en, const std::string& de,
                                    Language language) {
    return language == Language::German ? de : en;
}
inline const std::string& LocalText(const std::string& en, const std::string& de) {
    return LocalText(en, de, UiLanguage());
}

// A window's text: the English or the German one (UTF-8), by the program's language.
inline QString LocalCaption(const char* en, const char* de) {
    return QString::fromUtf8(UiLanguage() == Language::German ? de : en);
}

// Where Qt's translation of its own texts for `language` lives (empty for English).
QString QtTranslationFile(Language language);

}  // namespace veltrix::platform
