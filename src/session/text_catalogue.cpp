#include "session/text_catalogue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "session/numbered_texts.h"
#include "session/program_translator.h"

namespace veltrix {
namespace {

QString Translate(const QTranslator& translator, const char* id) {
    return translator.translate(nullptr, id);
}

// The message id of numbered text `number`, or nullptr when there is none.
const char* NumberedId(int number) {
    const std::string wanted = std::to_string(number);
    for (const char* id : kNumberedTextIds) {
        if (wanted == id) {
            return id;
        }
    }
    return nullptr;
}

std::string NumberedText(int number, const Language* language) {
    const char* id = NumberedId(number);
    if (id == nullptr) {
        return {};
    }
    const TextCatalogue& catalogue = TextCatalogue::Instance();
    return (language == nullptr ? catalogue.Text(id) : catalogue.Text(id, *language)).toStdString();
}

// The folders to look in for the .qm file of an extra language, resources last.
QStringList LanguageFolders() {
    QStringList folders =
        qEnvironmentVariable(TextCatalogue::kFolderVariable).split(u':', Qt::SkipEmptyParts);
    folders << QString::fromLatin1(TextCatalogue::kInstalledFolder) << QStringLiteral(":/i18n");
    return folders;
}

bool IsBuiltInLanguage(const QString& name) {
    return name.compare(u"en", Qt::CaseInsensitive) == 0 ||
           name.compare(u"de", Qt::CaseInsensitive) == 0;
}

// "pt_BR.UTF-8" gives "pt_BR" and "pt"; a bare "en" or "de" never (built in).
QStringList LanguageCandidates(const std::string& localeName) {
    // The codeset and modifier go ("de_DE.UTF-8@euro"); a plain search, as a regular
    // expression would bring in its engine for this alone.
    const std::string base = localeName.substr(0, localeName.find_first_of(".@"));
    QString name = QString::fromStdString(base);
    name.replace(u'-', u'_');
    QStringList candidates;
    if (name.isEmpty() || name == u"C" || name == u"POSIX") {
        return candidates;
    }
    const QString language = name.section(u'_', 0, 0);
    for (const QString& candidate : {name, language}) {
        if (!IsBuiltInLanguage(candidate) && !candidates.contains(candidate)) {
            candidates << candidate;
        }
    }
    return candidates;
}

}  // namespace

// Both are built into the resources from translations/; a failure is a broken build.
TextCatalogue::TextCatalogue() {
    const bool loaded = english_.load(QStringLiteral(":/i18n/veltrix_en.qm"));
    Q_ASSERT_X(loaded, "TextCatalogue", "the built-in English texts are missing");
    (void)loaded;
}

const QTranslator& TextCatalogue::German() const {
    std::call_once(germanLoaded_, [this] {
        const bool loaded = german_.load(QStringLiteral(":/i18n/veltrix_de.qm"));
        Q_ASSERT_X(loaded, "TextCatalogue", "the built-in German texts are missing");
        (void)loaded;
    });
    return german_;
}

TextCatalogue& TextCatalogue::Instance() {
    static TextCatalogue catalogue;
    return catalogue;
}

void TextCatalogue::Install(QCoreApplication* app) {
    SetTextSource(&NumberedText);
    if (app != nullptr) {
        QCoreApplication::installTranslator(new ProgramTranslator(app));
    }
}

QString TextCatalogue::Text(const char* id, Language language) const {
    return Translate(language == Language::German ? German() : english_, id);
}

QString TextCatalogue::Text(const char* id) const {
    if (UiLanguage() == Language::German) {
        return Translate(German(), id);
    }
    std::shared_ptr<const QTranslator> extra;
    {
        const std::lock_guard lock(extraMutex_);
        extra = extra_;
    }
    if (extra != nullptr) {
        const QString text = Translate(*extra, id);
        if (!text.isEmpty()) {
            return text;
        }
    }
    return Translate(english_, id);
}

bool TextCatalogue::UseTranslationFile(const QString& path) {
    auto translator = std::make_shared<QTranslator>();
    const bool loaded = translator->load(path);
    const std::lock_guard lock(extraMutex_);
    extra_ = loaded ? std::move(translator) : nullptr;
    return loaded;
}

QString TextCatalogue::UseLanguage(const std::string& localeName) {
    for (const QString& candidate : LanguageCandidates(localeName)) {
        for (const QString& folder : LanguageFolders()) {
            const QString path =
                folder + QStringLiteral("/veltrix_") + candidate + QStringLiteral(".qm");
            if (QFileInfo::exists(path) && UseTranslationFile(path)) {
                return candidate;
            }
        }
    }
    ClearExtraLanguage();
    return {};
}

void TextCatalogue::ClearExtraLanguage() {
    const std::lock_guard lock(extraMutex_);
    extra_ = nullptr;
}

}  // namespace veltrix
