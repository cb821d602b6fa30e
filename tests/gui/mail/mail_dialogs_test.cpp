// The e-mail settings' dialogs on their own: the advanced SMTP dialog's lists, default
// ports and port check, and pictures of the three dialogs in both languages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include "gui/mail/mail_settings_dialog.h"
#include "gui/mail/password_confirm_dialog.h"
#include "gui/mail/smtp_settings_dialog.h"
#include "gui/platform/screenshot.h"
#include "support/scripted_ui.h"
#include "support/window_driver.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

constexpr int kAuth = SmtpSettingsDialog::kAuthMethodCombo;
constexpr int kPort = SmtpSettingsDialog::kPortEdit;
constexpr int kType = SmtpSettingsDialog::kConnectionCombo;
constexpr int kProtocol = SmtpSettingsDialog::kProtocolCombo;

TEST(SmtpAdvancedDialogTest, ConnectionTypeChoosesTheDefaultPortAndTheProtocolList) {
    ScriptedUi ui;
    SmtpSettingsDialog dialog(SmtpOptions{.port = 2525}, true, ui);
    WindowDriver d(dialog);
    EXPECT_EQ(d.Rows(kType), (std::vector<std::string>{"Plain Text", "SSL, TLS or DTLS", "STARTTLS",
                                                       "Auto Upgrade to STARTTLS"}));
    EXPECT_EQ(d.ItemText(kPort), "2525");
    EXPECT_FALSE(d.IsItemEnabled(kProtocol));
    EXPECT_FALSE(d.IsItemShown(SmtpSettingsDialog::kLegacySslCheck));

    struct Step {
        int type;
        const char* port;
        bool protocolList;
    };
    for (const Step& s : std::vector<Step>{
             {2, "587", true}, {0, "25", false}, {1, "465", true}, {3, "587", true}}) {
        ASSERT_TRUE(d.UserSelectRow(kType, s.type));
        EXPECT_EQ(d.ItemText(kPort), s.port) << s.type;
        EXPECT_EQ(d.IsItemEnabled(kProtocol), s.protocolList) << s.type;
    }
    ASSERT_TRUE(d.UserSelectRow(kProtocol, 4));
    ASSERT_TRUE(d.UserSelectRow(kAuth, 1));
    const SmtpOptions chosen = dialog.Values();
    EXPECT_EQ(chosen,
              (SmtpOptions{.authMethod = 1, .port = 587, .connectionType = 3, .tlsProtocol = 4}));
}

// Values the lists do not hold show as their first item ("TLS v 1.0" for the protocol)
// and go back unchanged unless the user chooses.
TEST(SmtpAdvancedDialogTest, StoredValuesSelectTheirItems) {
    struct Case {
        std::uint32_t auth, type, protocol;
        const char* authText;
        const char* typeText;
        const char* protocolText;
        bool protocolList;
    };
    for (const Case& c : std::vector<Case>{
             {0, 0, 0, "none", "Plain Text", "TLS v2/v3", false},
             {5, 2, 1, "Auto", "STARTTLS", "TLS v 1.0", true},
             {9, 1, 7, "none", "SSL, TLS or DTLS", "TLS v 1.0", true},
             {3, 7, 3, "Plain", "Plain Text", "TLS v 1.2", true},
         }) {
        ScriptedUi ui;
        const SmtpOptions stored{c.auth, 25, 1, c.type, c.protocol};
        SmtpSettingsDialog dialog(stored, true, ui);
        WindowDriver d(dialog);
        EXPECT_EQ(d.ItemText(kAuth), c.authText);
        EXPECT_EQ(d.ItemText(kType), c.typeText);
        EXPECT_EQ(d.ItemText(kProtocol), c.protocolText);
        EXPECT_EQ(d.IsItemEnabled(kProtocol), c.protocolList);
        EXPECT_EQ(dialog.Values(), stored);
    }
}

