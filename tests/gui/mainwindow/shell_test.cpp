// The main window's shell: start options, minimising to the notification area, the
// icon's clicks, the menu toggles, Help and the ways out.

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include "gui/resources/main_window_ids.h"
#include "gui/settings/autostart_entry.h"
#include "support/main_window_fixture.h"
#include "support/temp_folder.h"

namespace veltrix::testing {
namespace {

using namespace std::chrono_literals;

struct TrayCase {
    bool trayAvailable;
    bool hiddenAfterwards;
    bool minimizedAfterwards;
};

class StartMinimizedTest : public MainWindowTest, public ::testing::WithParamInterface<TrayCase> {};

// Hidden only where a notification area can bring the window back.
TEST_P(StartMinimizedTest, HidesOrMinimisesAfter200Ms) {
    const TrayCase& c = GetParam();
    tray.available = c.trayAvailable;
    ClientSettings settings = QuietSettings();
    settings.startMinimized = true;
    settings.autoConnect = true;
    Start(sim::TwoControllerScenario(), Transport::Local, settings);
    window().show();
    EXPECT_TRUE(driver().IsMenuItemChecked(menu_id::kStartMinimized));

    clock.Advance(199);
    EXPECT_TRUE(window().isVisible());
    clock.Advance(1);
    EXPECT_EQ(!window().isVisible(), c.hiddenAfterwards);
    EXPECT_EQ(window().isMinimized(), c.minimizedAfterwards);

    // The login balloon comes on a fresh icon although no window may be visible.
    tray.calls.clear();
    clock.Advance(2800);
    ASSERT_TRUE(window().Monitor().IsConnected());
    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[0].op, shell::NotifyOp::Delete);
    EXPECT_EQ(tray.calls[1].op, shell::NotifyOp::Add);
    EXPECT_EQ(tray.calls[1].record.iconId, icon_id::kConnected);
    EXPECT_EQ(tray.calls[1].record.balloonText, "Connection established.");
    window().hide();
}

INSTANTIATE_TEST_SUITE_P(Trays, StartMinimizedTest,
                         ::testing::Values(TrayCase{true, true, false},
                                           TrayCase{false, false, true}));

TEST_F(MainWindowTest, MinimiseGoesToTheTrayAndAClickBringsTheWindowBack) {
    tray.available = true;
    Start(sim::TwoControllerScenario());
    window().show();
    window().showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window().isVisible());

    ASSERT_TRUE(tray.onActivated);
    tray.onActivated(QSystemTrayIcon::DoubleClick);  // not handled
    EXPECT_FALSE(window().isVisible());
    tray.onActivated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window().isVisible());
    tray.onActivated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(window().isVisible());
}

TEST_F(MainWindowTest, MenuTogglesChangeOnlyTheSettingsInMemory) {
    Start(sim::TwoControllerScenario());
    const ClientSettings before = window().Settings();
    ASSERT_TRUE(driver().UserChoose(menu_id::kStartMinimized));
    EXPECT_TRUE(window().Settings().startMinimized);
    EXPECT_TRUE(driver().IsMenuItemChecked(menu_id::kStartMinimized));
    EXPECT_FALSE(window().IsHideTimerSet());
    ASSERT_TRUE(driver().UserChoose(menu_id::kStartMinimized));
    ASSERT_TRUE(driver().UserChoose(menu_id::kAutoconnect));
    EXPECT_TRUE(window().Settings().autoConnect);
    EXPECT_FALSE(session().IsTimerSet(SessionTimer::Reconnect));
    ASSERT_TRUE(driver().UserChoose(menu_id::kAutoconnect));
    EXPECT_EQ(window().Settings(), before);
}

struct GuideCase {
    bool installed;
    bool opens;     // whether the desktop has a viewer for it
    bool reported;  // a message names the path
};

