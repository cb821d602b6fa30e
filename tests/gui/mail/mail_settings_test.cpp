// The e-mail settings command against the simulated service: the dialog the user sees
// for each service, what the service stores after OK, the password confirmations, the
// poll cycle while the dialog is open, and failures that end the exchange.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <map>

#include "gui/mail/mail_settings_dialog.h"
#include "gui/mail/password_confirm_dialog.h"
#include "gui/mail/smtp_settings_dialog.h"
#include "gui/resources/main_window_ids.h"
#include "session/mail_settings.h"
#include "support/mail_scenario.h"
#include "support/main_window_fixture.h"
#include "texts/strings.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;
using Mail = MailSettingsDialog;
using Play = std::function<int(QDialog&, WindowDriver&)>;

constexpr char kNoMatch[] = "Keine Übereinstimmung!\nPasswort nicht geändert!";

using Version = ServiceVersionWords;

class MailSettingsTest : public MainWindowTest {
  protected:
    void StartMail(Version v = {3, 4, 0, 0}, sim::MailSettings settings = StoredMailSettings()) {
        Start(WithMail(sim::TwoControllerScenario(), v, std::move(settings)));
        session().Link().pause = [this](std::chrono::milliseconds pause) {
            pauses.push_back(pause);
        };
        Connect();
        FirstTick();
        ui.onModal = [this](QDialog& dialog) {
            const auto play = plays.find(platform::ControlIdOf(&dialog));
            if (play == plays.end()) {
                return static_cast<int>(QDialog::Rejected);
            }
            WindowDriver driver(dialog);
            return play->second(dialog, driver);
        };
        sim().ClearTranscript();
        ui.clear();
        ui.modalRuns.clear();
        plays.clear();
        pauses.clear();
    }
    // Chooses "Email..." and lets everything it starts run to its end.
    void ChooseEmail() {
        ASSERT_TRUE(driver().UserChoose(menu_id::kEmail));
        Settle();
    }
    // What the service holds once it has received the whole write phase.
    sim::MailSettings StoredNow() {
        EXPECT_TRUE(sim().WaitForCode(MAIL_SET_LEVEL2, 2s).has_value());
        return sim().Inspect([](const sim::ServiceEngine& e) { return e.Mail(); });
    }
    std::size_t Count(std::uint32_t code) {
        const auto codes = receivedCodes();
        return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), code));
    }
    // The requests the service received (not the data messages), once it has received
    // `messages` in all.
    std::vector<std::uint32_t> Requests(std::size_t messages) {
        EXPECT_TRUE(sim().WaitForEntries(messages, 2s));
        std::vector<std::uint32_t> codes;
        for (const auto& e : sim().Transcript()) {
            if (e.kind == sim::Outcome::Kind::Request) {
                codes.push_back(e.code);
            }
        }
        return codes;
    }

    // What each dialog's user does, by dialog id; a dialog without a play is cancelled.
    std::map<int, Play> plays;
    // The pauses the session made for the service's replies.
    std::vector<std::chrono::milliseconds> pauses;
};

Play Ok() {
    return [](QDialog&, WindowDriver& d) {
        EXPECT_TRUE(d.ClickItem(1));
        return static_cast<int>(QDialog::Accepted);
    };
}
Play Repeat(const char* text) {
    return [text](QDialog&, WindowDriver& d) {
        d.Control<QLineEdit>(PasswordConfirmDialog::kPasswordEdit)
            ->setText(QString::fromUtf8(text));
        return static_cast<int>(QDialog::Accepted);
    };
}

TEST_F(MailSettingsTest, NotConnectedSaysSoAndAsksNothing) {
    Start(sim::TwoControllerScenario());
    ChooseEmail();
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Hostsystem not connected."});
    EXPECT_TRUE(ui.modalRuns.empty());
}

