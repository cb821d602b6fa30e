// What a screen reader and a keyboard user meet, in every window of the program and in
// both languages: each showing control has an accessible name, the mnemonics of a
// window and of each menu differ, and Ctrl+Q takes the Exit path.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <iostream>
#include <map>

#include "gui/about/about_dialog.h"
#include "gui/bios/bios_update_dialog.h"
#include "gui/diagram/diagram_area.h"
#include "gui/errorlog/error_log_dialog.h"
#include "gui/mail/mail_settings_dialog.h"
#include "gui/mail/password_confirm_dialog.h"
#include "gui/mail/smtp_settings_dialog.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/host_log_file_dialog.h"
#include "gui/settings/popup_settings_dialog.h"
#include "gui/settings/service_password_dialog.h"
#include "support/mail_scenario.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

const std::map<int, std::string> kWindows = {
    {0, "main window"},
    {flash_dialog_id::kDialog, "BIOS update"},
    {MailSettingsDialog::kDialogId, "e-mail settings"},
    {SmtpSettingsDialog::kDialogId, "SMTP settings"},
    {PasswordConfirmDialog::kDialogId, "password confirmation"},
    {HostLogFileDialog::kDialogId, "host log file"},
    {PopupSettingsDialog::kDialogId, "popup settings"},
    {ServicePasswordDialog::kDialogId, "service password"},
    {about_id::kDialog, "about"},
    {error_log_id::kDialog, "error log"}};

bool IsInteractive(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTabBar*>(w);
}

// The mnemonic a text carries, upper-case; empty for none.
QString Mnemonic(const QString& text) {
    return QKeySequence::mnemonic(text).toString().toUpper();
}

struct Audit {
    int total = 0;
    QStringList unnamed;     // object names of controls without an accessible name
    QStringList duplicates;  // mnemonics taken twice in a window or a menu
    QStringList tabOrder;    // steps of Tab that go back up
};

void NoteMnemonic(const QString& key, QStringList& seen, Audit& audit) {
    if (!key.isEmpty() && seen.contains(key)) {
        audit.duplicates << key;
    }
    seen << key;
}

// A control the user meets: showing, interactive, and not a part of another control
// (such as a list's scroll bars).
bool IsOwnControl(QWidget& window, QWidget* w) {
    for (QWidget* p = w->parentWidget(); p != &window && p != nullptr; p = p->parentWidget()) {
        if (IsInteractive(p)) {
            return false;
        }
    }
    return IsInteractive(w) && w->isVisibleTo(&window) && w->window() == &window;
}

// The window's controls by name, mnemonic, and Tab: the focus chain reaches each one,
// and never goes back up to a control that lies wholly above the one before.
Audit AuditWindow(QWidget& window) {
    Audit audit;
    QStringList mnemonics;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->window() != &window) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            NoteMnemonic(Mnemonic(label->text()), mnemonics, audit);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            NoteMnemonic(Mnemonic(button->text()), mnemonics, audit);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            NoteMnemonic(Mnemonic(group->title()), mnemonics, audit);
        }
        if (!IsOwnControl(window, w)) {
            continue;
        }
        ++audit.total;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (face == nullptr || face->text(QAccessible::Name).trimmed().isEmpty()) {
            audit.unnamed << w->objectName() + "(" + w->metaObject()->className() + ")";
        }
    }
    window.layout()->activate();
    QWidget* before = nullptr;
    int reached = 0;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if (!IsOwnControl(window, w) || (w->focusPolicy() & Qt::TabFocus) == 0) {
            continue;
        }
        ++reached;
        const QRect at(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (before != nullptr && at.bottom() < before->mapTo(&window, QPoint(0, 0)).y()) {
            audit.tabOrder << before->objectName() + " -> " + w->objectName();
        }
        before = w;
    }
    // A default button that takes no focus is Return's (the about box keeps its keys).
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        reached += button->isDefault() && button->focusPolicy() == Qt::NoFocus &&
                   IsOwnControl(window, button);
    }
    if (reached != audit.total) {
        audit.tabOrder << QString("Tab reaches %1 of %2").arg(reached).arg(audit.total);
    }
    // Each menu: every item reachable by its letter, no letter twice.
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        std::vector<QList<QAction*>> menus = {bar->actions()};
        for (QMenu* menu : bar->findChildren<QMenu*>()) {
            menus.push_back(menu->actions());
        }
        for (const QList<QAction*>& actions : menus) {
            QStringList seen;
            for (QAction* action : actions) {
                if (action->isSeparator()) {
                    continue;
                }
                const QString key = Mnemonic(action->text());
                if (key.isEmpty()) {
                    audit.duplicates << "none in " + action->text();
                }
                NoteMnemonic(key, seen, audit);
            }
        }
    }
    return audit;
}

