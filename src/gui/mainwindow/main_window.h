#pragma once
// The main window: connection and login, the menu, the notification-area icon and the
// window's own timer; what it shows of the host, its body, is HostBody's.
//
// The window shows what its session with the service reports and passes the user's
// requests on to it; the session talks to the service on a thread of its own, so the
// window never waits for a reply. Message boxes and file dialogs go through the
// DialogUi; timers run on the TimeSource the window is built with, so a test drives
// connect, reconnect and hide timers without waiting.

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/about/user_guide_command.h"
#include "gui/bios/bios_update_command.h"
#include "gui/diagram/diagram_state.h"
#include "gui/errorlog/error_log_command.h"
#include "gui/events/events_command.h"
#include "gui/hosts/hosts_command.h"
#include "gui/hostview/host_body.h"
#include "gui/mainwindow/main_window_view.h"
#include "gui/mainwindow/own_version.h"
#include "gui/mainwindow/popup_queue.h"
#include "gui/platform/dialog_ui.h"
#include "gui/platform/gui_thread_questions.h"
#include "gui/settings/client_settings.h"
#include "gui/settings/keyring_toggle.h"
#include "gui/settings/startup_toggles.h"
#include "gui/shell/event_journal.h"
#include "gui/shell/tray_presenter.h"
#include "model/file_version_info.h"
#include "model/object_table.h"
#include "model/records.h"
#include "protocol/protocol.h"
#include "session/service_session.h"
#include "session/session_types.h"
#include "watch/host_entry.h"
#include "watch/host_list.h"
#include "watch/host_monitor.h"

namespace veltrix {

class PopupPresenter;

namespace platform {
class Menu;
}
namespace shell {
class EventJournal;
class SleepWatcher;
}  // namespace shell

class MainWindow : public QDialog {
    Q_OBJECT

  public:
    // `diagram` may be null (nothing draws the picture); `time` null runs real timers.
    // The session asks its questions through `questions` on its own thread; without
    // them it asks `ui` on the GUI thread and waits for the answer.
    MainWindow(ClientSettings settings, platform::DialogUi& ui, shell::TrayHost& trayHost,
               TimeSource* time = nullptr, DiagramView* diagram = nullptr,
               QWidget* parent = nullptr, UserQuestions* questions = nullptr);
    ~MainWindow() override;

    // Runs the window's start once (icons, tray icon, timers); done by itself before
    // the window is first shown.
    void Initialize();

    // Before Initialize: whether queued popups are shown as message boxes (tests read
    // the queue instead).
    void SetPopupWindows(bool show) { popupWindows_ = show; }
    // Called first on the Exit path with the settings to keep.
    void SetSettingsWriter(std::function<void(const ClientSettings&)> writer) {
        settingsWriter_ = std::move(writer);
    }
    // Keeps the service password in the desktop's keyring from now on (see
    // KeyringToggle). `service`: the keyring entry's service name.
    void UseKeyring(const QString& service = QString::fromLatin1(password::kKeyringService));
    // Where the lost and regained connection are noted beside the event log (may be
    // null: nowhere); it must outlive the window.
    // Every host's events and connection notes go to `journal` from now on.
    void SetJournal(shell::EventJournal* journal);
    // The Exit path: writes the settings, logs off, removes the icon, ends the window.
    // During a BIOS update run it waits for the run's end and goes ahead then.
    void ExitProgram();
    // A BIOS update run is in progress: nothing may end the session now.
    bool IsFlashRunning() const { return bios_.IsRunning(); }
    // Runs the menu item `menuItemId` as if the user had chosen it.
    void Choose(int menuItemId);
    // Help opens the user guide at `path` through `open` (by default the installed
    // guide, through the desktop).
    void SetUserGuide(QString path, UrlOpener open) {
        userGuidePath_ = std::move(path);
        openUrl_ = std::move(open);
    }

    // Offers a message for a popup: queued when `level` passes the popup level (0 never,
    // 255 always). `hostName`: the host it is about, empty with one host.
    void ReportEvent(const std::string& text, Severity severity, int level,
                     const std::string& hostName = {});
    // A failure outside a dialog: a warning popup whatever the popup level.
    void ReportError(const std::string& text);
    PopupQueue& Popups() { return popups_; }

    // Connection and login.
    void OnConnect();
    void Disconnect();
    void OnPowerEvent(PowerEvent event);

    // The controller picture, for the diagram view to draw into.
    DiagramArea& Diagram() { return *view_.diagram; }
    // The program's own version and its BETA badge.
    OwnVersion& Version() { return ownVersion_; }

    // The menu's error log view (the lines are the monitor's).
    ErrorLogCommand& ErrorLog() { return errorLog_; }
    // The menu's hosts: HostsChanged tells the list the user kept.
    HostsCommand& Hosts() { return hosts_; }
    // The menu's events view of every watched host; the window's own host is in it.
    EventsCommand& Events() { return events_; }