// What the dialog shows for each kind of service, and which commands travel.
TEST_F(MailSettingsTest, TheServiceVersionDecidesTheAdvancedSettings) {
    struct Case {
        Version version;
        bool advanced;
        std::vector<std::string> types;  // empty: the advanced dialog is not reachable
        std::size_t messages;
        std::vector<std::uint32_t> requests;
        std::size_t pauses;  // of 1000 ms, one per reading of several replies
    };
    for (const Case& c : std::vector<Case>{
             {{3, 3, 0, 99}, false, {}, 3 + 10, {1000, 1006, 1010, 1001, 1005, 1009}, 1},
             {{3, 3, 99, 99},
              true,
              {"Plain Text"},
              4 + 14,
              {1000, 1006, 1010, 1012, 1001, 1005, 1009, 1013},
              2},
             {{3, 4, 0, 0},
              true,
              {"Plain Text", "SSL, TLS or DTLS", "STARTTLS", "Auto Upgrade to STARTTLS"},
              5 + 17,
              {1000, 1006, 1010, 1012, 1014, 1001, 1005, 1009, 1013, 1015},
              3},
         }) {
        SCOPED_TRACE(c.version.build);
        StartMail(c.version);
        std::vector<std::string> types;
        plays[Mail::kDialogId] = [&](QDialog& dialog, WindowDriver& d) {
            EXPECT_EQ(d.ItemText(Mail::kServerEdit), "smtp.example.org");
            EXPECT_EQ(d.IsItemEnabled(Mail::kAdvancedButton), c.advanced);
            d.ClickItem(Mail::kAdvancedButton);
            return Ok()(dialog, d);
        };
        plays[SmtpSettingsDialog::kDialogId] = [&](QDialog&, WindowDriver& d) {
            types = d.Rows(SmtpSettingsDialog::kConnectionCombo);
            return static_cast<int>(QDialog::Rejected);
        };
        ChooseEmail();
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(Requests(c.messages), c.requests);
        EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>(c.pauses, 1000ms));
        EXPECT_TRUE(ui.messages.empty());
        TearDown();
    }
}

TEST_F(MailSettingsTest, TheSliderShowsTheLevelByRanges) {
    for (const auto& [wire, position] :
         std::vector<std::pair<std::uint32_t, int>>{{19, 0}, {20, 1}, {39, 1}, {40, 2}}) {
        sim::MailSettings settings = StoredMailSettings();
        settings.level = wire;
        StartMail({3, 4, 0, 0}, settings);
        int shown = -1;
        plays[Mail::kDialogId] = [&](QDialog&, WindowDriver& d) {
            shown = d.Pos(Mail::kLevelSlider);
            return static_cast<int>(QDialog::Rejected);
        };
        ChooseEmail();
        EXPECT_EQ(shown, position) << wire;
        TearDown();
    }
}

