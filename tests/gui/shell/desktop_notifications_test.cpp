// Balloons without a tray become desktop notifications: the calls a notification
// service receives (on a private session bus, from python-dbusmock's notification
// daemon), the default action, and a desktop without a notification service.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <memory>

#include "gui/shell/qt_tray_host.h"
#include "support/private_buses.h"
#include "warning_catcher.h"

namespace veltrix::shell {
namespace {

using testing::DbusMock;

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

NotifyRecord Balloon(const char* title, const char* text,
                     Severity severity = Severity::Information) {
    return {.identifier = 140,
            .flags = kNotifyWithBalloon,
            .iconId = 140,
            .tip = "Kavotronik Veltrix",
            .balloonText = text,
            .timeoutMs = kBalloonTimeoutMs,
            .balloonTitle = title,
            .balloonSeverity = severity};
}

// What one Notify call carried.
struct Notified {
    QString app;
    uint replaces = 0;
    QString title;
    QString body;
    int urgency = -1;
    bool hasImage = false;
    QStringList actions;
    int timeout = 0;
};

class DesktopNotificationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string whyNot;
        if (testing::PrivateBuses::Get(whyNot) == nullptr) {
            GTEST_SKIP() << whyNot;
        }
        if (WithService()) {
            daemon_ = std::make_unique<DbusMock>("notification_daemon", false, kService, kPath);
            ASSERT_TRUE(daemon_->ready()) << "python3-dbusmock's notification daemon";
        }
        host_ = std::make_unique<QtTrayHost>();
        NotifyRecord icon = Balloon("", "");
        icon.flags = kNotifyPlain;
        host_->Notify(NotifyOp::Add, icon);  // the icon, waiting for a tray
    }
    virtual bool WithService() const { return true; }

    // The Notify calls the service has received, once there are `count` (`boundMs` at
    // most).
    std::vector<Notified> Notifies(std::size_t count, int boundMs = 5000) const {
        std::vector<Notified> out;
        const QDeadlineTimer deadline(boundMs);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents();
            out.clear();
            for (const DbusMock::Call& call : daemon_->Calls()) {
                if (call.method != QLatin1String("Notify") || call.args.size() != 8) {
                    continue;
                }
                const QVariantMap hints = call.args[6].toMap();
                out.push_back({call.args[0].toString(), call.args[1].toUInt(),
                               call.args[3].toString(), call.args[4].toString(),
                               hints.contains(QStringLiteral("urgency"))
                                   ? hints.value(QStringLiteral("urgency")).toInt()
                                   : -1,
                               hints.contains(QStringLiteral("image-data")),
                               call.args[5].toStringList(), call.args[7].toInt()});
            }
            if (out.size() >= count) {
                break;
            }
            QThread::msleep(10);
        }
        return out;
    }

    std::unique_ptr<DbusMock> daemon_;
    std::unique_ptr<QtTrayHost> host_;
};

// Each balloon a notification with the program's name and icon; the rebuild's steps,
// under one title, replace the notification of that title; an error is critical, and
// the service's markup never reads the text.
TEST_F(DesktopNotificationsTest, BalloonsBecomeNotificationsAndStepsReplaceTheirOwn) {
    const struct {
        NotifyRecord balloon;
        uint replaces;
        const char* body;
        int urgency;
    } steps[] = {
        {Balloon("Hostconnection:", "Connection established."), 0, "Connection established.", 1},
        {Balloon("Rebuildprogress:", "Controller No.0  5%"), 0, "Controller No.0  5%", 1},
        {Balloon("Rebuildprogress:", "Controller No.0  10%"), 2, "Controller No.0  10%", 1},
        {Balloon("Event", "Set <1> & \"2\"\nRAID is broken.", Severity::Error), 0,
         "Set &lt;1&gt; &amp; &quot;2&quot;\nRAID is broken.", 2},
        {Balloon("Rebuildprogress:", "Controller No.0  15%"), 2, "Controller No.0  15%", 1},
        {Balloon("Hostconnection:", "disconnected."), 1, "disconnected.", 1},
    };
    std::size_t count = 0;
    for (const auto& step : steps) {
        host_->Notify(NotifyOp::Modify, step.balloon);
        const std::vector<Notified> sent = Notifies(++count);
        ASSERT_EQ(sent.size(), count) << step.balloon.balloonText;
        const Notified& last = sent.back();
        SCOPED_TRACE(step.balloon.balloonText);
        EXPECT_EQ(last.app, QStringLiteral("Veltrix Test"));
        EXPECT_TRUE(last.hasImage) << "the program's icon";
        EXPECT_EQ(last.title.toStdString(), step.balloon.balloonTitle);
        EXPECT_EQ(last.body.toStdString(), step.body);
        EXPECT_EQ(last.replaces, step.replaces);
        EXPECT_EQ(last.urgency, step.urgency);
        EXPECT_EQ(last.timeout, 10000);
        EXPECT_EQ(last.actions.value(0), QStringLiteral("default"));
    }
    EXPECT_FALSE(host_->IsAvailable()) << "offscreen: no tray";
}

