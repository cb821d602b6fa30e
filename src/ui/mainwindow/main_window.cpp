#include "ui/mainwindow/main_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/popup_presenter.h"
#include "ui/resources/icons.h"
#include "ui/resources/main_dialog.h"
#include "ui/resources/main_window_ids.h"
#include "ui/shell/service_mode.h"
#include "ui/shell/sleep_watcher.h"

namespace veltrix {

namespace {

constexpr int kReconnectAtStartMs = 3000;
constexpr int kHideAtStartMs = 200;

}  // namespace

CKavoGUIDlg::CKavoGUIDlg(ClientSettings settings, platform::DialogUi& ui, app::TrayHost& trayHost,
                         TimeSource* time, DiagramView* diagram, QWidget* parent,
                         UserQuestions* questions)
    : platform::Dialog(MainDialogTemplate(), parent, time),
      settings_(std::move(settings)),
      ui_(ui),
      tray_(trayHost),
      diagram_(diagram),
      guiQuestions_(ui, this),
      session_(std::make_unique<ServiceSession>(questions != nullptr ? *questions : guiQuestions_,
                                                time)) {
    SetMenu(MainMenuTemplate());
    ConnectSession();
    session_->SetAutoConnect(settings_.autoConnect);
    trayHost.onActivated = [this](QSystemTrayIcon::ActivationReason reason) {
        OnTrayNotify(reason);
    };
    // The system's sleep and resume arrive as power events; without a system bus
    // there are none and the program runs on.
    new app::SleepWatcher([this](PowerEvent event) { OnPowerBroadcast(event); }, this);
}

CKavoGUIDlg::~CKavoGUIDlg() {
    tray_.Host().onActivated = nullptr;
    popups_.Close();
    guiQuestions_.Abandon();
    session_->Shutdown();
}

void CKavoGUIDlg::OnInitDialog() {
    using namespace control_id;
    setWindowIcon(ProgramIcon(icon_id::kConnected));

    DeleteAllTabs(kControllerTabs);
    InsertTab(kControllerTabs, 0, "---");
    if (QWidget* tabs = item(kControllerTabs)) {
        tabs->lower();
    }
    ClearRows(kEventLog);
    SetRange(kPriority, 0, 100);
    SetTickFrequency(kPriority, 10);
    SetRange(kProgress, 0, 100);

    // The fields show the stored host and password.
    SetItemText(kHost, settings_.hostName);
    SetItemText(kPassword, settings_.password);

    tray_.trayTip = LoadString(ids::kTipNotConnected);
    tray_.AddTrayIcon(state_.isConnected);
    if (popupWindows_) {
        popupPresenter_ = std::make_unique<PopupPresenter>(popups_, this);
    }

    if (settings_.autoConnect) {
        session_->ArmReconnect(kReconnectAtStartMs);
        CheckMenuItem(menu_id::kAutoconnect, true);
    }
    if (settings_.startMinimized) {
        SetTimer(timer_id::kHide, kHideAtStartMs);
        CheckMenuItem(menu_id::kStartMinimized, true);
    }
}

void CKavoGUIDlg::OnCommand(int id) {
    switch (id) {
        case control_id::kConnect:
            OnConnect();
            return;
        case control_id::kDisconnect:
            Disconnect();
            return;
        case menu_id::kExit:
        case platform::IDOK:
        case platform::IDCANCEL:
            ExitProgram();
            return;
        case menu_id::kAutoconnect:
            OnToggleAutoconnect();
            return;
        case menu_id::kStartMinimized:
            OnToggleStartMinimized();
            return;
        case menu_id::kEmail:
        case menu_id::kLogFile:
        case menu_id::kPassword:
            if (!state_.isConnected) {
                ui_.ShowMessage(LoadString(ids::kHostNotConnected));
            }
            return;
        default:
            return;
    }
}

void CKavoGUIDlg::OnOK() {
    ExitProgram();
}

void CKavoGUIDlg::OnCancel() {
    ExitProgram();
}

void CKavoGUIDlg::OnSelChange(int id) {
    switch (id) {
        case control_id::kDeviceList:
            OnDeviceListSelChange();
            return;
        case control_id::kSetList:
            OnSetListSelChange();
            return;
        case control_id::kControllerTabs:
            OnTabSelChange();
            return;
        default:
            return;
    }
}

void CKavoGUIDlg::OnTimer(int id) {
    if (id == timer_id::kHide) {
        KillTimer(timer_id::kHide);
        MinimizeToTray();
    }
}

void CKavoGUIDlg::OnScroll(int id) {
    if (id == control_id::kPriority) {
        session_->SetSliderPosition(Pos(control_id::kPriority));
    }
}

bool CKavoGUIDlg::OnKey(int key) {
    if (key == Qt::Key_Escape) {
        // The window never closes on Esc; it also leaves the hidden service mode.
        ResetServiceMode();
        return true;
    }
    if (key == Qt::Key_H) {
        if (state_.selectedSet == -1) {
            SetSelectedRow(control_id::kSetList, 0);
            EnableRebuildControls(true);
            state_.selectedSet = 0;
        } else {
            SetSelectedRow(control_id::kSetList, -1);
            ClearSetDisplay();
            state_.selectedSet = -1;
        }
        ShowRaidInfo();
        TellSessionSelection();
    }
    return false;
}

void CKavoGUIDlg::OnClose() {
    OnSysCommand(kSysCommandClose);
}

void CKavoGUIDlg::OnSysCommand(int id) {
    serviceKeyState = 0;
    if ((id & 0xFFF0) == kSysCommandAbout) {
        return;  // the About box opens from the menu as well
    }
    if (id == kSysCommandMinimize) {
        MinimizeToTray();
        return;
    }
    if (id == kSysCommandClose) {
        if (state_.isConnected) {
            Disconnect();
        }
        tray_.DeleteTrayIcon();
        OnCancel();
    }
}

void CKavoGUIDlg::changeEvent(QEvent* event) {
    platform::Dialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_.Host().IsAvailable()) {
        // Minimising leaves no taskbar button: the window goes to the notification
        // area. Hidden after the state change has been handled.
        QTimer::singleShot(0, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            hide();
        });
    }
}

