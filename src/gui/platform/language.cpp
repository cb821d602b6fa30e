#include "gui/platform/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "session/text_catalogue.h"

namespace veltrix::platform {
namespace {

QString QtTranslationFile(const QString& language) {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_") +
           language + QStringLiteral(".qm");
}

}  // namespace

QString QtTranslationFile(Language language) {
    if (language != Language::German) {
        return {};
    }
    return QtTranslationFile(QStringLiteral("de"));
}

bool ApplyProgramLanguage(Language language, QCoreApplication& app, const std::string& localeName) {
    SetUiLanguage(language);
    QString file = QtTranslationFile(language);
    QLocale locale(language == Language::German ? QLocale::German : QLocale::English);
    const QString extra = language == Language::English
                              ? TextCatalogue::Instance().UseLanguage(localeName)
                              : (TextCatalogue::Instance().ClearExtraLanguage(), QString());
    if (!extra.isEmpty()) {
        locale = QLocale(extra);
        file = QtTranslationFile(extra.section(u'_', 0, 0));
    }
    QLocale::setDefault(locale);
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
