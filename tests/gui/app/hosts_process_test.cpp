// The Veltrix program as a process watching three hosts on a private desktop with a
// notification area, a notification service and a screen reader: a healthy host on
// the local pipe, one whose mirror is rebuilding on TCP, and one on TCP that takes the
// login and never answers. The host list's rows and the icon's tooltip tell each
// host's state, the tooltip the worst first; the rebuild's end is told with its host's
// name; the silent host holds up nobody's polls; SIGTERM logs off the hosts that are
// logged in.

#include <signal.h>

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/protocol.h"
#include "servicesim/scenario.h"
#include "servicesim/service_sim.h"
#include "support/private_buses.h"
#include "support/veltrix_process.h"

namespace veltrix {
namespace {

using namespace std::chrono_literals;
using testing::DbusMock;
using testing::WaitUntil;

// The longest time between two requests with `code` at `service`, and how many came.
std::pair<std::uint64_t, std::size_t> LongestGap(const sim::ServiceSim& service,
                                                 std::uint32_t code) {
    std::uint64_t longest = 0;
    std::optional<std::uint64_t> last;
    std::size_t count = 0;
    for (const sim::TranscriptEntry& entry : service.Transcript()) {
        if (!entry.login && entry.code == code) {
            longest = std::max(longest, last ? entry.timeMs - *last : 0);
            last = entry.timeMs;
            ++count;
        }
    }
    return {longest, count};
}

// Whether the notification service has had a Notify call whose summary is `summary`
// and whose body contains `body`.
bool Notified(const DbusMock& daemon, const QString& summary, const QString& body) {
    for (const DbusMock::Call& call : daemon.Calls()) {
        if (call.method == QLatin1String("Notify") && call.args.size() == 8 &&
            call.args[3].toString() == summary && call.args[4].toString().contains(body)) {
            return true;
        }
    }
    return false;
}

TEST(HostsProcessTest, ListsTheHostsWorstFirstAndLogsOffTheLiveOnes) {
    std::string whyNot;
    const testing::PrivateBuses* buses = testing::PrivateBuses::Get(whyNot);
    ASSERT_NE(buses, nullptr) << whyNot;
    const testing::PrivateDisplay display;
    ASSERT_FALSE(display.name().isEmpty()) << "Xvfb did not start (Debian package xvfb)";
    const DbusMock watcher(VELTRIX_TEST_SUPPORT_DIR "/status_notifier_watcher.py", false,
                           QStringLiteral("org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"));
    ASSERT_TRUE(watcher.ready()) << "the notification area's watcher";
    const DbusMock daemon("notification_daemon", false,
                          QStringLiteral("org.freedesktop.Notifications"),
                          QStringLiteral("/org/freedesktop/Notifications"));
    ASSERT_TRUE(daemon.ready()) << "python3-dbusmock's notification daemon";

    // A screen reader reads the host list's rows where at-spi2-core is installed.
    std::optional<testing::AccessibilityBus> atspi;
    if (testing::AccessibilityBus::Available()) {
        atspi.emplace(buses->sessionAddress, display.name());
    }

    testing::ProgramRun run(sim::LoadScenario(VELTRIX_SCENARIO_DIR "/healthy.json"),
                            "ServerName=web-1\n");
    // The rebuild stands at half way until the test moves the service's clock past its
    // end, however slowly the program comes up.
    sim::ServiceSimOptions stopped;
    stopped.manualClock = true;
    sim::ServiceSim& rebuilding = run.AddTcpHost(
        "db-2", sim::LoadScenario(VELTRIX_SCENARIO_DIR "/rebuilding-mirror.json"), stopped);
    sim::ServiceSim& silent =
        run.AddTcpHost("backup-3", sim::LoadScenario(VELTRIX_SCENARIO_DIR "/silent.json"));
    run.OnDesktop(display.name(), buses->sessionAddress);
    run.SetEnvironment("XDG_CURRENT_DESKTOP", QString());
    run.SetEnvironment("QT_QPA_PLATFORMTHEME", QString());
    run.SetEnvironment("LANGUAGE", QStringLiteral("en"));
    run.SetEnvironment("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", QStringLiteral("1"));
    ASSERT_TRUE(run.Launch().waitForStarted(20000));
    const auto output = [&run] { return run.process().readAll().toStdString(); };

    // While a balloon is up (10 s) the notification area shows its title as the
    // tooltip; after it the hosts' lines again.
    QString tip;
    const auto tipMatches = [&](const char* pattern) {
        return WaitUntil(
            [&] {
                tip = testing::ItemToolTip(watcher, testing::RegisteredItem(watcher));
                return QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                    .match(tip)
                    .hasMatch();
            },
            30s);
    };
    // Every host's row, the silent one (never logged in) worst, the rebuild next.
    EXPECT_TRUE(
        tipMatches("Kavotronik Veltrix\nbackup-3: (Not connected|Reconnecting in \\d+ s)\n"
                   "db-2: Rebuild 50 %\nweb-1: Ready"))
        << tip.toStdString() << output();
    ASSERT_TRUE(silent.WaitForEntries(1, 5s)) << "the silent host's login";
    if (atspi) {
        QProcess reader;
        reader.setProcessEnvironment(atspi->desktop());
        reader.setProcessChannelMode(QProcess::MergedChannels);
        reader.start(QStringLiteral(VELTRIX_APP_TEST_DIR "/read_by_names.py"),
                     {"--rows", "Hosts", "3"});
        ASSERT_TRUE(reader.waitForFinished(60000));
        const QString rows = QString::fromUtf8(reader.readAll());
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(
                                           "web-1, Ready\ndb-2, Rebuild 50 %\nbackup-3, "
                                           "(Not connected|Reconnecting in \\d+ s)\n"))
                        .match(rows)
                        .hasMatch())
            << rows.toStdString();
    }

    rebuilding.AdvanceClock(120s);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Notified(daemon, QStringLiteral("db-2 \u2014 Rebuildprogress:"),
                            QStringLiteral("completed 100"));
        },
        20s))
        << output();
    // Both ready now: in the list's order after the silent host.
    EXPECT_TRUE(
        tipMatches("Kavotronik Veltrix\nbackup-3: (Not connected|Reconnecting in \\d+ s)\n"
                   "web-1: Ready\ndb-2: Ready"))
        << tip.toStdString();

    // The healthy host polls every 5 s while the silent host's login waits.
    const std::size_t polls = run.Requests(GET_CHANGE_FLAG);
    EXPECT_TRUE(WaitUntil([&] { return run.Requests(GET_CHANGE_FLAG) >= polls + 2; }, 15s));
    const auto [longest, count] = LongestGap(run.service(), GET_CHANGE_FLAG);
    EXPECT_GE(count, 3u);
    EXPECT_LE(longest, 7000u);

    run.Signal(SIGTERM);
    ASSERT_TRUE(run.process().waitForFinished(20000)) << output();
    const std::string ending = output();
    EXPECT_EQ(run.process().exitStatus(), QProcess::NormalExit) << ending;
    EXPECT_EQ(run.process().exitCode(), 0) << ending;
    EXPECT_TRUE(run.service().WaitForCode(LOGOFF, 5s).has_value());
    EXPECT_TRUE(rebuilding.WaitForCode(LOGOFF, 5s).has_value());
}

}  // namespace
}  // namespace veltrix
