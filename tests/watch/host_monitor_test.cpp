// A host watched without a window: the monitor holds the session's snapshot and the
// connection's state while it is logged in, lets them go at the logoff, keeps them
// after a lost connection, counts down Autoconnect's wait and tells its state, with no
// widget anywhere; and the list of several watched hosts.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <chrono>
#include <memory>
#include <vector>

#include "servicesim/scenario_builders.h"
#include "session/manual_time_source.h"
#include "support/recording_ui.h"
#include "support/sim_session.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "watch/host_list.h"
#include "watch/host_monitor.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

class HostMonitorTest : public ::testing::Test {
  protected:
    explicit HostMonitorTest(sim::Scenario scenario = sim::TwoControllerScenario())
        : service(std::move(scenario), Transport::Local) {
        monitor.SetEntry({.name = "alpha", .address = service.host(), .password = "kavo"});
    }
    void Settle(HostMonitor& m) {
        m.Session().Sync();
        QCoreApplication::sendPostedEvents();
    }
    void Settle() { Settle(monitor); }
    void Login() {
        monitor.Connect();
        Settle();
        ASSERT_TRUE(monitor.IsConnected());
    }
    // The service stops answering until the monitor has given the connection up.
    void LoseConnection() {
        const std::size_t closed = service.sim().ConnectionsClosed();
        service.sim().BeginOutage();
        ASSERT_TRUE(service.sim().WaitForConnectionsClosed(closed + 1, 5s));
        for (int tick = 0; tick < 10 && monitor.IsConnected(); ++tick) {
            clock.Advance(5000);
            Settle();
        }
        ASSERT_FALSE(monitor.IsConnected());
    }

    ManualTimeSource clock;
    RecordingUi questions;
    SimSession service;
    HostMonitor monitor{questions, &clock};
};

TEST_F(HostMonitorTest, HoldsTheSnapshotAndConnectionWhileLoggedIn) {
    Login();
    EXPECT_NE(monitor.Table()->GetController(1), nullptr);
    EXPECT_EQ(monitor.ControllerCount(), 2u);
    EXPECT_EQ(monitor.ServiceVersion(), 3040000);
    EXPECT_NE(monitor.Config().versionMajor, 0);
    monitor.Disconnect();
    Settle();
    EXPECT_EQ(monitor.Table()->ObjectCount(), 0u);
    EXPECT_FALSE(monitor.IsConnected());
    EXPECT_EQ(monitor.ControllerCount(), 0u);
    EXPECT_EQ(monitor.Config().versionMajor, 0) << "the configuration goes with the logoff";
    EXPECT_EQ(monitor.ServiceVersion(), 3040000) << "the version stays";
    EXPECT_TRUE(questions.messages.empty());
}

TEST_F(HostMonitorTest, CountsDownAutoconnectsWaitEverySecond) {
    std::vector<int> told;
    QObject::connect(&monitor, &HostMonitor::ReconnectCountdown,
                     [&told](int seconds) { told.push_back(seconds); });
    monitor.Session().SetAutoConnect(true);
    monitor.Session().SeedBackoff(26);
    Login();
    EXPECT_EQ(monitor.ReconnectSecondsLeft(), -1);
    LoseConnection();
    const int left = monitor.ReconnectSecondsLeft();
    ASSERT_GT(left, 1);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), left);
    clock.Advance(1000);
    Settle();
    EXPECT_EQ(told.back(), left - 1);
    EXPECT_EQ(monitor.ReconnectSecondsLeft(), left - 1);
    EXPECT_EQ(monitor.State(), HostState::Reconnecting);
    EXPECT_EQ(monitor.StateLine(), QStringLiteral("Reconnecting in %1 s").arg(left - 1));
}

// What was last read stays after a lost connection, until the user disconnects.
TEST_F(HostMonitorTest, KeepsTheLastKnownStateAfterALostConnection) {
    Login();
    monitor.Devices().Refresh(*monitor.Table(), 0, -1);
    monitor.RaidSets().Refresh(*monitor.Table(), 0, -1);
    const int drives = monitor.Devices().rowCount();
    const int sets = monitor.RaidSets().rowCount();
    ASSERT_GT(drives, 0);
    ASSERT_GT(sets, 0);
    EXPECT_FALSE(monitor.IsStale());
    LoseConnection();
    EXPECT_TRUE(monitor.IsStale());
    EXPECT_TRUE(monitor.LastReadAt().isValid());
    EXPECT_EQ(monitor.Devices().rowCount(), drives);
    EXPECT_EQ(monitor.RaidSets().rowCount(), sets);
    EXPECT_NE(monitor.Table()->GetController(1), nullptr);
    EXPECT_EQ(monitor.ControllerCount(), 2u);
    EXPECT_FALSE(IsReachable(monitor.State()));
    monitor.Disconnect();
    Settle();
    EXPECT_FALSE(monitor.IsStale());
    EXPECT_EQ(monitor.Devices().rowCount(), 0);
    EXPECT_EQ(monitor.Table()->ObjectCount(), 0u);
}

