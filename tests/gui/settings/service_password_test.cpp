// The change of the service password: the old-password check on leaving its field,
// the comparison of the repetition, message 2000 on the wire, and which password the
// window logs in with afterwards, also when sending failed.

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "gui/resources/main_window_ids.h"
#include "gui/settings/service_password_dialog.h"
#include "protocol/service_channel.h"
#include "support/main_window_fixture.h"
#include "support/recording_ui.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kOld = ServicePasswordDialog::kOldPasswordId;
constexpr int kNew = ServicePasswordDialog::kNewPasswordId;
constexpr int kRepeated = ServicePasswordDialog::kRepeatedPasswordId;

QLineEdit* Edit(QDialog& dialog, int id) {
    return platform::FindControl<QLineEdit>(dialog, id);
}

// The dialog shown and active, so that the focus moves as the user moves it.
void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// How the user leaves the old password: Tab, or a click on another control.
struct LeaveCase {
    const char* name;
    const char* typedOld;
    int target;  // control clicked; 0: Tab
    bool complains;
    int focusAfter;  // where the focus ends up while the dialog is open; 0: closed
    int result;
};

class OldPasswordFocusTest : public ::testing::TestWithParam<LeaveCase> {
  protected:
    void TearDown() override { SetUiLanguage(Language::English); }
};

TEST_P(OldPasswordFocusTest, ChecksOnlyTowardsOkAndTheNewPassword) {
    const LeaveCase& c = GetParam();
    // The complaint is German in every language.
    SetUiLanguage(Language::English);
    RecordingUi ui;
    ServicePasswordDialog dialog(ui);
    dialog.currentPassword = "kavo";
    ShowActive(dialog);
    ASSERT_EQ(QApplication::focusWidget(), Edit(dialog, kOld));
    QTest::keyClicks(Edit(dialog, kOld), c.typedOld);
    if (c.target == 0) {
        QTest::keyClick(Edit(dialog, kOld), Qt::Key_Tab);
    } else {
        auto* target = platform::FindControl<QWidget>(dialog, c.target);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
    }
    QApplication::processEvents();

    if (c.complains) {
        EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Falsches Passwort!"});
    } else {
        EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts()[0];
    }
    EXPECT_EQ(dialog.result(), c.result);
    EXPECT_EQ(dialog.isVisible(), c.focusAfter != 0);
    if (c.focusAfter != 0) {
        EXPECT_EQ(QApplication::focusWidget(),
                  platform::FindControl<QWidget>(dialog, c.focusAfter));
    }
    dialog.hide();
}

INSTANTIATE_TEST_SUITE_P(
    Leaving, OldPasswordFocusTest,
    ::testing::Values(
        LeaveCase{"WrongByTab", "kavO", 0, true, kOld, QDialog::Rejected},
        LeaveCase{"WrongTowardsOkStaysOpen", "wrong", kOk, true, kOld, QDialog::Rejected},
        LeaveCase{"WrongClickIntoRepetition", "wrong", kRepeated, false, kRepeated,
                  QDialog::Rejected},
        LeaveCase{"WrongTowardsCancel", "wrong", kCancel, false, 0, QDialog::Rejected},
        LeaveCase{"RightByTab", "kavo", 0, false, kNew, QDialog::Rejected},
        LeaveCase{"RightTowardsOkGoesToNewPassword", "kavo", kOk, false, 0, QDialog::Accepted}),
    [](const auto& p) { return std::string(p.param.name); });

// The window against the service: what the user types and presses, what goes out.
struct ChangeCase {
    const char* name;
    std::string newPassword;
    std::string repeated;
    int button;
    std::vector<std::string> messages;
    std::optional<std::string> sent;  // the data of message 2000; nothing: not sent
    std::string loginPassword;        // the password the window logs in with afterwards
};

class PasswordChangeTest : public MainWindowTest,
                           public ::testing::WithParamInterface<ChangeCase> {};

// Plays the dialog: types the three passwords and presses `button`; Cancel follows
// when the dialog refused to close.
void PlayDialog(ScriptedUi& ui, std::string old, std::string fresh, std::string repeated,
                int button) {
    ui.onModal = [=](QDialog& dialog) {
        Edit(dialog, kOld)->setText(QString::fromStdString(old));
        Edit(dialog, kNew)->setText(QString::fromStdString(fresh));
        Edit(dialog, kRepeated)->setText(QString::fromStdString(repeated));
        WindowDriver driver(dialog);
        driver.ClickItem(button);
        if (dialog.result() != QDialog::Accepted) {
            driver.ClickItem(kCancel);
        }
        return dialog.result();
    };
}

