// The Qt notification-area host on a desktop without a tray: it keeps what it would
// show, answers a left click only, and stays quiet.

#include "gui/shell/qt_tray_host.h"

#include <gtest/gtest.h>

#include "warning_catcher.h"

namespace veltrix::shell {
namespace {

NotifyRecord Record(int id, NotifyParts flags = {}, const char* tip = "") {
    return {.identifier = id,
            .flags = flags,
            .iconId = id,
            .tip = tip,
            .balloonText = "Größe 2 TB",
            .timeoutMs = kBalloonTimeoutMs,
            .balloonTitle = "Veltrix",
            .balloonSeverity = Severity::Information};
}

TEST(QtTrayHostTest, KeepsTooltipAndVisibilityThroughAddModifyDelete) {
    using enum NotifyOp;
    const struct {
        NotifyOp op;
        NotifyRecord record;
        bool shown;
        const char* tip;
    } steps[] = {
        {Add, Record(179, kNotifyPlain, "Nicht verbunden"), true, "Nicht verbunden"},
        {Modify, Record(179, kNotifyPlain, "Prüfe"), true, "Prüfe"},
        {Modify, Record(140, kNotifyPlain, "Fremd"), true, "Prüfe"},
        {Delete, Record(140), true, "Prüfe"},
        {Delete, Record(179), false, "Prüfe"},
        {Delete, Record(179), false, "Prüfe"},
        {Modify, Record(179, kNotifyPlain, "Weg"), false, "Prüfe"},
        {Add, Record(140, kNotifyWithBalloon, "Verbunden"), true, "Verbunden"},
    };
    testing::WarningCatcher warnings;
    QtTrayHost host;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.record.tip);
        host.Notify(step.op, step.record);
        EXPECT_EQ(host.IsShown(), step.shown);
        EXPECT_EQ(host.ToolTip(), QString::fromUtf8(step.tip));
    }
    EXPECT_TRUE(warnings.Caught().empty()) << warnings.Caught().front();
}

TEST(QtTrayHostTest, ActivationsReachTheProgramAsQtReportsThem) {
    for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context,
                              QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
        QtTrayHost host;
        host.Notify(NotifyOp::Add, Record(140, kNotifyPlain));
        host.SimulateActivation(reason);  // without a handler nothing happens
        std::vector<QSystemTrayIcon::ActivationReason> reasons;
        host.onActivated = [&reasons](QSystemTrayIcon::ActivationReason r) {
            reasons.push_back(r);
        };
        host.SimulateActivation(reason);
        EXPECT_EQ(reasons, std::vector{reason});
    }
}

}  // namespace
}  // namespace veltrix::shell