TEST_F(HostMonitorTest, ARefusedPasswordHoldsUntilTheUserConnectsAgain) {
    QSignalSpy refused(&monitor, &HostMonitor::LoginRefused);
    monitor.SetEntry({.name = "alpha", .address = service.host(), .password = "wrong"});
    monitor.Connect();
    Settle();
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(monitor.State(), HostState::PasswordRefused);
    EXPECT_EQ(monitor.StateLine(), QStringLiteral("Password refused"));
    EXPECT_EQ(questions.messageTexts(), std::vector{LoadString(ids::kInvalidPassword)});
    monitor.SetEntry({.name = "alpha", .address = service.host(), .password = "kavo"});
    QSignalSpy changed(&monitor, &HostMonitor::StateChanged);
    Login();
    EXPECT_EQ(monitor.State(), HostState::Ready);
    EXPECT_GE(changed.count(), 1);
}

// Several hosts: the worst state first in the tooltip, hosts of one state in the
// list's order, and the list follows each host's state.
TEST_F(HostMonitorTest, TheHostListTellsTheWorstHostFirst) {
    HostList list;
    const auto add = [&](const char* name, const char* password) {
        auto added = std::make_unique<HostMonitor>(questions, &clock);
        added->SetEntry({.name = name, .address = service.host(), .password = password});
        return list.At(list.Add(std::move(added)));
    };
    HostMonitor* alpha = add("alpha", "kavo");
    add("gamma", "kavo");
    HostMonitor* beta = add("beta", "wrong");
    add("delta", "kavo");
    QSignalSpy worst(&list, &HostList::WorstChanged);
    QSignalSpy rows(&list, &HostList::dataChanged);
    beta->Connect();
    Settle(*beta);
    alpha->Connect();
    Settle(*alpha);
    EXPECT_EQ(list.Worst(), HostState::PasswordRefused);
    EXPECT_EQ(worst.count(), 1);
    EXPECT_GE(rows.count(), 2);
    EXPECT_EQ(list.TooltipLines(), QStringList({"beta: Password refused", "gamma: Not connected",
                                                "delta: Not connected", "alpha: Ready"}));
    EXPECT_EQ(list.index(0).data(Qt::AccessibleTextRole), QStringLiteral("alpha, Ready"));
    EXPECT_EQ(list.index(2).data(HostList::StateRole),
              static_cast<int>(HostState::PasswordRefused));
    list.Move(2, 0);
    EXPECT_EQ(list.index(0).data(), QStringLiteral("beta"));
    EXPECT_EQ(list.index(1).data(), QStringLiteral("alpha"));
    list.Remove(0);
    EXPECT_EQ(list.Worst(), HostState::NotConnected);
    EXPECT_EQ(worst.count(), 2);
}

// Without boxes, what a host does on its own becomes a warning popup and a line of
// its event history; the user's own connect still shows its box.
class DriverlessHostTest : public HostMonitorTest {
  protected:
    DriverlessHostTest() : HostMonitorTest(sim::Scenario{}) {}
};

TEST_F(DriverlessHostTest, WithoutBoxesTheHostsOwnMessagesBecomePopups) {
    struct Case {
        bool automatic;
        bool boxesAllowed;
        bool box;
    };
    const std::string text = LoadString(ids::kDriverNotFound);
    for (const Case c :
         {Case{true, true, true}, Case{true, false, false}, Case{false, false, true}}) {
        questions.clear();
        monitor.SetBoxesAllowed(c.boxesAllowed);
        QSignalSpy popups(&monitor, &HostMonitor::PopupRequested);
        const QMetaObject::Connection due =
            QObject::connect(&monitor, &HostMonitor::ReconnectDue, [this] { monitor.Connect(); });
        if (c.automatic) {
            monitor.Session().ArmReconnect(1000);
            Settle();
            clock.Advance(1000);
            Settle();
        } else {
            monitor.Connect();
        }
        Settle();
        QObject::disconnect(due);
        ASSERT_TRUE(monitor.IsConnected()) << c.automatic << c.boxesAllowed;
        EXPECT_EQ(questions.messageTexts().size(), c.box ? 1u : 0u);
        ASSERT_EQ(popups.count(), c.box ? 0 : 1);
        if (!c.box) {
            EXPECT_EQ(popups[0][0].value<std::string>(), text);
            EXPECT_EQ(popups[0][2].toInt(), 255);
            EXPECT_TRUE(monitor.Events().LastLine().endsWith(QString::fromStdString(text)));
        }
        monitor.Disconnect();
        Settle();
    }
}

}  // namespace
}  // namespace veltrix::testing
