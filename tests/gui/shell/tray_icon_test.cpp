// The notification-area icon: which records reach the host for each change of state,
// and how the texts are cut.

#include "gui/shell/tray_icon.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace veltrix::shell
