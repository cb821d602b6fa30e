// Dialogs built from a template: the same ids, order and layout in both languages,
// the texts of the program's language, and the controls' initial state.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QValidator>

#include "sample_dialog.h"
#include "ui/platform/list_box.h"

namespace veltrix::platform::testing {
namespace {

class DialogTemplateTest : public ::testing::Test {
  protected:
    void TearDown() override { SetUiLanguage(Language::English); }
};

std::unique_ptr<SampleDialog> BuildIn(Language language) {
    SetUiLanguage(language);
    return std::make_unique<SampleDialog>();
}

TEST_F(DialogTemplateTest, BothLanguagesShareIdsOrderAndLayout) {
    const auto en = BuildIn(Language::English);
    const auto de = BuildIn(Language::German);
    const QList<QWidget*> enChildren =
        en->ClientArea()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    const QList<QWidget*> deChildren =
        de->ClientArea()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(enChildren.size(), deChildren.size());
    for (const ControlTemplate& control : SampleTemplate().controls) {
        if (control.id == IDC_STATIC) {
            continue;
        }
        SCOPED_TRACE(control.id);
        ASSERT_NE(en->item(control.id), nullptr);
        ASSERT_NE(de->item(control.id), nullptr);
        EXPECT_EQ(en->item(control.id)->geometry(),
                  QRect(control.x, control.y, control.w, control.h));
        EXPECT_EQ(en->item(control.id)->geometry(), de->item(control.id)->geometry());
        EXPECT_STREQ(en->item(control.id)->metaObject()->className(),
                     de->item(control.id)->metaObject()->className());
    }
    EXPECT_EQ(en->ClientArea()->size(), QSize(640, 480));
}

TEST_F(DialogTemplateTest, TextsFollowTheProgramLanguage) {
    struct Row {
        int id;
        const char* en;
        const char* de;
    };
    const Row rows[] = {
        {kConnect, "Connect", "Verbinden"},
        {kDisconnect, "Disconnect", "Trennen"},
        {kPmLabel, "PM support:", "PM Support:"},
        {kAutoconnect, "Autoconnect", "Automatisch verbinden"},
        {kLow, "Low", "niedrig"},
        {kInfoGroup, "RAID Info", "RAID Info"},
        {kControllerNumber, "-", "-"},
        {kHost, "", ""},
    };
    const auto en = BuildIn(Language::English);
    const auto de = BuildIn(Language::German);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(en->ItemText(row.id), row.en);
        EXPECT_EQ(de->ItemText(row.id), row.de);
    }
    EXPECT_EQ(en->windowTitle(), "Sample Window");
    EXPECT_EQ(de->windowTitle(), "Beispielfenster");
}

TEST_F(DialogTemplateTest, ControlsOfEachKindAreTheMatchingWidgets) {
    const auto dialog = BuildIn(Language::English);
    EXPECT_NE(qobject_cast<QLineEdit*>(dialog->item(kHost)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(dialog->item(kNotes)), nullptr);
    EXPECT_NE(qobject_cast<QPushButton*>(dialog->item(kConnect)), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(dialog->item(kAutoconnect)), nullptr);
    EXPECT_NE(qobject_cast<QRadioButton*>(dialog->item(kHigh)), nullptr);
    EXPECT_NE(qobject_cast<QGroupBox*>(dialog->item(kInfoGroup)), nullptr);
    EXPECT_NE(qobject_cast<ListBox*>(dialog->item(kDevices)), nullptr);
    EXPECT_NE(qobject_cast<QComboBox*>(dialog->item(kChoice)), nullptr);
    EXPECT_NE(qobject_cast<QTabBar*>(dialog->item(kTabs)), nullptr);
    EXPECT_NE(qobject_cast<QSlider*>(dialog->item(kPriority)), nullptr);
    EXPECT_NE(qobject_cast<QProgressBar*>(dialog->item(kProgress)), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(dialog->item(kPicture)), nullptr);
    EXPECT_EQ(dialog->ItemKind(kTabs), ControlKind::TabControl);
    EXPECT_EQ(dialog->item(4242), nullptr);
    EXPECT_EQ(dialog->TemplateId(), 102);
}

TEST_F(DialogTemplateTest, InitialVisibilityAndEnabledStateWhileTheWindowIsHidden) {
    struct Row {
        int id;
        bool shown;
        bool enabled;
    };
    const Row rows[] = {
        {kConnect, true, true}, {kDisconnect, true, false}, {kPmLabel, false, true},
        {kEnde, false, true},   {kDevices, true, true},     {kHost, true, true},
    };
    const auto dialog = BuildIn(Language::English);
    ASSERT_FALSE(dialog->isVisible());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(dialog->IsItemShown(row.id), row.shown);
        EXPECT_EQ(dialog->IsItemEnabled(row.id), row.enabled);
    }
    EXPECT_FALSE(dialog->IsItemShown(4242));
    EXPECT_FALSE(dialog->IsItemEnabled(4242));
}

TEST_F(DialogTemplateTest, EditStylesAreApplied) {
    const auto dialog = BuildIn(Language::English);
    const auto* host = qobject_cast<QLineEdit*>(dialog->item(kHost));
    const auto* password = qobject_cast<QLineEdit*>(dialog->item(kPassword));
    const auto* number = qobject_cast<QLineEdit*>(dialog->item(kNumber));
    const auto* notes = qobject_cast<QPlainTextEdit*>(dialog->item(kNotes));
    ASSERT_TRUE(host && password && number && notes);
    EXPECT_EQ(host->maxLength(), 63);
    EXPECT_EQ(host->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(notes->isReadOnly());
    ASSERT_NE(number->validator(), nullptr);
    QString digits = QStringLiteral("0123");
    QString letters = QStringLiteral("12a");
    int pos = 0;
    EXPECT_EQ(number->validator()->validate(digits, pos), QValidator::Acceptable);
    EXPECT_EQ(number->validator()->validate(letters, pos), QValidator::Invalid);
    EXPECT_TRUE(qobject_cast<QPushButton*>(dialog->item(kConnect))->isDefault());
}

TEST_F(DialogTemplateTest, UnaddressedLabelsShareTheStaticIdAndTheFirstIsFound) {
    const auto dialog = BuildIn(Language::English);
    EXPECT_EQ(dialog->ItemText(IDC_STATIC), "Controller Number:");
}

TEST(LocalTextTest, PicksTheTextOfTheLanguage) {
    const std::string en = "Exit";
    const std::string de = "&Beenden";
    EXPECT_EQ(LocalText(en, de, Language::English), "Exit");
    EXPECT_EQ(LocalText(en, de, Language::German), "&Beenden");
    const DialogTemplate t = SampleTemplate();
    ASSERT_NE(FindControl(t, kHost), nullptr);
    EXPECT_EQ(FindControl(t, kHost)->maxLength, 63);
    EXPECT_EQ(FindControl(t, 4242), nullptr);
}

}  // namespace
}  // namespace veltrix::platform::testing
