// Message boxes, error reports, file dialogs and modal runs: the Qt mapping and the
// scripted stand-in the window tests use.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <QDialog>

#include "gui/platform/control_id.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_user_interface.h"
#include "support/scripted_ui.h"

namespace veltrix::platform::testing {
namespace {

using veltrix::testing::ScriptedUi;

TEST(MessageBoxTest, ButtonsDefaultAndEscapeFollowTheButtonSet) {
    struct Row {
        MessageButtons buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton escapeButton;
    };
    const Row rows[] = {
        {MessageButtons::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
        {MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
         QMessageBox::Cancel},
        {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
         QMessageBox::No},
        {MessageButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::Yes, QMessageBox::Cancel},
        {MessageButtons::YesNoDefaultNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
         QMessageBox::No},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.buttons));
        const auto box = MakeMessageBox(nullptr, QStringLiteral("Title"),
                                        QStringLiteral("Line 1\nError #KGD-12 <b>"),
                                        MessageIcon::Warning, row.buttons);
        EXPECT_EQ(box->standardButtons(), row.shown);
        EXPECT_EQ(box->defaultButton(), box->button(row.defaultButton));
        EXPECT_EQ(box->escapeButton(), box->button(row.escapeButton));
        EXPECT_EQ(box->windowTitle(), "Title");
        EXPECT_EQ(box->text(), "Line 1\nError #KGD-12 <b>");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
    }
}

TEST(MessageBoxTest, IconsAndAnswers) {
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Question, QMessageBox::Question},
    };
    for (const auto& [ours, qt] : icons) {
        EXPECT_EQ(ToQtIcon(ours), qt);
        EXPECT_EQ(MakeMessageBox(nullptr, {}, {}, ours, MessageButtons::Ok)->icon(), qt);
    }
    const std::pair<QMessageBox::StandardButton, MessageAnswer> answers[] = {
        {QMessageBox::Ok, MessageAnswer::Ok},
        {QMessageBox::Cancel, MessageAnswer::Cancel},
        {QMessageBox::Yes, MessageAnswer::Yes},
        {QMessageBox::No, MessageAnswer::No},
        {QMessageBox::NoButton, MessageAnswer::Cancel},
    };
    for (const auto& [button, answer] : answers) {
        EXPECT_EQ(AnswerFor(button), answer);
    }
}

// Presses `button` in the modal box that is about to run.
void PressLater(QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(button)->click();
    });
}

TEST(QtUserInterfaceTest, ShowMessageRunsAModalBoxAndReturnsTheAnswer) {
    QtUserInterface ui;
    PressLater(QMessageBox::No);
    EXPECT_EQ(ui.ShowMessage("Save?", MessageIcon::Question, MessageButtons::YesNoCancel),
              MessageAnswer::No);
    PressLater(QMessageBox::Ok);
    EXPECT_EQ(ui.ShowMessage("Done", MessageIcon::Information, MessageButtons::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(QtUserInterface::Title(), "Veltrix Test");
}

TEST(QtUserInterfaceTest, ErrorReportsGoToTheReporter) {
    QtUserInterface ui;
    std::vector<std::string> reported;
    ui.SetErrorReporter([&reported](const std::string& text) { reported.push_back(text); });
    ui.ReportError("NO RESPONSE");
    EXPECT_EQ(reported, (std::vector<std::string>{"NO RESPONSE"}));
}

TEST(QtUserInterfaceTest, WithoutAReporterAWarningShowsWithoutBlocking) {
    QtUserInterface ui;
    QPointer<QMessageBox> box = ui.ShowWarningBox("disk lost");
    ASSERT_FALSE(box.isNull());
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), "disk lost");
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());

    ui.ReportError("second");  // returns at once
    const auto boxes = QApplication::topLevelWidgets();
    int open = 0;
    for (QWidget* widget : boxes) {
        if (auto* shown = qobject_cast<QMessageBox*>(widget); shown && shown->isVisible()) {
            ++open;
            shown->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open, 1);
}

TEST(QtUserInterfaceTest, RunModalRunsAndReturnsTheResult) {
    QtUserInterface ui;
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.accept(); });
    EXPECT_EQ(ui.RunModal(dialog), QDialog::Accepted);
}

TEST(ScriptedUiTest, RecordsMessagesAndAnswersFromTheScript) {
    ScriptedUi ui;
    ui.answers = {MessageAnswer::No};
    UserInterface& core = ui;
    EXPECT_EQ(core.ShowMessage("a", MessageIcon::Question, MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(core.ShowMessage("b", MessageIcon::Question, MessageButtons::YesNo),
              MessageAnswer::Yes);
    EXPECT_EQ(core.ShowMessage("c"), MessageAnswer::Ok);
    core.ReportError("e");
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.messages[2].buttons, MessageButtons::Ok);
    EXPECT_EQ(ui.errors, (std::vector<std::string>{"e"}));
}

TEST(ScriptedUiTest, FileDialogsAnswerFromTheirQueueThenCancel) {
    ScriptedUi ui;
    ui.fileAnswers = {std::string("/tmp/new.rom"), std::nullopt};
    DialogUi& dialogs = ui;
    EXPECT_EQ(dialogs.GetOpenFileName("Open", "ROM (*.rom)", ""), "/tmp/new.rom");
    EXPECT_EQ(dialogs.GetSaveFileName("Save", "All (*)", "bios.bak"), std::nullopt);
    EXPECT_EQ(dialogs.GetOpenFileName("Open", "", ""), std::nullopt);
    ASSERT_EQ(ui.fileRequests.size(), 3u);
    EXPECT_FALSE(ui.fileRequests[0].save);
    EXPECT_TRUE(ui.fileRequests[1].save);
    EXPECT_EQ(ui.fileRequests[1].initialPath, "bios.bak");
    EXPECT_EQ(ui.fileRequests[0].filter, "ROM (*.rom)");
}

TEST(ScriptedUiTest, ModalRunsGoThroughTheCallback) {
    ScriptedUi ui;
    QDialog dialog;
    SetControlId(&dialog, 102);
    EXPECT_EQ(ui.RunModal(dialog), QDialog::Rejected);
    ui.onModal = [](QDialog& d) {
        d.setWindowTitle(QStringLiteral("played"));
        return QDialog::Accepted;
    };
    EXPECT_EQ(ui.RunModal(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("played"));
    EXPECT_EQ(ui.modalRuns, (std::vector<int>{102, 102}));
}

}  // namespace
}  // namespace veltrix::platform::testing