// Steps that come faster than the service answers: the first is shown, the latest
// replaces it, the ones between are not sent at all.
TEST_F(DesktopNotificationsTest, StepsFasterThanTheServiceReplaceTheFirst) {
    for (const char* text : {"5%", "10%", "15%", "20%"}) {
        host_->Notify(NotifyOp::Modify, Balloon("Rebuildprogress:", text));
    }
    const std::vector<Notified> sent = Notifies(2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].body, QStringLiteral("5%"));
    EXPECT_EQ(sent[0].replaces, 0u);
    EXPECT_EQ(sent[1].body, QStringLiteral("20%"));
    EXPECT_EQ(sent[1].replaces, 1u);
    EXPECT_EQ(Notifies(3, 200).size(), 2u) << "nothing after the latest";
}

// A click on the program's notification shows the window; other actions, and other
// programs' notifications, do nothing; a closed notification is not replaced.
TEST_F(DesktopNotificationsTest, DefaultActionOfOwnNotificationShowsTheWindow) {
    int shown = 0;
    host_->onNotificationActivated = [&shown] { ++shown; };
    host_->Notify(NotifyOp::Modify, Balloon("Hostconnection:", "Connection established."));
    ASSERT_EQ(Notifies(1).size(), 1u);  // id 1
    const QString notifications = kService;
    const struct {
        uint id;
        const char* action;
        int shown;
    } clicks[] = {{7, "default", 0}, {1, "other", 0}, {1, "default", 1}};
    for (const auto& click : clicks) {
        ASSERT_TRUE(daemon_->EmitSignal(notifications, QStringLiteral("ActionInvoked"),
                                        QStringLiteral("us"),
                                        {click.id, QString::fromLatin1(click.action)}));
        // Waits for the click to arrive, or a while for one that must change nothing.
        const int before = shown;
        const QDeadlineTimer deadline(click.shown > before ? 5000 : 200);
        while (shown == before && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        EXPECT_EQ(shown, click.shown) << click.id << " " << click.action;
    }

    ASSERT_TRUE(daemon_->EmitSignal(notifications, QStringLiteral("NotificationClosed"),
                                    QStringLiteral("uu"), {1u, 2u}));
    QCoreApplication::processEvents();
    QThread::msleep(100);
    QCoreApplication::processEvents();
    host_->Notify(NotifyOp::Modify, Balloon("Hostconnection:", "disconnected."));
    const std::vector<Notified> sent = Notifies(2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].replaces, 0u) << "a new notification";
}

class NoNotificationServiceTest : public DesktopNotificationsTest {
  protected:
    bool WithService() const override { return false; }
};

// A desktop with neither a tray nor a notification service: balloons are dropped
// without a warning and the program runs on.
TEST_F(NoNotificationServiceTest, BalloonsAreDroppedQuietly) {
    ::veltrix::testing::WarningCatcher warnings;
    for (const char* text : {"5%", "10%"}) {
        host_->Notify(NotifyOp::Modify, Balloon("Rebuildprogress:", text));
    }
    const QDeadlineTimer deadline(300);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_TRUE(host_->IsShown());
    EXPECT_TRUE(warnings.Caught().empty()) << warnings.Caught().front();
}

}  // namespace
}  // namespace veltrix::shell
