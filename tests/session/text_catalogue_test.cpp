// A translation beside the built-in English and German: found for the language the
// environment asks for, under its full name or its language alone, and only used while
// the program speaks English. The numbered texts LoadString reads follow every change.

#include "session/text_catalogue.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace veltrix {
namespace {

TEST(TextCatalogue, UsesAShippedTranslationOfTheAskedLanguage) {
    QTemporaryDir folder;
    for (const char* name : {"/veltrix_fr.qm", "/veltrix_pt_BR.qm"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRIX_PSEUDO_QM), folder.path() + name));
    }
    qputenv(TextCatalogue::kFolderVariable, folder.path().toUtf8());
    TextCatalogue& catalogue = TextCatalogue::Instance();
    const struct {
        const char* locale;
        const char* found;
    } cases[] = {{"fr_FR.UTF-8", "fr"}, {"fr", "fr"},  {"pt_BR.UTF-8@euro", "pt_BR"},
                 {"pt-BR", "pt_BR"},    {"pt_PT", ""}, {"de_DE", ""},
                 {"en_US", ""},         {"C", ""},     {"", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(catalogue.UseLanguage(c.locale), QString::fromLatin1(c.found));
        const QString connect = catalogue.Text("main.connect");
        EXPECT_EQ(connect.startsWith(QChar(0x27E6)), *c.found != '\0') << connect.toStdString();
        const QString numbered = QString::fromStdString(LoadString(ids::kButtonConnect));
        EXPECT_EQ(numbered.startsWith(QChar(0x27E6)), *c.found != '\0') << numbered.toStdString();
    }
    catalogue.UseLanguage("fr");
    SetUiLanguage(Language::German);
    EXPECT_EQ(catalogue.Text("main.connect"), QStringLiteral("Verbinden"));
    EXPECT_EQ(LoadString(ids::kButtonConnect), "Verbinden");
    EXPECT_EQ(LoadString(ids::kButtonConnect, Language::English), "Connect");
    SetUiLanguage(Language::English);
    catalogue.ClearExtraLanguage();
    qunsetenv(TextCatalogue::kFolderVariable);
    EXPECT_EQ(catalogue.Text("main.connect"), QStringLiteral("Connect"));
    EXPECT_EQ(LoadString(ids::kButtonConnect), "Connect");
}

}  // namespace
}  // namespace veltrix
