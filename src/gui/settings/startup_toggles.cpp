#include "gui/settings/startup_toggles.h"

#include <QAction>
#include <QCoreApplication>

#include "gui/platform/menu.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/autostart_entry.h"
#include "watch/host_monitor.h"

namespace veltrix {

namespace {

AutostartEntry StartAtLogin() {
    return AutostartEntry(AutostartEntry::DefaultFolder(), QCoreApplication::applicationFilePath());
}

}  // namespace

StartupToggles::StartupToggles(ClientSettings& settings, platform::Menu& menu,
                               std::function<HostMonitor&()> monitor,
                               std::function<void(const std::string&)> reportError, QObject* parent)
    : QObject(parent),
      settings_(settings),
      menu_(menu),
      monitor_(std::move(monitor)),
      reportError_(std::move(reportError)) {
    connect(menu_.Action(menu_id::kAutoconnect), &QAction::triggered, this,
            &StartupToggles::ToggleAutoconnect);
    connect(menu_.Action(menu_id::kStartMinimized), &QAction::triggered, this,
            &StartupToggles::ToggleStartMinimized);
    connect(menu_.Action(menu_id::kStartAtLogin), &QAction::triggered, this,
            &StartupToggles::ToggleStartAtLogin);
}

void StartupToggles::ShowChecks() {
    if (settings_.autoConnect) {
        menu_.CheckItem(menu_id::kAutoconnect, true);
    }
    menu_.CheckItem(menu_id::kStartAtLogin, StartAtLogin().IsEnabled());
    if (settings_.startMinimized) {
        menu_.CheckItem(menu_id::kStartMinimized, true);
    }
}

void StartupToggles::ToggleAutoconnect() {
    settings_.autoConnect = !settings_.autoConnect;
    menu_.CheckItem(menu_id::kAutoconnect, settings_.autoConnect);
    monitor_().Session().SetAutoConnect(settings_.autoConnect);
}

void StartupToggles::ToggleStartMinimized() {
    settings_.startMinimized = !settings_.startMinimized;
    menu_.CheckItem(menu_id::kStartMinimized, settings_.startMinimized);
}

void StartupToggles::ToggleStartAtLogin() {
    const AutostartEntry entry = StartAtLogin();
    const bool enable = !entry.IsEnabled();
    QString error;
    if (!entry.SetEnabled(enable, &error)) {
        reportError_(
            //% "The login start could not be changed:\n%1\n%2"
            qtTrId("main.the-login-start-could-not-be-changed")
                .arg(entry.Path(), error)
                .toStdString());
    }
    menu_.CheckItem(menu_id::kStartAtLogin, entry.IsEnabled());
}

}  // namespace veltrix
