// The window watching several hosts: the list beside the body, the host it shows,
// the popups of the hosts it does not show and the Exit path's logoff of them all.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>
#include <chrono>

#include "gui/platform/control_id.h"
#include "gui/platform/qt_user_interface.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/service_password_dialog.h"
#include "gui/shell/event_journal.h"
#include "support/main_window_fixture.h"

namespace veltrix::testing {
namespace {

using namespace control_id;

// A service with only the first of the two controllers.
sim::Scenario OneControllerScenario() {
    sim::Scenario scenario = sim::TwoControllerScenario();
    scenario.controllers.resize(1);
    return scenario;
}

class HostsWindowTest : public MainWindowTest {
  protected:
    QAbstractItemModel& hostRows() {
        return *platform::FindControl<QAbstractItemView>(window(), kHostList)->model();
    }
    QString stateLine(int row) {
        return hostRows().index(row, 0).data(HostList::StateLineRole).toString();
    }
    // Shows the host of `row` from the list and connects it through the fields.
    void ConnectRow(int row) {
        ASSERT_TRUE(driver().UserSelectRow(kHostList, row));
        ASSERT_TRUE(Click(kConnect));
        ASSERT_TRUE(window().Monitor().IsConnected())
            << ::testing::PrintToString(ui.messageTexts());
    }
};

TEST_F(HostsWindowTest, TheListIsBesideTheBodyOnlyWithSeveralHosts) {
    struct Case {
        std::size_t further;
        bool shown;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{2, true}}) {
        SCOPED_TRACE(c.further);
        Start(sim::TwoControllerScenario());
        WatchFurtherHosts(std::vector<sim::Scenario>(c.further, OneControllerScenario()));
        EXPECT_EQ(driver().IsItemShown(kHostList), c.shown);
        EXPECT_EQ(driver().RowCount(kHostList), static_cast<int>(c.further + 1));
        TearDown();
    }
}

TEST_F(HostsWindowTest, EachRowTellsItsHostsStateAndAScreenReaderHearsBoth) {
    Start(sim::TwoControllerScenario());
    WatchFurtherHosts({OneControllerScenario()});
    ConnectRow(1);
    EXPECT_EQ(driver().Rows(kHostList), (std::vector<std::string>{"Here", "Host 2"}));
    EXPECT_EQ(stateLine(0), "Not connected");
    EXPECT_EQ(stateLine(1), "Ready");
    EXPECT_EQ(hostRows().index(1, 0).data(Qt::AccessibleTextRole).toString(), "Host 2, Ready");
}

TEST_F(HostsWindowTest, ChoosingARowShowsThatHostAndItsAddressAlone) {
    Start(sim::TwoControllerScenario());
    Connect();
    WatchFurtherHosts({OneControllerScenario()});
    EXPECT_EQ(driver().TabCount(kControllerTabs), 2);
    const std::size_t firstCodes = receivedCodes().size();

    ConnectRow(1);
    EXPECT_EQ(&window().Monitor(), window().WatchedHosts().At(1));
    EXPECT_EQ(driver().ItemText(kHost), window().Monitor().Entry().address);
    EXPECT_EQ(driver().TabCount(kControllerTabs), 1);
    EXPECT_EQ(receivedCodes().size(), firstCodes) << "the first host was asked nothing";

    // Back to the first, still connected, with its controllers and its address.
    ASSERT_TRUE(driver().UserSelectRow(kHostList, 0));
    EXPECT_TRUE(window().Monitor().IsConnected());
    EXPECT_EQ(driver().TabCount(kControllerTabs), 2);
    EXPECT_EQ(driver().ItemText(kHost), host());
}

TEST_F(HostsWindowTest, CtrlAndTheHostsNumberChoosesIt) {
    Start(sim::TwoControllerScenario());
    WatchFurtherHosts({OneControllerScenario(), OneControllerScenario()});
    window().show();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    for (const int row : {2, 0, 1}) {
        QTest::keyClick(&window(), static_cast<Qt::Key>(Qt::Key_1 + row), Qt::ControlModifier);
        Settle();
        EXPECT_EQ(&window().Monitor(), window().WatchedHosts().At(row)) << row;
        EXPECT_EQ(driver().SelectedRow(kHostList), row);
    }
}

TEST_F(HostsWindowTest, APopupOfAHostNotShownNamesIt) {
    ClientSettings settings = QuietSettings();
    settings.popupEnabled = true;
    settings.popupLevel = 0;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    WatchFurtherHosts({OneControllerScenario()});
    ConnectRow(1);
    ASSERT_TRUE(driver().UserSelectRow(kHostList, 0));
    FirstTick();
    TakePopups();

    furtherSim(0).PushEvent({.controller = 0, .code = EVENT_SPARE_ACCESSED});
    Tick();
    const std::vector<PopupEntry> popups = TakePopups();
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(popups.back().hostName, "Host 2");
}

// Every host's events reach the journal, each line named by its host; with one host
// the entries stay as they were, without a name.
TEST_F(HostsWindowTest, EveryHostsEventsReachTheJournalNamedByTheirHost) {
    struct Journal : shell::EventJournal {
        void Send(const shell::JournalEntry& entry) override {
            const std::lock_guard lock(mutex);
            hosts.push_back(entry.host);
        }
        std::mutex mutex;
        std::vector<std::string> hosts;
    } journal;
    Start(sim::TwoControllerScenario());
    window().SetJournal(&journal);
    Connect();
    sim().PushEvent({.controller = 0, .code = EVENT_SPARE_ACCESSED});
    FirstTick();
    WatchFurtherHosts({OneControllerScenario()});
    ConnectRow(1);
    furtherSim(0).PushEvent({.controller = 0, .code = EVENT_SPARE_ACCESSED});
    sim().PushEvent({.controller = 1, .code = EVENT_SPARE_ACCESSED});
    Tick();
    window().ExitProgram();
    const std::lock_guard lock(journal.mutex);
    std::vector<std::string> named = journal.hosts;
    ASSERT_FALSE(named.empty());
    EXPECT_EQ(named.front(), "") << "one host: the entry as before";
    EXPECT_NE(std::find(named.begin(), named.end(), "Host 2"), named.end());
    EXPECT_NE(std::find(named.begin(), named.end(), "Here"), named.end());
}

// A new service password of the host shown is that host's: the settings' host keeps
// the one it logs in with.
TEST_F(HostsWindowTest, ANewServicePasswordIsTheShownHostsAlone) {
    Start(sim::TwoControllerScenario());
    WatchFurtherHosts({OneControllerScenario()});
    ConnectRow(1);
    const std::string first = window().WatchedHosts().At(0)->Entry().password;
    ui.onModal = [](QDialog& dialog) {
        for (const int id :
             {ServicePasswordDialog::kNewPasswordId, ServicePasswordDialog::kRepeatedPasswordId}) {
            platform::FindControl<QLineEdit>(dialog, id)->setText("neu");
        }
        dialog.accept();
        return static_cast<int>(QDialog::Accepted);
    };
    ASSERT_TRUE(driver().UserChoose(menu_id::kPassword));
    Settle();
    EXPECT_EQ(driver().ItemText(kPassword), "neu");
    EXPECT_EQ(window().Monitor().Entry().password, "neu");
    ASSERT_TRUE(driver().UserSelectRow(kHostList, 0));
    EXPECT_EQ(driver().ItemText(kPassword), first);
}

// With several hosts, a host's own failure is a notification naming it and a line of
// its event history, never a box waiting for an answer.
TEST_F(HostsWindowTest, AHostsOwnFailureIsANotificationAndAnEventLine) {
    Start(sim::TwoControllerScenario());
    WatchFurtherHosts({OneControllerScenario()});
    furtherSim(0).BeginOutage();
    HostMonitor& further = *window().WatchedHosts().At(1);
    TakePopups();
    TakeTrayRecords();
    further.Session().ArmReconnect(1000);
    further.Session().Sync();
    Tick();
    // The try the window starts, and its failure's report.
    for (int step = 0; step < 2; ++step) {
        further.Session().Sync();
        Settle();
    }
    EXPECT_TRUE(TakePopups().empty());
    const std::vector<shell::NotifyRecord> balloons = tray.balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].balloonTitle,
              "Host 2 \u2014 " + platform::QtUserInterface::Title().toStdString());
    EXPECT_FALSE(further.Events().LastLine().isEmpty());
    EXPECT_TRUE(ui.messageTexts().empty());
}

TEST_F(HostsWindowTest, ExitLogsOffEveryHostAtOnce) {
    Start(sim::TwoControllerScenario());
    WatchFurtherHosts({OneControllerScenario()});
    ConnectRow(1);
    ConnectRow(0);
    window().ExitProgram();
    // The services read the logoffs sent within the bound on their own threads.
    EXPECT_TRUE(sim().WaitForCode(LOGOFF, std::chrono::seconds(5)).has_value());
    EXPECT_TRUE(furtherSim(0).WaitForCode(LOGOFF, std::chrono::seconds(5)).has_value());
}

}  // namespace
}  // namespace veltrix::testing
