// The notification-area icon: which records reach the host for each change of state,
// how the texts are cut, and what the icon shows of several hosts.

#include "gui/shell/tray_icon.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "gui/shell/tray_presenter.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix::shell {
namespace {

using Call = std::pair<NotifyOp, NotifyRecord>;

struct RecordingHost : TrayHost {
    void Notify(NotifyOp op, const NotifyRecord& record) override {
        calls.emplace_back(op, record);
    }
    bool IsAvailable() const override { return true; }
    std::vector<Call> calls;
};

Call Shown(NotifyOp op, int id, bool balloon = false) {
    NotifyRecord r;
    r.identifier = id;
    r.flags = kNotifyPlain;
    r.iconId = id;
    r.tip = "Tip";
    if (balloon) {
        r.flags = kNotifyWithBalloon;
        r.balloonText = "Verbunden mit „.“";
        r.timeoutMs = kBalloonTimeoutMs;
        r.balloonTitle = "Title";
        r.balloonSeverity = Severity::Information;
    }
    return {op, r};
}

Call Removed(int id) {
    NotifyRecord r;
    r.identifier = id;
    return {NotifyOp::Delete, r};
}

TEST(TrayIconTest, StateChangesReachTheHostAsRecords) {
    using enum NotifyOp;
    const struct {
        const char* name;
        std::function<void(TrayIcon&)> play;
        std::vector<Call> expected;
    } scenarios[] = {
        {"start", [](TrayIcon& t) { t.AddTrayIcon(false); }, {Shown(Add, 179)}},
        {"connect with balloon",
         [](TrayIcon& t) { t.AddTrayIcon(false), t.UpdateTrayIcon(true, true); },
         {Shown(Add, 179), Removed(179), Shown(Add, 140, true)}},
        {"update in place",
         [](TrayIcon& t) { t.AddTrayIcon(true), t.UpdateTrayIcon(true, false); },
         {Shown(Add, 140), Shown(Modify, 140)}},
        {"disconnect",
         [](TrayIcon& t) { t.AddTrayIcon(true), t.UpdateTrayIcon(false, false); },
         {Shown(Add, 140), Removed(140), Shown(Add, 179)}},
        {"delete twice",
         [](TrayIcon& t) { t.AddTrayIcon(true), t.DeleteTrayIcon(), t.DeleteTrayIcon(); },
         {Shown(Add, 140), Removed(140), Removed(140)}},
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.name);
        RecordingHost host;
        TrayIcon tray(host);
        tray.trayTip = "Tip";
        tray.balloonTitle = "Title";
        tray.balloonText = "Verbunden mit „.“";
        s.play(tray);
        EXPECT_TRUE(host.calls == s.expected);
    }
}

