#pragma once
// The main window: connection and login, the controller tabs, the drive and RAID set
// lists with their information group, the rebuild controls, the notification-area
// icon and the window's own timer.
//
// The window shows what its session with the service reports and passes the user's
// requests on to it; the session talks to the service on a thread of its own, so the
// window never waits for a reply. Message boxes and file dialogs go through the
// DialogUi; timers run on the TimeSource the window is built with, so a test drives
// connect, reconnect and hide timers without waiting.

#include <QDialog>
#include <QSystemTrayIcon>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/bios/bios_update_command.h"
#include "gui/diagram/diagram_state.h"
#include "gui/errorlog/error_log_command.h"
#include "gui/mainwindow/info_panels.h"
#include "gui/mainwindow/main_window_view.h"
#include "gui/mainwindow/popup_queue.h"
#include "gui/platform/dialog_ui.h"
#include "gui/platform/gui_thread_questions.h"
#include "gui/platform/heap_release.h"
#include "gui/settings/client_settings.h"
#include "gui/settings/keyring_toggle.h"
#include "gui/shell/tray_icon.h"
#include "model/file_version_info.h"
#include "model/object_table.h"
#include "model/records.h"
#include "protocol/protocol.h"
#include "session/service_session.h"
#include "session/session_types.h"
#include "watch/host_monitor.h"

namespace veltrix {

class Device;
class PopupPresenter;
class RaidSet;

namespace platform {
class Menu;
}
namespace shell {
class EventJournal;
class SleepWatcher;
}  // namespace shell

// What the window shows and selects of the host it shows.
struct MainWindowState {
    std::uint8_t currentController = 0;
    // Selected rows of the two lists; -1 for none.
    int selectedDevice = -1;
    int selectedSet = -1;
    // The drive row selected by the last click, for toggling it off; -1 for none.
    int lastDeviceRow = -1;
    bool diagramActive = false;
};

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
    void SetJournal(shell::EventJournal* journal) { journal_ = journal; }
    // The Exit path: writes the settings, logs off, removes the icon, ends the window.
    // During a BIOS update run it waits for the run's end and goes ahead then.
    void ExitProgram();
    // A BIOS update run is in progress: nothing may end the session now.
    bool IsFlashRunning() const { return bios_.IsRunning(); }
    // Runs the menu item `menuItemId` as if the user had chosen it.
    void Choose(int menuItemId);

    // Offers a message for a popup: queued when `level` passes the popup level (0 never,
    // 255 always).
    void ReportEvent(const std::string& text, Severity severity, int level);
    // A failure outside a dialog: a warning popup whatever the popup level.
    void ReportError(const std::string& text);
    PopupQueue& Popups() { return popups_; }

    // Connection and login.
    void OnConnect();
    void Disconnect();
    void OnPowerEvent(PowerEvent event);

    // Display of the current controller.
    void ShowControllerInfo(int controller);
    // The controller's drives and RAID sets in the lists, nothing selected in them.
    void ShowLists(int controller);
    void ShowDeviceInfo(const Device& device);
    void ShowRaidInfo();
    void ClearSetDisplay();
    // What a change does to the controller picture.
    enum class DiagramUpdate : std::uint8_t { DrawIfActive, ActivateAndDraw, Deactivate };
    void UpdateDiagram(DiagramUpdate update, const std::optional<DiagramSelection>& selection);
    // The controller picture, for the diagram view to draw into.
    DiagramArea& Diagram() { return *view_.diagram; }
    // The BETA badge beside the logo, for a program version with a revision.
    void ShowBetaBadge(bool show);
    // Takes `version` as the program's own and shows the BETA badge when its revision
    // is not 0.
    void SetOwnVersion(const ProductVersion& version);
    // The same with the version block of `fileName` (0.0.0 when it has none).
    void ReadOwnVersion(const std::string& fileName);

    // The menu's error log view (the lines are the monitor's).
    ErrorLogCommand& ErrorLog() { return errorLog_; }

    // Rebuild controls.
    void ShowRebuildControlsForSet(const RaidSet& set);
    void EnableRebuildControls(bool enable);
    void ShowRebuildControls(bool show);
    // The slider with its labels and the two captions, without the rebuild's figures.
    void ShowRebuildCaptionsOnly();

