// Message boxes, error reports, file dialogs and modal runs: the Qt mapping.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <QDialog>

#include "gui/platform/control_id.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_user_interface.h"

namespace veltrix::platform::testing {
namespace {

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

// A window manager writes the title bold beside the window's icon and three buttons,
// about 30 pixels each: a box is as wide as that needs, never narrower than its text
// makes it, and as high as its text needs at that width.
TEST(MessageBoxTest, BoxIsWideEnoughForItsTitleBar) {
    const QString longText = QString("Controller No.:0 Port:1 ").repeated(8);
    const QString titles[] = {"Kavotronik Veltrix", "nas \u2014 Kavotronik Veltrix",
                              "backup-server-in-the-basement \u2014 Kavotronik Veltrix"};
    for (const QString& title : titles) {
        for (const QString& text : {QString("OK"), QString("NO RESPONSE"), longText}) {
            SCOPED_TRACE((title + " / " + text).toStdString());
            const auto box =
                MakeMessageBox(nullptr, title, text, MessageIcon::Warning, MessageButtons::Ok);
            QMessageBox plain(QMessageBox::Warning, title, text, QMessageBox::Ok);
            box->show();
            plain.show();
            QApplication::processEvents();
            QFont bold = QApplication::font("QMdiSubWindowTitleBar");
            bold.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(title) + 4 * 30);
            EXPECT_GE(box->width(), plain.width());
            EXPECT_GE(box->height(), box->layout()->totalHeightForWidth(box->width()));
        }
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

}  // namespace
}  // namespace veltrix::platform::testing
