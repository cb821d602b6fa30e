// What a screen reader and a keyboard user meet in every window, in both languages:
// each showing control has an accessible name, Tab reaches each one in reading order,
// a window's and a menu's mnemonics differ, and Ctrl+Q takes the Exit path.

#include <QAccessible>
#include <QTest>
#include <QtWidgets>
#include <iostream>

#include "gui/errorlog/error_log_dialog.h"
#include "gui/mail/mail_settings_dialog.h"
#include "gui/mail/password_confirm_dialog.h"
#include "gui/resources/main_window_ids.h"
#include "support/mail_scenario.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

bool IsControl(QWidget& window, QWidget* w) {
    const auto interactive = [](const QWidget* c) {
        return qobject_cast<const QAbstractButton*>(c) || qobject_cast<const QLineEdit*>(c) ||
               qobject_cast<const QComboBox*>(c) || qobject_cast<const QAbstractSlider*>(c) ||
               qobject_cast<const QAbstractItemView*>(c) || qobject_cast<const QTabBar*>(c) ||
               qobject_cast<const QAbstractSpinBox*>(c);
    };
    for (QWidget* p = w->parentWidget(); p != &window && p != nullptr; p = p->parentWidget()) {
        if (interactive(p)) {
            return false;  // a part of a control, such as a list's scroll bar
        }
    }
    return interactive(w) && w->isVisibleTo(&window) && w->window() == &window;
}

// The faults of a window: unnamed controls, mnemonics taken twice in it or in one of
// its menus (or a menu item without one), Tab going back up or missing a control.
QStringList Faults(QWidget& window, int& named, int& total) {
    QStringList faults;
    std::vector<QStringList> keys(1);  // the window's, then each menu's
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if (w->isVisibleTo(&window) && (label != nullptr || button != nullptr)) {
            keys[0] << QKeySequence::mnemonic(label ? label->text() : button->text()).toString();
        }
        const bool menu = qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w);
        keys.resize(keys.size() + (menu ? 1 : 0));
        for (QAction* action : menu ? w->actions() : QList<QAction*>()) {
            keys.back() << QKeySequence::mnemonic(action->text()).toString();
            faults << (keys.back().back().isEmpty() && !action->isSeparator()
                           ? "no mnemonic: " + action->text()
                           : "");
        }
        const bool control = IsControl(window, w);
        const bool hasName =
            control && !QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty();
        total += control;
        named += hasName;
        faults << (control && !hasName ? "unnamed " + w->objectName() : "");
    }
    for (QStringList& k : keys) {
        k.removeAll(QString());
        faults << (k.removeDuplicates() != 0 ? "mnemonics twice: " + k.join(' ') : "");
    }
    window.layout()->activate();
    int reached = 0;
    int lastTop = 0;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        const auto* button = qobject_cast<QPushButton*>(w);
        if (IsControl(window, w) && (w->focusPolicy() & Qt::TabFocus) == 0) {
            reached += button != nullptr && button->isDefault();  // Return's button
        } else if (IsControl(window, w)) {
            ++reached;
            const QRect at(w->mapTo(&window, QPoint(0, 0)), w->size());
            faults << (at.bottom() < lastTop ? "Tab goes back up to " + w->objectName() : "");
            lastTop = at.top();
        }
    }
    faults << (reached != total ? QString("Tab reaches %1 of %2").arg(reached).arg(total) : "");
    faults.removeAll(QString());
    return faults;
}

class AccessibilityTest : public MainWindowTest, public ::testing::WithParamInterface<Language> {
  protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        SetUiLanguage(Language::English);
    }
    void Audit(QWidget& window) {
        int named = 0;
        int total = 0;
        const QStringList faults = Faults(window, named, total);
        std::cout << window.windowTitle().toStdString() << ": " << named << " of " << total
                  << " controls named\n";
        EXPECT_TRUE(faults.isEmpty())
            << window.windowTitle().toStdString() << ": " << faults.join(", ").toStdString();
        ++audited;
    }
    int audited = 0;
};

TEST_P(AccessibilityTest, EveryWindowNamesItsControlsAndKeepsItsKeysApart) {
    SetUiLanguage(GetParam());
    Start(WithMail(sim::TwoControllerScenario(), {3, 4, 0, 0}));
    Connect();
    FirstTick();
    // Each dialog of the menu; the e-mail settings open the other two.
    ui.onModal = [this](QDialog& dialog) {
        Audit(dialog);
        if (platform::ControlIdOf(&dialog) == MailSettingsDialog::kDialogId) {
            PasswordConfirmDialog confirm(&dialog);
            Audit(confirm);
            WindowDriver(dialog).ClickItem(MailSettingsDialog::kAdvancedButton);
        }
        return static_cast<int>(QDialog::Rejected);
    };
    for (const int item : {menu_id::kBiosUpdate, menu_id::kEmail, menu_id::kLogFile,
                           menu_id::kPopup, menu_id::kPassword, menu_id::kAbout}) {
        EXPECT_TRUE(driver().UserChoose(item)) << item;
        Settle();
    }
    window().Body().ShowRebuildControls(true);
    Audit(window());
    Audit(window().ErrorLog().View());
    EXPECT_EQ(audited, 10);

    // Ctrl+Q is Exit's key, and it takes the Exit path: the window ends as accepted.
    EXPECT_EQ(driver().Control<QAction>(menu_id::kExit)->shortcut(), QKeySequence("Ctrl+Q"));
    window().show();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, AccessibilityTest,
                         ::testing::Values(Language::English, Language::German),
                         [](const auto& p) { return p.param == Language::German ? "de" : "en"; });

}  // namespace
}  // namespace veltrix::testing
