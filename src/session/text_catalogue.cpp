#include "session/text_catalogue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cstring>

#include "session/numbered_texts.h"
#include "session/program_translator.h"

namespace veltrix {
namespace {

QString Translate(const QTranslator& translator, const char* id) {
    return translator.translate(nullptr, id);
}

// "101" -> 101.
int IdNumber(const char* id) {
    int number = 0;
    std::from_chars(id, id + std::strlen(id), number);
    return number;
}

// The index of numbered text `number` in kNumberedTextIds (ascending), if it has one.
std::optional<std::size_t> NumberedIndex(int number) {
    const auto* found =
        std::lower_bound(kNumberedTextIds.begin(), kNumberedTextIds.end(), number,
                         [](const char* id, int wanted) { return IdNumber(id) < wanted; });
    if (found == kNumberedTextIds.end() || IdNumber(*found) != number) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - kNumberedTextIds.begin());
}

// The text source of LoadString: numbered texts by their number.
std::string ReadNumberedText(int number, const Language* language) {
    const std::optional<std::size_t> index = NumberedIndex(number);
    if (!index) {
        return {};
    }
    const TextCatalogue& catalogue = TextCatalogue::Instance();
    return language == nullptr ? catalogue.NumberedText(*index)
                               : catalogue.Text(kNumberedTextIds[*index], *language).toStdString();
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
    SetTextSource(&ReadNumberedText);
    if (app != nullptr) {
        QCoreApplication::installTranslator(new ProgramTranslator(app));
    }
}

QString TextCatalogue::Text(const char* id, Language language) const {
    return Translate(language == Language::German ? German() : english_, id);
}

QString TextCatalogue::Text(const char* id) const {
    const Extra extra = CurrentExtra();
    return ProgramText(id, UiLanguage(), extra.translator.get());
}

QString TextCatalogue::ProgramText(const char* id, Language language,
                                   const QTranslator* extra) const {
    if (language == Language::German) {
        return Translate(German(), id);
    }
    if (extra != nullptr) {
        const QString text = Translate(*extra, id);
        if (!text.isEmpty()) {
            return text;
        }
    }
    return Translate(english_, id);
}

TextCatalogue::Extra TextCatalogue::CurrentExtra() const {
    const std::lock_guard lock(extraMutex_);
    return {extra_, extraGeneration_};
}

std::string TextCatalogue::NumberedText(std::size_t index) const {
    const Language language = UiLanguage();
    const Extra extra = CurrentExtra();
    const std::lock_guard lock(numberedMutex_);
    const std::pair key{language, extra.generation};
    if (numberedKey_ != key) {
        numbered_.fill(std::nullopt);
        numberedKey_ = key;
    }
    std::optional<std::string>& text = numbered_.at(index);
    if (!text) {
        text =
            ProgramText(kNumberedTextIds.at(index), language, extra.translator.get()).toStdString();
    }
    return *text;
}

bool TextCatalogue::UseTranslationFile(const QString& path) {
    auto translator = std::make_shared<QTranslator>();
    const bool loaded = translator->load(path);
    const std::lock_guard lock(extraMutex_);
    extra_ = loaded ? std::move(translator) : nullptr;
    ++extraGeneration_;
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
    ++extraGeneration_;
}

}  // namespace veltrix