// Help opens the user guide through the desktop, or names the file it looked for.
TEST_F(MainWindowTest, HelpOpensTheInstalledGuide) {
    Start(sim::TwoControllerScenario());
    EXPECT_TRUE(driver().IsMenuItemEnabled(menu_id::kHelp));
    const TempFolder folder;
    const std::string path = folder.file("user-guide.md");
    const QString guide = QString::fromStdString(path);
    for (const GuideCase c : {GuideCase{false, true, true}, GuideCase{true, false, true},
                              GuideCase{true, true, false}}) {
        SCOPED_TRACE(::testing::Message() << "installed " << c.installed << " opens " << c.opens);
        if (c.installed) {
            WriteFile(path, {'#'});
        }
        QUrl asked;
        ui.clear();
        window().SetUserGuide(guide, [&](const QUrl& url) {
            asked = url;
            return c.opens;
        });
        ASSERT_TRUE(driver().UserChoose(menu_id::kHelp));
        EXPECT_EQ(asked, c.installed ? QUrl::fromLocalFile(guide) : QUrl());
        const std::vector<std::string> said = ui.messageTexts();
        EXPECT_EQ(said.size() == 1 && said[0].find(path) != std::string::npos, c.reported)
            << ::testing::PrintToString(said);
    }
}

// The menu item writes an autostart entry the desktop accepts (desktop-file-validate),
// also for a program path that needs quoting, and removes it again.
TEST_F(MainWindowTest, StartAtLoginWritesAndRemovesTheAutostartEntry) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    Start(sim::TwoControllerScenario());
    const QString entry =
        config.filePath(QStringLiteral("autostart/com.kavotronik.Veltrix.desktop"));
    EXPECT_FALSE(driver().IsMenuItemChecked(menu_id::kStartAtLogin));
    ASSERT_TRUE(driver().UserChoose(menu_id::kStartAtLogin));
    EXPECT_TRUE(driver().IsMenuItemChecked(menu_id::kStartAtLogin));
    ASSERT_TRUE(QFileInfo::exists(entry));
    for (const char* program : {"", "/opt/RAID tools/Veltrix"}) {
        if (*program != '\0') {
            ASSERT_TRUE(AutostartEntry(config.filePath("autostart"), program).SetEnabled(true));
        }
        QProcess validate;
        validate.start(QStringLiteral("desktop-file-validate"), {entry});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << program << validate.readAll().toStdString();
        QSettings read(entry, QSettings::IniFormat);
        EXPECT_TRUE(
            read.value("Desktop Entry/Exec")
                .toString()
                .contains(*program != '\0' ? QFileInfo(program).fileName().left(1) : QString()));
    }
    ASSERT_TRUE(driver().UserChoose(menu_id::kStartAtLogin));
    EXPECT_FALSE(driver().IsMenuItemChecked(menu_id::kStartAtLogin));
    EXPECT_FALSE(QFileInfo::exists(entry));
    qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(MainWindowTest, ServiceDialogsNeedAConnection) {
    Start(sim::TwoControllerScenario());
    for (const int id : {menu_id::kEmail, menu_id::kLogFile, menu_id::kPassword}) {
        ui.clear();
        ASSERT_TRUE(driver().UserChoose(id));
        EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Hostsystem not connected."}) << id;
    }
}

struct ExitCase {
    const char* name;
    void (*leave)(MainWindow&);
};

class ExitTest : public MainWindowTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitTest, LogsOffRemovesTheIconAndEnds) {
    Start(sim::TwoControllerScenario());
    Connect();
    window().show();
    tray.calls.clear();
    GetParam().leave(window());

    EXPECT_TRUE(sim().WaitForCode(LOGOFF, 5s).has_value());
    EXPECT_FALSE(session().Link().pipe.IsOpen());
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(window().result(), QDialog::Accepted);
    ASSERT_FALSE(tray.calls.empty());
    EXPECT_EQ(tray.calls.back().op, shell::NotifyOp::Delete);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ExitTest,
    ::testing::Values(
        ExitCase{"Menu", [](MainWindow& w) { WindowDriver(w).UserChoose(menu_id::kExit); }},
        ExitCase{"CloseBox", [](MainWindow& w) { w.close(); }},
        ExitCase{"HiddenEndeButton",
                 [](MainWindow& w) {
                     platform::FindControl<QPushButton>(w, control_id::kEnde)->click();
                 }}),
    [](const ::testing::TestParamInfo<ExitCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix::testing
