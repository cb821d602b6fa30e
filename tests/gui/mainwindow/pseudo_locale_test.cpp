// The program in the pseudo language (every text in ⟦ ⟧ and 40 % longer, see
// scripts/pseudo-translation.py): the main window connected to the simulated service,
// its menus, every dialog the menus open (and the dialogs those open) and every message
// box show only translated texts, none of them cut off.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <set>

#include "gui/bios/bios_update_dialog.h"
#include "gui/mail/mail_settings_dialog.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "session/text_catalogue.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

bool Marked(const QString& text) {
    return text.contains(QChar(0x27E6)) && text.contains(QChar(0x27E7));
}

// A number, a version or a date: no letters, not a text of the program.
bool IsValue(const QString& text) {
    static const QRegularExpression kLetter(QStringLiteral("[A-Za-z]"));
    return !text.contains(kLetter);
}

class Findings {
  public:
    void Text(const QString& where, const QString& text) {
        if (!text.trimmed().isEmpty() && !Marked(text) && !IsValue(text)) {
            found_.push_back("untranslated " + where.toStdString() + ": " + text.toStdString());
        }
    }
    void Cut(const QString& where, const QString& text, int width, int needed) {
        if (width < needed) {
            found_.push_back("cut " + where.toStdString() + " (" + std::to_string(width) + " < " +
                             std::to_string(needed) + "): " + text.toStdString());
        }
    }
    // Every visible text of `window` and of the controls in it.
    void Window(QWidget& window, const std::set<QString>& valueControls) {
        Text(QStringLiteral("title"), window.windowTitle());
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&window) || valueControls.count(w->objectName()) > 0) {
                continue;
            }
            const QString where =
                QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
            if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
                Text(where, label->text());
                if (!label->wordWrap()) {
                    Cut(where, label->text(), label->width(), label->sizeHint().width());
                }
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                Text(where, button->text());
                Cut(where, button->text(), button->width(), button->sizeHint().width());
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                Text(where, group->title());
                Cut(where, group->title(), group->width(), group->minimumSizeHint().width());
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < combo->count(); ++i) {
                    Text(where, combo->itemText(i));
                }
                Cut(where, combo->currentText(), combo->width(), combo->sizeHint().width());
            } else if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model()) {
                Header(where, *header);
            }
        }
        for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
            Menu(bar->actions());
        }
    }
    void Menu(const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (!action->isSeparator()) {
                Text(QStringLiteral("menu ") + action->objectName(), action->text());
            }
            if (action->menu() != nullptr) {
                Menu(action->menu()->actions());
            }
        }
    }
    const std::vector<std::string>& Found() const { return found_; }

  private:
    void Header(const QString& where, const QHeaderView& header) {
        const QFontMetrics metrics(header.font());
        for (int i = 0; i < header.count(); ++i) {
            const QString text = header.model()->headerData(i, header.orientation()).toString();
            Text(where, text);
            if (!header.isSectionHidden(i) && header.orientation() == Qt::Horizontal) {
                Cut(where, text, header.sectionSize(i), metrics.horizontalAdvance(text));
            }
        }
    }

    std::vector<std::string> found_;
};

class PseudoLocaleTest : public MainWindowTest {
  protected:
    void SetUp() override {
        SetUiLanguage(Language::English);
        ASSERT_TRUE(
            TextCatalogue::Instance().UseTranslationFile(QStringLiteral(VELTRIX_PSEUDO_QM)));
    }
    void TearDown() override {
        TextCatalogue::Instance().ClearExtraLanguage();
        MainWindowTest::TearDown();
    }
};

// Controls that show what the service gave (names, versions, sizes and the model's
// fixed names for its codes, the BIOS dialog's lines about the controller and its
// FlashROM) or what the user typed.
std::set<QString> ValueControls() {
    using namespace control_id;
    std::set<QString> ids;
    for (const int id : {kHost, kPassword, kControllerNumber, kDriverVersion, kBiosVersion,
                         kChipset, kRow1Value, kRow2Value, kRow3Value, kRow4Value, kRow5Value,
                         kRow6Value, kRow7Value, flash_dialog_id::kControllerName,
                         flash_dialog_id::kComputer, flash_dialog_id::kFlashRom}) {
        ids.insert(QString::number(id));
    }
    return ids;
}

TEST_F(PseudoLocaleTest, EveryWindowShowsItsTextsMarkedAndWhole) {
    Start(sim::TwoControllerScenario());
    Findings findings;
    ui.onModal = [&](QDialog& dialog) {
        dialog.show();
        QCoreApplication::processEvents();
        findings.Window(dialog, ValueControls());
        if (platform::ControlIdOf(&dialog) == MailSettingsDialog::kDialogId) {
            WindowDriver(dialog).ClickItem(MailSettingsDialog::kAdvancedButton);
        }
        dialog.hide();
        return static_cast<int>(QDialog::Rejected);
    };
    Connect();
    driver().UserSelectRow(control_id::kDeviceList, 1);
    driver().UserSelectRow(control_id::kSetList, 0);
    window().show();
    Settle();
    findings.Window(window(), ValueControls());
    int opened = 0;
    const auto chooseEveryCommand = [&] {
        for (const int command :
             {menu_id::kShowErrorLog, menu_id::kBiosUpdate, menu_id::kPopup, menu_id::kEmail,
              menu_id::kLogFile, menu_id::kPassword, menu_id::kHosts, menu_id::kAbout}) {
            const std::size_t before = ui.modalRuns.size();
            EXPECT_TRUE(driver().UserChoose(command)) << command;
            Settle();
            opened += ui.modalRuns.size() > before ? 1 : 0;
            // A window the command shows beside the main window (the error log).
            for (QWidget* shown : QApplication::topLevelWidgets()) {
                if (shown != &window() && shown->isVisible() &&
                    qobject_cast<QMenu*>(shown) == nullptr) {
                    findings.Window(*shown, ValueControls());
                    shown->hide();
                    ++opened;
                }
            }
        }
    };
    chooseEveryCommand();
    // Without a connection the commands that need one answer with message boxes.
    EXPECT_TRUE(Click(control_id::kDisconnect));
    chooseEveryCommand();
    EXPECT_FALSE(ui.messageTexts().empty());
    for (const std::string& text : ui.messageTexts()) {
        findings.Text(QStringLiteral("message box"), QString::fromStdString(text));
    }
    std::string report;
    for (const std::string& line : findings.Found()) {
        report += line + "\n";
    }
    EXPECT_EQ(findings.Found().size(), 0U) << report;
    EXPECT_GE(opened, 7);
}

}  // namespace
}  // namespace veltrix::testing
