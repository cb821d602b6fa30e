#pragma once
// The main window: connection and login, the controller tabs, the drive and RAID set
// lists with their information group, the rebuild controls, the notification-area
// icon and the window's own timers.
//
// The window shows what its session with the service reports and passes the user's
// requests on to it; the session talks to the service on a thread of its own, so the
// window never waits for a reply. Message boxes and file dialogs go through the
// DialogUi; timers run on the TimeSource the window is built with, so a test drives
// connect, reconnect and hide timers without waiting.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/object_table.h"
#include "model/records.h"
#include "protocol/protocol.h"
#include "session/service_session.h"
#include "session/session_types.h"
#include "ui/mainwindow/client_settings.h"
#include "ui/mainwindow/diagram_state.h"
#include "ui/mainwindow/info_panels.h"
#include "ui/mainwindow/popup_queue.h"
#include "ui/platform/dialog.h"
#include "ui/platform/dialog_ui.h"
#include "ui/platform/gui_thread_questions.h"
#include "ui/shell/tray_icon.h"

namespace veltrix {

class Device;
class PopupPresenter;
class RaidSet;

// System menu commands the window understands.
inline constexpr int kSysCommandAbout = 0x0010;
inline constexpr int kSysCommandMinimize = 0xF020;
inline constexpr int kSysCommandClose = 0xF060;

// What the window keeps about the connection and the selection.
struct MainWindowState {
    bool isConnected = false;
    std::uint32_t controllerCount = 0;
    std::uint8_t currentController = 0;
    int selectedDevice = -1;
    int selectedSet = -1;
    std::int32_t serviceVersion = 0;
    ServiceConfig serviceConfig;  // its four version words, cleared by Disconnect
    // Row r of the RAID set list shows set setRowMap[r] of the current controller.
    std::array<int, ObjectTable::kMaxRaidSets> setRowMap{};
    // Row r of the drive list shows drive deviceRowMap[r] of the current controller.
    std::array<int, ObjectTable::kMaxDevices> deviceRowMap{};
    // The drive row selected by the last click, for toggling it off; -1 for none.
    int lastDeviceRow = -1;
    bool diagramActive = false;
};

class CKavoGUIDlg : public platform::Dialog {
    Q_OBJECT

  public:
    // `diagram` may be null (nothing draws the picture); `time` null runs real timers.
    // The session asks its questions through `questions` on its own thread; without
    // them it asks `ui` on the GUI thread and waits for the answer.
    CKavoGUIDlg(ClientSettings settings, platform::DialogUi& ui, app::TrayHost& trayHost,
                TimeSource* time = nullptr, DiagramView* diagram = nullptr,
                QWidget* parent = nullptr, UserQuestions* questions = nullptr);
    ~CKavoGUIDlg() override;

    // Before Initialize: whether queued popups are shown as message boxes (tests read
    // the queue instead).
    void SetPopupWindows(bool show) { popupWindows_ = show; }
    // Called first on the Exit path with the settings to keep.
    void SetSettingsWriter(std::function<void(const ClientSettings&)> writer) {
        settingsWriter_ = std::move(writer);
    }
    // The Exit path: writes the settings, logs off, removes the icon, ends the window.
    void ExitProgram();

    // Offers a message for a popup: queued when `level` passes the popup level (0 never,
    // 255 always).
    void ReportEvent(const std::string& text, Severity severity, int level);
    // A failure outside a dialog: a warning popup whatever the popup level.
    void ReportError(const std::string& text);
    PopupQueue& Popups() { return popups_; }

    // Connection and login.
    void OnConnect();
    void Disconnect();
    void OnPowerBroadcast(PowerEvent event);

    // Display of the current controller.
    void ShowControllerInfo(int controller);
    void FillDeviceList(int controller, int refresh);
    void FillSetList(int controller, int refresh);
    void ShowDeviceInfo(const Device& device);
    void ShowRaidInfo();
    void ClearSetDisplay();
    // Mode 1 makes the picture active and draws, 2 makes it inactive, 0 draws when active.
    void UpdateDiagram(int mode, const std::optional<DiagramSelection>& selection);
    void OnDeviceListSelChange();
    void OnSetListSelChange();
    void OnTabSelChange();

    // The error log lines drained from the service (the error log view shows them).
    const std::vector<LogEntry>& ErrorLogEntries() const { return errorLog_; }

    // Rebuild controls.
    void ShowRebuildControlsForSet(const RaidSet& set);
    void EnableRebuildControls(bool enable);
    void ShowRebuildControls(bool show);

    // Shell: notification-area icon clicks, the two menu toggles, system commands.
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
    void OnToggleAutoconnect();
    void OnToggleStartMinimized();
    void OnSysCommand(int id);
    // Hides the window to the notification area, or minimises it where there is none.
    void MinimizeToTray();

    const MainWindowState& State() const { return state_; }
    const ClientSettings& Settings() const { return settings_; }
    ServiceSession& Session() { return *session_; }
    // What the window shows: its copy of the session's objects.
    const ObjectTable& Table() const { return table_; }
    app::TrayIcon& Tray() { return tray_; }
    const std::optional<DiagramState>& LastDiagram() const { return lastDiagram_; }

  protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    void OnSelChange(int id) override;
    void OnTimer(int id) override;
    void OnScroll(int id) override;
    bool OnKey(int key) override;
    void OnClose() override;
    void changeEvent(QEvent* event) override;

  private:
    // What the session reports.
    void ConnectSession();
    void OnSessionConnected();
    void OnEnumerated(const TableSnapshot& table, int controllerCount);
    void OnSessionDisconnected(bool quiet, bool keepDisplay);
    void OnRebuildStep(const RebuildView& view);
    void OnControllerReRead(int controller, const TableSnapshot& table);
    void OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty,
                         const TableSnapshot& table);
    // Selects the row chosen before a list was refilled, or row 0 when the list got
    // shorter than that; returns the row now selected.
    int ReselectAfterRefill(int listId, int selected, int oldRows);
    // Tells the session what is selected: the controller, the set and the slider.
    void TellSessionSelection();

    // Sets the tray texts for a connection change and shows its balloon.
    void AnnounceConnection(int tipId, int balloonTextId);
    void ApplyPanel(const std::vector<PanelItem>& panel);
    void ClearInfoValues();
    RaidSet* SelectedRaidSet();
    void NoteSelections();
    // The window is shown or hidden from the notification area.
    void ToggleFromTray();

    ClientSettings settings_;
    platform::DialogUi& ui_;
    app::TrayIcon tray_;
    DiagramView* diagram_;
    platform::GuiThreadQuestions guiQuestions_;
    ObjectTable table_;
    MainWindowState state_;
    // Row counts of the two lists when the current poll tick began.
    int oldDeviceRows_ = 0;
    int oldSetRows_ = 0;
    std::optional<DiagramState> lastDiagram_;
    PopupQueue popups_;
    std::vector<LogEntry> errorLog_;
    bool popupWindows_ = true;
    std::unique_ptr<PopupPresenter> popupPresenter_;
    std::function<void(const ClientSettings&)> settingsWriter_;
    // Last: the session's thread ends before the window's parts go.
    std::unique_ptr<ServiceSession> session_;
};

}  // namespace veltrix
