#include "gui/platform/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace veltrix::platform {

QString QtTranslationFile(Language language) {
    if (language != Language::German) {
        return {};
    }
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm");
}

bool ApplyProgramLanguage(Language language, QCoreApplication& app) {
    SetUiLanguage(language);
    QLocale::setDefault(QLocale(language == Language::German ? QLocale::German : QLocale::English));
    const QString file = QtTranslationFile(language);
    if (file.isEmpty()) {
        return true;
    }
    auto* translator = new QTranslator(&app);
    if (!translator->load(file)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace veltrix::platform