void CKavoGUIDlg::MinimizeToTray() {
    if (tray_.Host().IsAvailable()) {
        hide();
    } else {
        // Without a notification area a hidden window could not be brought back.
        showMinimized();
    }
}

void CKavoGUIDlg::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
    // A single click shows or hides the window.
    if (reason == QSystemTrayIcon::Trigger) {
        ToggleFromTray();
    }
}

void CKavoGUIDlg::ToggleFromTray() {
    if (isVisible() && !isMinimized()) {
        hide();
        return;
    }
    showNormal();
    raise();
    activateWindow();
}

void CKavoGUIDlg::OnToggleAutoconnect() {
    settings_.autoConnect = !IsMenuItemChecked(menu_id::kAutoconnect);
    session_->SetAutoConnect(settings_.autoConnect);
    CheckMenuItem(menu_id::kAutoconnect, settings_.autoConnect);
}

void CKavoGUIDlg::OnToggleStartMinimized() {
    settings_.startMinimized = !IsMenuItemChecked(menu_id::kStartMinimized);
    CheckMenuItem(menu_id::kStartMinimized, settings_.startMinimized);
}

void CKavoGUIDlg::ReportEvent(const std::string& text, Severity severity, int level) {
    if ((level > settings_.popupLevel && settings_.popupEnabled) || level == 255) {
        popups_.Push(text, severity);
    }
}

void CKavoGUIDlg::ReportError(const std::string& text) {
    ReportEvent(text, Severity::Warning, 255);
}

void CKavoGUIDlg::ExitProgram() {
    // No popup opens on the way out.
    popups_.Close();
    if (settingsWriter_) {
        settingsWriter_(settings_);
    }
    // Logs off when connected; no box of the session waits for an answer any more.
    guiQuestions_.Abandon();
    session_->Shutdown();
    // What the logoff reported (the display reset, its balloon) comes before the icon
    // goes, as the user would see it.
    QCoreApplication::sendPostedEvents(this);
    tray_.DeleteTrayIcon();
    EndDialog(platform::IDOK);
}

}  // namespace veltrix
