#pragma once
// The main window: connection and login, the controller tabs, the drive and RAID set
// lists with their information group, the rebuild controls, the notification-area
// icon and the window's own timers.
//
// Everything runs on the GUI thread. Pipe traffic, message boxes and file dialogs go
// through the DialogUi; timers run on the TimeSource the window is built with, so a
// test drives connect, reconnect and hide timers without waiting.

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
#include "session/service_link.h"
#include "session/status_requests.h"
#include "ui/mainwindow/client_settings.h"
#include "ui/mainwindow/diagram_state.h"
#include "ui/mainwindow/info_panels.h"
#include "ui/mainwindow/popup_queue.h"
#include "ui/platform/dialog.h"
#include "ui/platform/dialog_ui.h"
#include "ui/shell/tray_icon.h"

namespace veltrix {

class Device;
class PopupPresenter;
class RaidSet;

// Power events as the system reports them.
namespace power_event {
inline constexpr int kQuerySuspend = 0;
inline constexpr int kQueryStandby = 1;
inline constexpr int kSuspend = 4;
inline constexpr int kStandby = 5;
inline constexpr int kResumeSuspend = 7;
inline constexpr int kResumeStandby = 8;
}  // namespace power_event

// System menu commands the window understands.
inline constexpr int kSysCommandAbout = 0x0010;
inline constexpr int kSysCommandMinimize = 0xF020;
inline constexpr int kSysCommandClose = 0xF060;

// What the window keeps about the connection and the selection.
struct MainWindowState {
    bool isConnected = false;
    bool justConnected = false;
    std::uint32_t controllerCount = 0;
    std::uint8_t currentController = 0;
    int selectedDevice = -1;
    int selectedSet = -1;
    std::int32_t serviceVersion = 0;
    ServiceConfig serviceConfig;  // its four version words, cleared by Disconnect
    // Poll cycles that got past the rebuild phase; 0 after connect and after a cycle
    // in which the current controller's rebuild made no progress.
    std::uint32_t pollCount = 0;
    bool changesPending = false;
    bool deviceListDirty = false;
    bool setListDirty = false;
    // Per controller: percent / 5 and the rebuild position at the last step.
    std::array<std::uint32_t, ObjectTable::kMaxControllers> lastPercentStep{};
    std::array<std::uint64_t, ObjectTable::kMaxControllers> lastPosition{};
    bool quietDisconnect = false;
    bool keepDisplay = false;
    bool pipeClosedBySuspend = false;
    bool wasConnectedBeforeSuspend = false;
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
    CKavoGUIDlg(ClientSettings settings, platform::DialogUi& ui, app::TrayHost& trayHost,
                TimeSource* time = nullptr, DiagramView* diagram = nullptr,
                QWidget* parent = nullptr);
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
    // 255 always). `icon` is one of kPopupInformation, kPopupWarning, kPopupError.
    void ReportEvent(const std::string& text, unsigned icon, int level);
    // A failure outside a dialog: a warning popup whatever the popup level.
    void ReportError(const std::string& text);
    PopupQueue& Popups() { return popups_; }

    // Connection and login.
    void OnConnect();
    void Disconnect();
    void OnPowerBroadcast(int event);

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

    // The poll cycle and its steps.
    bool RebuildStep(int controller, std::string& tip);
    void PriorityStep();
    void SendPriority(int controller, int setIndex, int priority);
    // The error log lines drained from the service (the error log view shows them).
    const std::vector<LogEntry>& ErrorLogEntries() const { return errorLog_; }

    // Rebuild controls.
    void ShowRebuildControlsForSet(const RaidSet& set);
    void EnableRebuildControls(bool enable);
    void ShowRebuildControls(bool show);

    // Shell: notification-area icon clicks, the two menu toggles, system commands.
    void OnTrayNotify(unsigned mouseMessage);
    void OnToggleAutoconnect();
    void OnToggleStartMinimized();
    void OnSysCommand(int id);
    // Hides the window to the notification area, or minimises it where there is none.
    void MinimizeToTray();

    const MainWindowState& State() const { return state_; }
    const ClientSettings& Settings() const { return settings_; }
    ServiceLink& Link() { return link_; }
    ObjectTable& Table() { return table_; }
    app::TrayIcon& Tray() { return tray_; }
    const std::optional<DiagramState>& LastDiagram() const { return lastDiagram_; }

  protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    void OnSelChange(int id) override;
    void OnTimer(int id) override;
    bool OnKey(int key) override;
    void OnClose() override;
    void changeEvent(QEvent* event) override;

  private:
    // One request/reply exchange of the poll cycle and where each way it can fail is
    // reported.
    struct ExchangeSites {
        std::uint32_t code;
        std::span<const std::uint8_t> data;
        std::string writeError;
        std::string readError;
        // A channel error while waiting; empty: readError.
        std::string waitError = {};
        // The read error starts with the system's text and ends with " 0", the bytes
        // waiting in the pipe and those left of the message.
        bool readErrorWithPipeState = false;
    };
    // The timer-1 cycle, timer 2's mail-only poll and their shared steps.
    void PollCycle(int oldDeviceRows, int oldSetRows);
    void MailOnlyPoll();
    bool MailStatusStep(bool mailOnly);
    // Writes the request in the shared buffer, waits for the reply and reads it; false
    // (with the failure reported and counted) when the cycle must end.
    bool Exchange(const ExchangeSites& sites);
    // `text` between the system's text of `e` and the pipe's state.
    std::string WithPipeState(const CNamedPipeException& e, const std::string& text);
    void NoResponse();
    bool EventLoop();
    void HandleEvent(const EventRecord& event);
    void ReReadController(int controller);
    void RefillAfterChanges(int oldDeviceRows, int oldSetRows);
    // Selects the row chosen before a list was refilled, or row 0 when the list got
    // shorter than that; returns the row now selected.
    int ReselectAfterRefill(int listId, int selected, int oldRows);
    void DrainErrorLog();

    // Connect steps after the login reply was accepted.
    void ConnectionEstablished();
    bool Enumerate();
    void ReadServiceVersion();
    // Shows the channel error, then the step's own message.
    void ShowChannelFailure(const CNamedPipeException& e, int stringId, int site);
    // Sets the tray texts for a connection change and shows its balloon.
    void AnnounceConnection(int tipId, int balloonTextId);
    void ApplyPanel(const std::vector<PanelItem>& panel);
    void ClearInfoValues();
    RaidSet* SelectedRaidSet();
    void NoteSelections();
    // The window is shown or hidden from the notification area.
    void ToggleFromTray();

    // Message boxes go to the dialog interface; error reports of the requests end in
    // this window's popup queue like the poll cycle's own.
    class RequestReports : public UserInterface {
      public:
        explicit RequestReports(CKavoGUIDlg& window) : window_(window) {}
        MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                                  MessageButtons buttons) override {
            return window_.ui_.ShowMessage(text, icon, buttons);
        }
        void ReportError(const std::string& text) override { window_.ReportError(text); }

      private:
        CKavoGUIDlg& window_;
    };

    ClientSettings settings_;
    platform::DialogUi& ui_;
    RequestReports reports_{*this};
    app::TrayIcon tray_;
    DiagramView* diagram_;
    ServiceLink link_;
    ObjectTable table_;
    StatusRequests requests_;
    MainWindowState state_;
    std::optional<DiagramState> lastDiagram_;
    PopupQueue popups_;
    std::vector<LogEntry> errorLog_;
    bool popupWindows_ = true;
    std::unique_ptr<PopupPresenter> popupPresenter_;
    std::function<void(const ClientSettings&)> settingsWriter_;
};

}  // namespace veltrix
