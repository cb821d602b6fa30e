#pragma once
// The program's texts from the Qt Linguist translations: the English and German
// messages built into the resources (:/i18n/veltrix_en.qm, veltrix_de.qm), and one more
// language when the environment asks for a language that has a .qm file.
//
// Every text is a message id (qtTrId): the numbered texts by their number ("101"), the
// others by a dotted name ("menu.exit"). Install() makes the catalogue the source of
// LoadString (texts/strings.h) and of qtTrId in the program.

#include <QString>
#include <QTranslator>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "session/numbered_texts.h"
#include "texts/strings.h"

class QCoreApplication;

namespace veltrix {

class TextCatalogue {
  public:
    // Where .qm files of more languages are looked for besides the resources: the
    // folders in this environment variable (colon separated), then kInstalledFolder.
    static constexpr const char* kFolderVariable = "VELTRIX_TRANSLATIONS";
    static constexpr const char* kInstalledFolder = "/usr/share/veltrix/translations";

    static TextCatalogue& Instance();

    // Makes the catalogue the source of LoadString and, when `app` is given, installs a
    // translator into it that answers qtTrId from the catalogue.
    static void Install(QCoreApplication* app);

    // The text of message `id` in `language`, or in the program's language: German
    // when the program speaks German, else the extra language's text where it has one,
    // else English. Empty for an id no translation knows.
    QString Text(const char* id, Language language) const;
    QString Text(const char* id) const;

    // Numbered text `index` of kNumberedTextIds in the program's language, as Text()
    // gives it. Kept once read until the language or the extra language changes: the
    // poll cycle reads the same few texts every round.
    std::string NumberedText(std::size_t index) const;

    // Uses the .qm file at `path` as the extra language; false (and no extra language)
    // when it cannot be loaded.
    bool UseTranslationFile(const QString& path);

    // Looks for veltrix_<name>.qm for the locale name `localeName` ("pt_BR.UTF-8": first
    // pt_BR, then pt) in the folders and the resources and uses it as the extra
    // language. English and German need none: their language part alone never counts.
    // Returns the language found ("pt_BR", "pt"), or "" when there is none.
    QString UseLanguage(const std::string& localeName);

    void ClearExtraLanguage();

  private:
    TextCatalogue();

    // The extra language and the count of its changes, read together.
    struct Extra {
        std::shared_ptr<const QTranslator> translator;
        std::uint64_t generation = 0;
    };
    Extra CurrentExtra() const;
    // Text() for `language` with `extra` as the extra language (nullptr: none).
    QString ProgramText(const char* id, Language language, const QTranslator* extra) const;

    // The German messages, loaded when German is first asked for: an English program
    // and veltrix-status never need them.
    const QTranslator& German() const;

    QTranslator english_;
    mutable QTranslator german_;
    mutable std::once_flag germanLoaded_;
    mutable std::mutex extraMutex_;
    std::shared_ptr<const QTranslator> extra_;
    std::uint64_t extraGeneration_ = 0;  // counts the changes of extra_

    // The numbered texts read so far, for the language and extra language in the key.
    mutable std::mutex numberedMutex_;
    mutable std::optional<std::pair<Language, std::uint64_t>> numberedKey_;
    mutable std::array<std::optional<std::string>, kNumberedTextCount> numbered_;
};

}  // namespace veltrix