// The user's changes reach the service; the advanced values too.
TEST_F(MailSettingsTest, OkWritesWhatTheUserChose) {
    StartMail();
    plays[Mail::kDialogId] = [](QDialog& dialog, WindowDriver& d) {
        d.Control<QLineEdit>(Mail::kRecipientEdit)->setText("ops@example.org");
        d.UserMoveTrackbar(Mail::kLevelSlider, 0);
        d.ClickItem(Mail::kAdvancedButton);
        return Ok()(dialog, d);
    };
    plays[SmtpSettingsDialog::kDialogId] = [](QDialog& dialog, WindowDriver& d) {
        d.UserSelectRow(SmtpSettingsDialog::kConnectionCombo, 1);
        return Ok()(dialog, d);
    };
    ChooseEmail();
    EXPECT_TRUE(sim().WaitForEntries(5 + 17, 2s));
    const sim::MailSettings after = sim().Inspect([](const auto& e) { return e.Mail(); });
    EXPECT_EQ(after.recipient, "ops@example.org");
    EXPECT_EQ(after.password, "s3cret");
    EXPECT_EQ(after.level, 0u);
    EXPECT_EQ(after.port, 465u);
    EXPECT_EQ(after.connectionType, 1u);
    EXPECT_EQ(after.tlsProtocol, 3u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(session().Link().pipeBusy);
}

TEST_F(MailSettingsTest, BootUpMessagesWithoutARecipientSwitchMailOff) {
    sim::MailSettings settings = StoredMailSettings();
    settings.recipient = "";
    settings.flags = 0;
    StartMail({3, 4, 0, 0}, settings);
    plays[Mail::kDialogId] = [](QDialog& dialog, WindowDriver& d) {
        d.ClickItem(Mail::kBootUpCheck);
        return Ok()(dialog, d);
    };
    ChooseEmail();
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Entrys not complete. e-mail inactive"});
    const sim::MailSettings stored = StoredNow();
    EXPECT_EQ(stored.flags, 0);
    EXPECT_EQ(stored.senderName, "Server room") << "written all the same";
}

TEST_F(MailSettingsTest, TheTestMailGoesOutOnceAndItsBoxStartsUnchecked) {
    StartMail();
    bool checkedAtStart = true;
    plays[Mail::kDialogId] = [&](QDialog& dialog, WindowDriver& d) {
        checkedAtStart = d.Control<QCheckBox>(Mail::kTestMailCheck)->isChecked();
        d.ClickItem(Mail::kTestMailCheck);
        return Ok()(dialog, d);
    };
    ChooseEmail();
    EXPECT_FALSE(checkedAtStart);
    StoredNow();
    const auto transcript = sim().Transcript();
    const auto flags = std::find_if(transcript.begin(), transcript.end(), [](const auto& e) {
        return e.code == MAIL_SET_SETTINGS && e.length == 1;
    });
    ASSERT_NE(flags, transcript.end());
    EXPECT_EQ(flags->data, std::vector<std::uint8_t>{mail_flag::kActive | mail_flag::kTestMail});

    sim().ClearTranscript();
    plays[Mail::kDialogId] = [&](QDialog& dialog, WindowDriver& d) {
        checkedAtStart = d.Control<QCheckBox>(Mail::kTestMailCheck)->isChecked();
        return Ok()(dialog, d);
    };
    ChooseEmail();
    EXPECT_FALSE(checkedAtStart);
    StoredNow();
    EXPECT_EQ(sim().Inspect([](const auto& e) { return e.TestMailsRequested(); }), 1u);
}

// Tabbing away from a changed password asks for it again at once; a wrong repetition
// puts the old one back before OK.
TEST_F(MailSettingsTest, LeavingTheChangedPasswordAsksForItAgain) {
    struct Case {
        const char* repetition;
        std::string afterTab;
        std::vector<std::string> messages;
        std::string stored;
    };
    for (const Case& c :
         std::vector<Case>{{"n3w", "n3w", {}, "n3w"}, {"new", "s3cret", {kNoMatch}, "s3cret"}}) {
        SCOPED_TRACE(c.repetition);
        StartMail();
        std::string afterTab;
        std::vector<std::string> messagesBeforeOk;
        plays[Mail::kDialogId] = [&](QDialog& dialog, WindowDriver& d) {
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            auto* password = d.Control<QLineEdit>(Mail::kPasswordEdit);
            password->setFocus(Qt::OtherFocusReason);
            password->setText("n3w");
            d.UserPressKey(Qt::Key_Tab, Mail::kPasswordEdit);
            afterTab = password->text().toStdString();
            messagesBeforeOk = ui.messageTexts();
            dialog.hide();
            return Ok()(dialog, d);
        };
        plays[PasswordConfirmDialog::kDialogId] = Repeat(c.repetition);
        ChooseEmail();
        EXPECT_EQ(afterTab, c.afterTab);
        EXPECT_EQ(messagesBeforeOk, c.messages);
        EXPECT_EQ(ui.modalRuns,
                  (std::vector<int>{Mail::kDialogId, PasswordConfirmDialog::kDialogId}))
            << "no second confirmation after OK";
        EXPECT_EQ(StoredNow().password, c.stored);
        TearDown();
    }
}

// A change the field's own confirmation did not see (OK straight from the field) is
// confirmed after OK; a wrong or cancelled repetition restores the password as read.
TEST_F(MailSettingsTest, AnUnconfirmedPasswordIsConfirmedAfterOk) {
    struct Case {
        Play confirm;
        std::vector<std::string> messages;
        std::string stored;
    };
    const std::string restored = "Password corrupted!\nOld Password restored!";
    for (const Case& c : std::vector<Case>{{Repeat("n3w"), {}, "n3w"},
                                           {Repeat("n3"), {restored}, "s3cret"},
                                           {nullptr, {restored}, "s3cret"}}) {
        StartMail();
        plays[Mail::kDialogId] = [](QDialog& dialog, WindowDriver& d) {
            d.Control<QLineEdit>(Mail::kPasswordEdit)->setText("n3w");
            return Ok()(dialog, d);
        };
        if (c.confirm) {
            plays[PasswordConfirmDialog::kDialogId] = c.confirm;
        }
        ChooseEmail();
        EXPECT_EQ(ui.modalRuns,
                  (std::vector<int>{Mail::kDialogId, PasswordConfirmDialog::kDialogId}));
        EXPECT_EQ(ui.messageTexts(), c.messages);
        EXPECT_EQ(StoredNow().password, c.stored);
        TearDown();
    }
}

// The busy flag is free while the dialog is open: the poll goes on. Cancel writes
// nothing.
TEST_F(MailSettingsTest, ThePollRunsWhileTheDialogIsOpenAndCancelWritesNothing) {
    StartMail();
    bool busyWhileOpen = true;
    plays[Mail::kDialogId] = [&](QDialog&, WindowDriver& d) {
        busyWhileOpen = unsettledWindow().Session().Link().pipeBusy;
        sim().ClearTranscript();
        Tick();
        d.Control<QLineEdit>(Mail::kRecipientEdit)->setText("changed@example.org");
        return static_cast<int>(QDialog::Rejected);
    };
    ChooseEmail();
    EXPECT_FALSE(busyWhileOpen);
    EXPECT_EQ(Count(GET_CHANGE_FLAG), 1u);
    EXPECT_EQ(Count(MAIL_SET_SETTINGS) + Count(MAIL_SET_LEVEL) + Count(MAIL_SET_LEVEL2), 0u);
    EXPECT_EQ(sim().Inspect([](const auto& e) { return e.Mail().recipient; }), "admin@example.org");
    EXPECT_TRUE(ui.messages.empty());
}

// A service that closes the channel instead of replying ends the exchange with the
// step's number; nothing further is sent or shown and the busy flag is free.
TEST_F(MailSettingsTest, AChannelFailureEndsTheExchange) {
    struct Case {
        std::uint32_t closedAt;
        std::string message;
        bool dialog;
    };
    const std::string read = "Kavotronik Service Read Error!\nError #KGD-";
    const std::string write = "Kavotronik Service Write Error!\nError #KGD-";
    for (const Case& c : std::vector<Case>{{MAIL_GET_SETTINGS, read + "1155", false},
                                           {MAIL_GET_LEVEL2, read + "1226", false},
                                           {MAIL_SET_SETTINGS, write + "1398", true},
                                           {SMTP_SET_TLS, write + "1480", true}}) {
        SCOPED_TRACE(c.closedAt);
        StartMail();
        sim().SetFault({.code = c.closedAt, .kind = sim::FaultSpec::Kind::Close});
        plays[Mail::kDialogId] = Ok();
        ChooseEmail();
        const auto codes = receivedCodes();
        ASSERT_FALSE(codes.empty());
        EXPECT_EQ(codes.back(), c.closedAt) << "nothing after the failed step";
        EXPECT_EQ(ui.modalRuns.size(), c.dialog ? 1u : 0u);
        EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{c.message});
        EXPECT_FALSE(session().Link().pipeBusy);
        TearDown();
    }
}

// A BIOS update holds the channel: the command waits for it and reads afterwards.
TEST_F(MailSettingsTest, WaitsForAChannelHeldByABiosUpdate) {
    StartMail();
    plays[Mail::kDialogId] = [](QDialog&, WindowDriver&) {
        return static_cast<int>(QDialog::Rejected);
    };
    session().Link().flashBusy = true;
    ChooseEmail();
    EXPECT_EQ(Count(MAIL_GET_SETTINGS), 0u);
    session().Link().flashBusy = false;
    QTest::qWait(150);
    Settle();
    EXPECT_EQ(Count(MAIL_GET_SETTINGS), 1u);
    EXPECT_EQ(ui.modalRuns, std::vector<int>{Mail::kDialogId});
}

}  // namespace
}  // namespace veltrix::testing