TEST(TrayIconTest, TextsAreCutOnCharacterBoundaries) {
    const std::string a125(125, 'a');
    const struct {
        std::string TrayIcon::*field;
        std::string NotifyRecord::*sent;
        std::string input;
        std::string expected;
    } cases[] = {
        {&TrayIcon::trayTip, &NotifyRecord::tip, std::string(200, 'x'), std::string(127, 'x')},
        {&TrayIcon::trayTip, &NotifyRecord::tip, a125 + "aü", a125 + "a"},
        {&TrayIcon::trayTip, &NotifyRecord::tip, a125 + "ü!", a125 + "ü"},
        {&TrayIcon::trayTip, &NotifyRecord::tip, a125 + "€", a125},
        {&TrayIcon::balloonTitle, &NotifyRecord::balloonTitle, std::string(62, 't') + "Ö",
         std::string(62, 't')},
        {&TrayIcon::balloonText, &NotifyRecord::balloonText, std::string(300, 'b'),
         std::string(255, 'b')},
        {&TrayIcon::balloonText, &NotifyRecord::balloonText, "Größe", "Größe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        RecordingHost host;
        TrayIcon tray(host);
        tray.*c.field = c.input;
        tray.UpdateTrayIcon(false, true);
        ASSERT_EQ(host.calls.size(), 1U);
        EXPECT_EQ(host.calls[0].second.*c.sent, c.expected);
    }
}

// Several hosts: the icon of the worst, and under the program's name one line per host,
// worst first, as many whole lines as the notification area takes.
TEST(TrayPresenterTest, SeveralHostsShowTheWorstAndOneLineEachWorstFirst) {
    QGuiApplication::setApplicationDisplayName("Kavotronik Veltrix");
    const std::vector<HostTipLine> six(6, {"host-x", "Not connected", 4});
    const struct {
        const char* name;
        std::vector<HostTipLine> hosts;
        HostsLevel level;
        int iconId;
        std::string tip;
    } cases[] = {
        {"well",
         {{"a", "Ready", 0}, {"b", "Ready", 0}},
         HostsLevel::Well,
         190,
         "Kavotronik Veltrix\na: Ready\nb: Ready"},
        {"set problem",
         {{"a", "Rebuilding 40 %", 1}, {"b", "Broken", 3}, {"c", "Ready", 0}},
         HostsLevel::SetProblem,
         191,
         "Kavotronik Veltrix\nb: Broken\na: Rebuilding 40 %\nc: Ready"},
        {"unreachable, equal ranks in the given order",
         {{"a", "Reduced", 2},
          {"b", "Not connected", 4},
          {"c", "Password refused", 6},
          {"d", "Not connected", 4}},
         HostsLevel::Unreachable,
         192,
         "Kavotronik Veltrix\nc: Password refused\nb: Not connected\nd: Not connected\n"
         "a: Reduced"},
        {"more than fit", six, HostsLevel::Unreachable, 192,
         "Kavotronik Veltrix\nhost-x: Not connected\nhost-x: Not connected\n"
         "host-x: Not connected\nhost-x: Not connected\n\u2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        QWidget window;
        TrayPresenter presenter(host, window);
        presenter.ShowHosts(c.level, HostTipLines(c.hosts));
        presenter.ShowHosts(c.level, HostTipLines(c.hosts));
        ASSERT_EQ(host.calls.size(), 2U) << "the old entry goes, the new one comes; a repeat "
                                            "is dropped";
        EXPECT_EQ(host.calls[1].first, NotifyOp::Add);
        EXPECT_EQ(host.calls[1].second.iconId, c.iconId);
        EXPECT_EQ(host.calls[1].second.tip, c.tip);
    }
}

// A balloon or connection change names its host when several are watched, and keeps
// their icon and tooltip; with one host it is exactly what it was.
TEST(TrayPresenterTest, BalloonsNameTheirHostOnlyAmongSeveral) {
    QGuiApplication::setApplicationDisplayName("Kavotronik Veltrix");
    const std::string connection = LoadString(ids::kBalloonHostConnection);
    const std::string hostsTip = "Kavotronik Veltrix\nnas: Broken\ndb-1: Ready";
    const struct {
        const char* name;
        bool connection;  // a connection change, else a balloon the monitor asks for
        QString hostName;
        std::string title;
        int iconId;
        std::string tip;
    } cases[] = {
        {"balloon of one host", false, "", "Rebuild", 140, "Tip"},
        {"balloon of one of several", false, "db-1", "db-1 \u2014 Rebuild", 191, hostsTip},
        {"connection of one host", true, "", connection, 140, LoadString(ids::kTipConnected)},
        {"connection of one of several", true, "db-1", "db-1 \u2014 " + connection, 191, hostsTip},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        QWidget window;
        TrayPresenter presenter(host, window);
        presenter.Icon().trayTip = "Tip";
        if (!c.hostName.isEmpty()) {
            presenter.ShowHosts(HostsLevel::SetProblem,
                                HostTipLines({{"db-1", "Ready", 0}, {"nas", "Broken", 3}}));
        }
        if (c.connection) {
            presenter.AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected, true,
                                         c.hostName);
        } else {
            presenter.ShowBalloon("Rebuild", "Done", Severity::Information, true, c.hostName);
        }
        ASSERT_FALSE(host.calls.empty());
        const NotifyRecord& shown = host.calls.back().second;
        EXPECT_EQ(shown.flags, kNotifyWithBalloon);
        EXPECT_EQ(shown.balloonTitle, c.title);
        EXPECT_EQ(shown.iconId, c.iconId);
        EXPECT_EQ(shown.tip, c.tip);
    }
}

}  // namespace
}  // namespace veltrix::shell