    // Shell: notification-area icon clicks, the two menu toggles, minimising.
    void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void OnToggleAutoconnect();
    void OnToggleStartMinimized();
    // Writes or removes the program's XDG autostart entry.
    void OnToggleStartAtLogin();
    // Hides the window to the notification area, or minimises it where there is none.
    void MinimizeToTray();

    const MainWindowState& State() const { return state_; }
    const ClientSettings& Settings() const { return settings_; }
    // The host the window shows, and its session.
    HostMonitor& Monitor() { return *monitor_; }
    // Shows `monitor` from now on: its lists, its connection and what it reports, and
    // nothing more of the one shown before; neither session is told anything.
    void ShowMonitor(HostMonitor& monitor);
    ServiceSession& Session() { return monitor_->Session(); }
    // What the window shows: the monitor's copy of the session's objects.
    const ObjectTable& Table() const { return *monitor_->Table(); }
    const std::optional<DiagramState>& LastDiagram() const { return lastDiagram_; }
    bool IsHideTimerSet() const { return hideTimer_ != 0; }

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

    // What the user does.
    void OnDeviceSelectionChanged();
    void OnSetSelectionChanged();
    void OnControllerTabChanged();
    // H toggles the first RAID set, wherever the focus is.
    void ToggleFirstSet();

    // What the shown monitor reports.
    void BindMonitor();
    // The shown monitor's state, as a report would have left the window.
    void ShowHostState();
    void OnSessionConnected();
    void OnEnumerated(int controllerCount);
    // The display reset of a logoff; `announce` tells the tray and a screen reader.
    void OnSessionDisconnected(bool quiet, bool announce = true);
    void ShowConnectButtons(bool connected);
    void OnRebuildStep(const RebuildView& view);
    void OnControllerReRead(int controller);
    void OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty);
    // Tells the session what is selected: the controller, the set and the slider.
    void TellSessionSelection();

    // Autoconnect's next try: the countdown in the window and the tray tooltip.
    void OnReconnectScheduled(int delayMs);
    void ShowReconnectCountdown(int seconds);
    void HideReconnectCountdown();
    // A lost or regained connection, noted in the event log as `line`: in the journal.
    void NoteConnection(const QString& line, bool lost);
    // Sets the tray texts for a connection change and shows its balloon.
    void AnnounceConnection(int tipId, int balloonTextId);
    void ApplyPanel(const std::vector<PanelItem>& panel);
    void ClearInfoValues();
    // The set or drive a list row shows (each row carries its object's index).
    const RaidSet* RaidSetOfRow(int row) const;
    const Device* DeviceOfRow(int row) const;
    void NoteSelections();
    // The window is shown or hidden from the notification area.
    void ToggleFromTray();
    // The window's close button: disconnects, removes the icon, takes the Exit path.
    void CloseFromSystem();

    ClientSettings settings_;
    platform::DialogUi& ui_;
    shell::TrayIcon tray_;
    DiagramView* diagram_;
    TimeSource* time_;
    std::unique_ptr<TimeSource> ownTime_;
    TimeSource::TimerHandle hideTimer_ = 0;
    shell::SleepWatcher* sleep_ = nullptr;
    shell::EventJournal* journal_ = nullptr;
    platform::GuiThreadQuestions guiQuestions_;
    // The window's own host; its session's thread ends in the destructor, before the
    // window's parts after it go.
    std::unique_ptr<HostMonitor> ownMonitor_;
    // The host shown; every connection to it has `binding_` as its context.
    HostMonitor* monitor_;
    QObject* binding_ = nullptr;
    // Set while the window shows a monitor's state: the selection it makes then is the
    // window's, not told to the session.
    bool showingOnly_ = false;
    MainWindowView view_;
    std::unique_ptr<platform::Menu> menu_;
    // The selection last told to the session, so an unchanged one is not sent again.
    std::optional<std::array<int, 3>> toldSelection_;
    MainWindowState state_;
    std::optional<DiagramState> lastDiagram_;
    PopupQueue popups_;
    platform::HeapRelease heapRelease_;
    ProductVersion clientVersion_;
    bool popupWindows_ = true;
    bool initialized_ = false;
    std::unique_ptr<PopupPresenter> popupPresenter_;
    std::function<void(const ClientSettings&)> settingsWriter_;
    // The menu's commands that keep something between two choices.
    KeyringToggle keyring_{settings_, ui_, settingsWriter_};
    ErrorLogCommand errorLog_{*monitor_, this};
    BiosUpdateCommand bios_{ui_, this};
};

}  // namespace veltrix