TEST_P(PasswordChangeTest, SendsOnlyAMatchingRepetition) {
    const ChangeCase& c = GetParam();
    Start(sim::TwoControllerScenario());
    Connect();
    sim().ClearTranscript();
    PlayDialog(ui, "kavo", c.newPassword, c.repeated, c.button);
    ASSERT_TRUE(driver().UserChoose(menu_id::kPassword));
    Settle();

    EXPECT_EQ(ui.modalRuns, std::vector<int>{ServicePasswordDialog::kDialogId});
    EXPECT_EQ(ui.messageTexts(), c.messages);
    EXPECT_EQ(window().Settings().password, c.loginPassword);
    EXPECT_EQ(driver().ItemText(control_id::kPassword), c.loginPassword);
    EXPECT_FALSE(session().Link().pipeBusy);
    const auto sent = sim().WaitForCode(SET_SERVICE_PASSWORD, c.sent ? 5s : 0s);
    ASSERT_EQ(sent.has_value(), c.sent.has_value());
    if (sent) {
        EXPECT_EQ(sent->length, c.sent->size());
        EXPECT_EQ(sent->size, 6 + c.sent->size());
        EXPECT_EQ(std::string(sent->data.begin(), sent->data.end()), *c.sent);
    }

    // The service takes the password from the next login on: the window logs in
    // with the password it shows.
    ui.clear();
    ASSERT_TRUE(Click(control_id::kDisconnect));
    ASSERT_TRUE(sim().WaitForConnectionsClosed(1, 5s));
    Connect();
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PasswordChangeTest,
    ::testing::Values(
        ChangeCase{
            "Changed", "twelve-chars", "twelve-chars", kOk, {}, "twelve-chars", "twelve-chars"},
        ChangeCase{"EmptySentWithLengthZero", "", "", kOk, {}, "", ""},
        ChangeCase{"CancelSendsNothing", "neu", "neu", kCancel, {}, std::nullopt, "kavo"},
        ChangeCase{"RepetitionDiffers",
                   "neu",
                   "Neu",
                   kOk,
                   {"Password Re-Entry invalid!\nPassword unchanged!"},
                   std::nullopt,
                   "kavo"},
        ChangeCase{"LongestPassword",
                   std::string(99, 'p'),
                   std::string(99, 'p'),
                   kOk,
                   {},
                   std::string(99, 'p'),
                   std::string(99, 'p')},
        ChangeCase{"LongerThanALoginCarriesIsRefused",
                   std::string(100, 'p'),
                   std::string(100, 'p'),
                   kOk,
                   {"The new password is too long: a password has at most 99 characters.\n"
                    "Password unchanged!"},
                   std::nullopt,
                   "kavo"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(MainWindowTest, WrongOldPasswordClickedPastIsSentWithEnter) {
    Start(sim::TwoControllerScenario());
    Connect();
    ui.onModal = [](QDialog& dialog) {
        ShowActive(dialog);
        QTest::keyClicks(Edit(dialog, kOld), "wrong");
        QTest::mouseClick(Edit(dialog, kRepeated), Qt::LeftButton);
        QTest::keyClicks(Edit(dialog, kRepeated), "neu");
        QTest::mouseClick(Edit(dialog, kNew), Qt::LeftButton);
        QTest::keyClicks(Edit(dialog, kNew), "neu");
        QTest::keyClick(Edit(dialog, kNew), Qt::Key_Return);
        return dialog.result();
    };
    ASSERT_TRUE(driver().UserChoose(menu_id::kPassword));
    Settle();

    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts()[0];
    const auto sent = sim().WaitForCode(SET_SERVICE_PASSWORD, 5s);
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(std::string(sent->data.begin(), sent->data.end()), "neu");
}

TEST_F(MainWindowTest, ServiceSettingsNeedAConnection) {
    Start(sim::TwoControllerScenario());
    for (const int item : {menu_id::kPassword, menu_id::kLogFile}) {
        ui.clear();
        ASSERT_TRUE(driver().UserChoose(item));
        EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Hostsystem not connected."}) << item;
    }
    EXPECT_TRUE(ui.modalRuns.empty());
}

// The service went away before the new password reached it: the window keeps the new
// password as its own, the field its old text. After a restart with the settings
// saved, the login is refused until the old password is typed again.
TEST_F(MainWindowTest, FailedSendKeepsTheNewPasswordForTheNextLogin) {
    Start(sim::TwoControllerScenario());
    Connect();
    sim().Stop();
    PlayDialog(ui, "kavo", "neu", "neu", kOk);
    ASSERT_TRUE(driver().UserChoose(menu_id::kPassword));
    Settle();

    EXPECT_EQ(ui.messageTexts(),
              (std::vector<std::string>{SystemErrorText(win32::ERROR_BROKEN_PIPE),
                                        "Kavotronik Service Write Error!\nError #KGD-3392"}));
    EXPECT_FALSE(session().Link().pipeBusy);
    EXPECT_EQ(window().Settings().password, "neu");
    EXPECT_EQ(driver().ItemText(control_id::kPassword), "kavo");

    ClientSettings saved;
    window().SetSettingsWriter([&saved](const ClientSettings& s) { saved = s; });
    window().ExitProgram();
    EXPECT_EQ(saved.password, "neu");

    ui.clear();
    Start(sim::TwoControllerScenario(), Transport::Local, saved);
    EXPECT_EQ(driver().ItemText(control_id::kPassword), "neu");
    ASSERT_TRUE(Click(control_id::kConnect));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Invalid Password!"});
    EXPECT_FALSE(window().Monitor().IsConnected());

    ui.clear();
    driver().Control<QLineEdit>(control_id::kPassword)->setText("kavo");
    Connect();
    EXPECT_EQ(window().Settings().password, "kavo");
}

}  // namespace
}  // namespace veltrix::testing
