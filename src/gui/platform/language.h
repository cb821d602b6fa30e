#pragma once
// The program's language, chosen once at start-up before the first window exists: the
// program's texts (TextCatalogue) and Qt's own texts (standard buttons, file dialogs,
// context menus) through Qt's translations.

#include <QString>
#include <string>

#include "texts/strings.h"

class QCoreApplication;

namespace veltrix::platform {

// Sets the program's language and loads Qt's translation for it into `app` (which owns
// the translator). For English, a translation of the program for `localeName` (the
// environment's locale name, texts/strings.h) is used too when one is shipped, with
// Qt's translation for that language. False when Qt's translation could not be loaded
// (Qt's texts then stay English); English needs none.
bool ApplyProgramLanguage(Language language, QCoreApplication& app,
                          const std::string& localeName = {});

// Where Qt's translation of its own texts for `language` lives (empty for English).
QString QtTranslationFile(Language language);

}  // namespace veltrix::platform