class AccessibilityTest : public MainWindowTest, public ::testing::WithParamInterface<Language> {
  protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        SetUiLanguage(Language::English);
    }
    std::map<int, Audit> audits;
};

TEST_P(AccessibilityTest, EveryWindowNamesItsControlsAndKeepsItsKeysApart) {
    SetUiLanguage(GetParam());
    Start(WithMail(sim::TwoControllerScenario(), {3, 4, 0, 0}));
    Connect();
    FirstTick();
    // The status line is announced; the picture is described with the set chosen at
    // connect, then with a drive chosen.
    EXPECT_EQ(window().accessibleDescription().toStdString(), tray.calls.back().record.tip);
    const QString described = window().Diagram().accessibleDescription();
    EXPECT_TRUE(
        described.contains(QString::fromStdString(window().Table().GetController(0)->Name())));
    const QStringList set =
        QString::fromStdString(driver().Row(control_id::kSetList, 0)).split('\t');
    EXPECT_TRUE(described.contains(set[1] + ", " + set[5])) << described.toStdString();
    ASSERT_TRUE(driver().UserSelectRow(control_id::kDeviceList, 0));
    const QStringList drive =
        QString::fromStdString(driver().Row(control_id::kDeviceList, 0)).split('\t');
    EXPECT_TRUE(window().Diagram().accessibleDescription().contains(
        QString("%1 (%2, %3)").arg(drive[0], drive[1].trimmed(), drive[3])));
    EXPECT_FALSE(window().Diagram().accessibleDescription().contains(set[1] + ", "));

    // Opens each dialog the menu reaches; the e-mail settings open the other two.
    ui.onModal = [this](QDialog& dialog) {
        const int id = platform::ControlIdOf(&dialog);
        audits[id] = AuditWindow(dialog);
        if (id == MailSettingsDialog::kDialogId) {
            PasswordConfirmDialog confirm(&dialog);
            audits[PasswordConfirmDialog::kDialogId] = AuditWindow(confirm);
            WindowDriver(dialog).ClickItem(MailSettingsDialog::kAdvancedButton);
        }
        return static_cast<int>(QDialog::Rejected);
    };
    for (const int item : {menu_id::kBiosUpdate, menu_id::kEmail, menu_id::kLogFile,
                           menu_id::kPopup, menu_id::kPassword, menu_id::kAbout}) {
        EXPECT_TRUE(driver().UserChoose(item)) << item;
        Settle();
    }
    window().ShowRebuildControls(true);
    audits[0] = AuditWindow(window());
    audits[error_log_id::kDialog] = AuditWindow(window().ErrorLogView());

    for (const auto& [id, name] : kWindows) {
        ASSERT_EQ(audits.count(id), 1U) << name << " did not open";
        const Audit& a = audits[id];
        std::cout << "[" << (GetParam() == Language::German ? "de" : "en") << "] " << name << ": "
                  << a.total - a.unnamed.size() << " of " << a.total << " controls named\n";
        EXPECT_TRUE(a.unnamed.isEmpty()) << name << ": " << a.unnamed.join(", ").toStdString();
        EXPECT_TRUE(a.duplicates.isEmpty())
            << name << ": " << a.duplicates.join(", ").toStdString();
        EXPECT_TRUE(a.tabOrder.isEmpty()) << name << ": " << a.tabOrder.join(", ").toStdString();
    }

    // Ctrl+Q is Exit's key, and it takes the Exit path: the window ends as accepted.
    QAction* exit = driver().Control<QAction>(menu_id::kExit);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    window().show();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_Q, Qt::ControlModifier);
    Settle();
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, AccessibilityTest,
                         ::testing::Values(Language::English, Language::German),
                         [](const auto& param) {
                             return param.param == Language::German ? "German" : "English";
                         });

}  // namespace
}  // namespace veltrix::testing
