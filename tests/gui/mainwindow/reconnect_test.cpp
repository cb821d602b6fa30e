// Autoconnect keeps watching: after the service went away the window tries again with
// a growing pause, shows when, and is connected again when the service is back; the
// user's Disconnect ends the watch. A service that answers is never taken for a hung one.

#include <QAbstractItemModel>
#include <QLabel>
#include <QListView>

#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

class ReconnectTest : public MainWindowTest {
  protected:
    // Connected by Autoconnect (or by hand without it); then the service goes away.
    void StartAndLoseTheService(bool autoConnect = true) {
        ClientSettings settings = QuietSettings();
        settings.autoConnect = autoConnect;
        Start(sim::TwoControllerScenario(), Transport::Local, settings);
        QObject::connect(
            &session(), &ServiceSession::ReconnectScheduled, &session(),
            [this](int delayMs) {
                scheduled.push_back({clock.NowMs(), delayMs});
            },
            Qt::DirectConnection);
        session().SeedBackoff(26);
        if (autoConnect) {
            clock.Advance(3000);
        } else {
            Connect();
        }
        ASSERT_TRUE(window().Monitor().IsConnected());
        const std::size_t closed = sim().ConnectionsClosed();
        sim().BeginOutage();
        ASSERT_TRUE(sim().WaitForConnectionsClosed(closed + 1, 5s));
        for (int tick = 0; tick < 10 && window().Monitor().IsConnected(); ++tick) {
            Tick();
        }
        ASSERT_FALSE(window().Monitor().IsConnected());
    }
    // Moves the clock a second at a time, letting each step's work run.
    void Run(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            clock.Advance(1000);
            Settle();
        }
    }
    QString Status() {
        return platform::FindControl<QLabel>(window(), control_id::kReconnectStatus)->text();
    }
    std::vector<QString> EventLog() {
        std::vector<QString> lines;
        const QAbstractItemModel* log =
            platform::FindControl<QListView>(window(), control_id::kEventLog)->model();
        for (int i = 0; i < log->rowCount(); ++i) {
            lines.push_back(log->index(i, 0).data().toString());
        }
        return lines;
    }

    struct Schedule {
        std::int64_t at;
        int delayMs;
    };
    std::vector<Schedule> scheduled;
};

bool Contains(const std::vector<QString>& lines, const char* text) {
    return std::any_of(lines.begin(), lines.end(),
                       [text](const QString& line) { return line.contains(text); });
}

TEST_F(ReconnectTest, TriesAgainWithBackOffUntilTheServiceIsBack) {
    StartAndLoseTheService();
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_EQ(scheduled[0].delayMs, 10000) << "the first try keeps the 10 s";
    EXPECT_TRUE(Contains(EventLog(), "Connection to the service lost"));

    Run(3);
    EXPECT_EQ(Status(), "Reconnecting in 7 s");
    EXPECT_EQ(TakeTrayRecords().back().tip, "Reconnecting in 7 s");

    Run(700);  // the service stays away for more than ten minutes
    std::string tries;
    for (std::size_t i = 0; i < scheduled.size(); ++i) {
        tries += std::to_string(scheduled[i].at) + "+" + std::to_string(scheduled[i].delayMs) + " ";
    }
    RecordProperty("tries_ms", tries);
    ASSERT_GE(scheduled.size(), 6u) << tries;
    for (std::size_t i = 1; i < scheduled.size(); ++i) {
        const int base = std::min(10000 << std::min<std::size_t>(i, 8), 300000);
        EXPECT_GE(scheduled[i].delayMs, base * 9 / 10) << i;
        EXPECT_LE(scheduled[i].delayMs, std::min(base * 11 / 10, 300000)) << i;
        // Each try comes when the one before it has failed, not earlier.
        EXPECT_GE(scheduled[i].at, scheduled[i - 1].at + scheduled[i - 1].delayMs) << i;
    }

    sim().EndOutage();
    Run(310);
    ASSERT_TRUE(window().Monitor().IsConnected()) << tries;
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_TRUE(Contains(EventLog(), "Connection to the service re-established"));
    // As after a first login: the poll runs.
    sim().ClearTranscript();
    Tick();
    Tick();
    const auto codes = receivedCodes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), GET_CHANGE_FLAG), codes.end());
}

TEST_F(ReconnectTest, DisconnectEndsTheWatch) {
    StartAndLoseTheService();
    ASSERT_TRUE(driver().IsItemEnabled(control_id::kDisconnect)) << "it can end the watch";
    Click(control_id::kDisconnect);
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Reconnect));
    EXPECT_TRUE(Status().isEmpty());
    sim().EndOutage();
    const std::size_t accepted = sim().ConnectionsAccepted();
    Run(400);
    EXPECT_EQ(sim().ConnectionsAccepted(), accepted);
    EXPECT_FALSE(window().Monitor().IsConnected());
}

// Without Autoconnect a lost host keeps its lists as last read, and the status line
// says since when.
TEST_F(ReconnectTest, ALostHostKeepsItsListsAndSaysWhenTheyWereRead) {
    StartAndLoseTheService(false);
    EXPECT_TRUE(window().Monitor().IsStale());
    EXPECT_TRUE(driver().IsItemShown(control_id::kReconnectStatus));
    const QString read =
        window().Monitor().LastReadAt().time().toString(QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(Status(), QStringLiteral("Not connected \u2014 as read at ") + read);
    EXPECT_GT(driver().RowCount(control_id::kDeviceList), 0);
}

// No controllers and a mail system that keeps failing (time stamps before 2010): the
// mail status answers each time, so the poll goes on every 4 s with one message per
// failure and never logs off.
TEST_F(MainWindowTest, FailingMailSystemNeverEndsTheMailOnlyPoll) {
    ClientSettings settings = QuietSettings();
    settings.autoConnect = true;
    Start(sim::Scenario{}, Transport::Local, settings);
    Connect();
    TakePopups();
    sim().ClearTranscript();
    constexpr int kPolls = 12;
    for (int poll = 0; poll < kPolls; ++poll) {
        sim().PushMailFailure({.errorCode = 421, .text = "down", .time = SystemTime{.year = 2009}});
        clock.Advance(4000);
        Settle();
        ASSERT_TRUE(window().Monitor().IsConnected()) << "poll " << poll;
    }
    const auto codes = receivedCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), GET_MAIL_STATUS), kPolls);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), LOGOFF), 0);
    EXPECT_EQ(TakePopups().size(), static_cast<std::size_t>(kPolls));
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Reconnect));
}

}  // namespace
}  // namespace veltrix::testing