    const ClientSettings& Settings() const { return settings_; }
    // What the window shows of the host: the controllers, lists and rebuild controls.
    HostBody& Body() { return *body_; }
    // The host the window shows, and its session.
    HostMonitor& Monitor() { return *monitor_; }
    // Every watched host in the user's order; the first is the settings' host, whose
    // address and password the fields show while it is shown.
    HostList& WatchedHosts() { return hostList_; }
    // Watches `hosts` (the first is the settings' host) from now on: adds and removes
    // monitors, renames and orders them and gives each its entry; the menu's hosts
    // dialog applies its list through this. Nothing for an empty list.
    void SetHosts(const std::vector<HostEntry>& hosts);
    // Watches the hosts the settings and the keyring keep (before the window shows).
    void WatchKeptHosts();
    // Shows the host of `row` and puts its address and password into the fields.
    void ShowHost(int row);
    // Shows `monitor` from now on: its lists, its connection and what it reports, and
    // nothing more of the one shown before; neither session is told anything.
    void ShowMonitor(HostMonitor& monitor);
    ServiceSession& Session() { return monitor_->Session(); }
    // What the window shows: the monitor's copy of the session's objects.
    const ObjectTable& Table() const { return *monitor_->Table(); }
    bool IsHideTimerSet() const { return tray_.IsHideTimerSet(); }

    // Esc never closes the window; Return presses Connect (the default button).
    void reject() override;
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenu();
    void ConnectControls();

    // What the shown monitor reports.
    void BindMonitor();
    // The shown monitor's state, as a report would have left the window.
    void ShowHostState();
    void OnSessionConnected();
    // The display reset of a logoff, told to the tray and a screen reader.
    void OnSessionDisconnected(bool quiet);
    void ShowConnectButtons(bool connected);

    // Autoconnect's next try: the countdown in the window and the tray tooltip.
    void OnReconnectScheduled(int delayMs);
    void ShowReconnectCountdown(int seconds);
    void HideReconnectCountdown();
    // The icon's tooltip `tip` and the connection's icon, while one host is watched.
    void ShowOneHostTip(const std::string& tip);
    // A lost or regained connection of `monitor`, noted in its event log as `line`: in
    // the journal.
    void NoteConnection(const HostMonitor& monitor, const QString& line, bool lost);
    // A new service password of `monitor`, kept where its host's password is.
    void KeepPassword(HostMonitor& monitor, const std::string& password, bool sent);
    // The host's events go to the journal, named while several hosts are watched.
    void JournalHost(HostMonitor& monitor);
    // The window's close button: disconnects, removes the icon, takes the Exit path.
    void CloseFromSystem();

    // A new watched host: its monitor, and what of it reaches the window shown or not.
    HostMonitor& AddHost(const HostEntry& entry);
    void WireHost(HostMonitor& monitor);
    // Takes the hosts that `hosts` no longer holds out and pairs the others with their
    // entries: the same address first, then in order.
    std::vector<HostMonitor*> MatchHosts(const std::vector<HostEntry>& hosts);
    // The first host's entry as the fields and settings hold it.
    HostEntry FirstEntry() const;
    bool SeveralHosts() const { return hostList_.Count() >= 2; }
    // The name a message of `monitor` carries: empty with one host.
    std::string HostNameOf(const HostMonitor& monitor) const;
    // What changes with the number of hosts: the list beside the body, the boxes, the
    // notification area.
    void ShowHostCount();
    void ShowHostsInTray();
    // A further host's password from the keyring when its entry has none yet.
    void FillPassword(HostMonitor& monitor);
    // Autoconnect's first try of a further host, once the window runs.
    void ArmFurtherHost(HostMonitor& monitor);
    // Logs off every host at once, within the Exit path's bound.
    void ShutdownHosts();

    ClientSettings settings_;
    platform::DialogUi& ui_;
    TimeSource* time_;
    std::unique_ptr<TimeSource> ownTime_;
    // The icon and the window's side of it; after the time source its timer runs on.
    shell::TrayPresenter tray_;
    shell::SleepWatcher* sleep_ = nullptr;
    shell::EventJournal* journal_ = nullptr;
    std::map<const HostMonitor*, std::shared_ptr<shell::JournalHostName>> journalNames_;
    platform::GuiThreadQuestions guiQuestions_;
    // Where the sessions ask their questions and the time their monitors run on.
    UserQuestions& questions_;
    TimeSource* monitorTime_;
    // The watched hosts, the settings' host first; their sessions' threads end in the
    // destructor, before the window's parts after them go.
    HostList hostList_;
    // The host shown; every connection to it has `binding_` as its context.
    HostMonitor* monitor_;
    QObject* binding_ = nullptr;
    MainWindowView view_;
    std::unique_ptr<HostBody> body_;
    std::unique_ptr<platform::Menu> menu_;
    PopupQueue popups_;
    OwnVersion ownVersion_{view_.betaBadge};
    bool popupWindows_ = true;
    bool initialized_ = false;
    std::unique_ptr<PopupPresenter> popupPresenter_;
    std::function<void(const ClientSettings&)> settingsWriter_;
    // The menu's commands that keep something between two choices.
    KeyringToggle keyring_{settings_, ui_, settingsWriter_};
    ErrorLogCommand errorLog_{*monitor_, this};
    EventsCommand events_{this};
    BiosUpdateCommand bios_{ui_, this};
    StartupToggles* toggles_ = nullptr;
    QString userGuidePath_ = InstalledUserGuidePath();
    UrlOpener openUrl_ = DesktopUrlOpener();
    HostsCommand hosts_{[this] { return keyring_.KeptHosts(); },
                        [this](const std::vector<HostEntry>& hosts) { keyring_.KeepHosts(hosts); },
                        ui_, this};
};

}  // namespace veltrix