TEST(SmtpAdvancedDialogTest, WithoutTlsOptionsOnlyPlainTextIsListed) {
    ScriptedUi ui;
    SmtpSettingsDialog dialog(SmtpOptions{.port = 25}, false, ui);
    WindowDriver d(dialog);
    EXPECT_EQ(d.Rows(kType), std::vector<std::string>{"Plain Text"});
    EXPECT_FALSE(d.IsItemEnabled(kProtocol));
}

TEST(SmtpAdvancedDialogTest, HiddenSslBoxMovesBetween25And465) {
    ScriptedUi ui;
    SmtpSettingsDialog dialog(SmtpOptions{.port = 25}, true, ui);
    auto* ssl = WindowDriver(dialog).Control<QCheckBox>(SmtpSettingsDialog::kLegacySslCheck);
    ssl->click();
    EXPECT_EQ(dialog.Values().port, 465u);
    EXPECT_EQ(dialog.Values().legacySsl, 1u);
    ssl->click();
    EXPECT_EQ(dialog.Values().port, 25u);
    WindowDriver(dialog).Control<QLineEdit>(kPort)->setText("2525");
    ssl->click();
    EXPECT_EQ(dialog.Values().port, 2525u) << "other ports stay";
}

TEST(SmtpAdvancedDialogTest, APortThatIsNoIntegerKeepsTheDialogOpen) {
    ScriptedUi ui;
    SmtpSettingsDialog dialog(SmtpOptions{.port = 587}, true, ui);
    WindowDriver d(dialog);
    d.Control<QLineEdit>(kPort)->setText("smtp");
    ASSERT_TRUE(d.ClickItem(1));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Enter an integer."});
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "still open";
    EXPECT_EQ(dialog.Values().port, 587u);
    d.Control<QLineEdit>(kPort)->setText("2525");
    ASSERT_TRUE(d.ClickItem(1));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().port, 2525u);
}

TEST(MailDialogTest, TypingStopsAtNinetyNineCharactersAndLongerStoredTextsStayWhole) {
    ScriptedUi ui;
    MailSettingsValues values;
    values.server = std::string(103, 's');
    MailSettingsDialog dialog(values, ui);
    WindowDriver d(dialog);
    auto* recipient = d.Control<QLineEdit>(MailSettingsDialog::kRecipientEdit);
    recipient->setFocus();
    QTest::keyClicks(recipient, QString(120, QLatin1Char('r')));
    EXPECT_EQ(recipient->text().size(), 99);
    EXPECT_EQ(dialog.Values().server, values.server);
    EXPECT_FALSE(d.IsItemEnabled(MailSettingsDialog::kAdvancedButton));
}

// Pictures of the three dialogs in English and German, for people to look at.
TEST(MailDialogTest, Screenshots) {
    MailSettingsValues values;
    values.senderName = "Server room";
    values.senderAddress = "raid@example.org";
    values.userName = "raid";
    values.password = "s3cret";
    values.server = "smtp.example.org";
    values.recipient = "admin@example.org";
    values.mailActive = true;
    values.mailLevel = 1;
    values.hasSmtpOptions = values.hasTlsOptions = true;
    values.smtp = {2, 587, 0, 2, 3};
    for (Language language : {Language::English, Language::German}) {
        SetUiLanguage(language);
        const std::string suffix = language == Language::German ? "_de.png" : "_en.png";
        ScriptedUi ui;
        MailSettingsDialog mail(values, ui);
        SmtpSettingsDialog advanced(values.smtp, true, ui);
        PasswordConfirmDialog confirm;
        for (const auto& [dialog, name] :
             std::vector<std::pair<QDialog*, std::string>>{{&mail, "mail_settings_129"},
                                                           {&advanced, "smtp_advanced_176"},
                                                           {&confirm, "password_confirm_133"}}) {
            dialog->show();
            const std::string path = std::string(VELTRIX_SCREENSHOT_DIR) + "/" + name + suffix;
            EXPECT_TRUE(platform::SavePng(*dialog, path));
            EXPECT_EQ(QImage(QString::fromStdString(path)).size(), dialog->size());
            dialog->hide();
        }
    }
    SetUiLanguage(Language::English);
}

}  // namespace
}  // namespace veltrix::testing
