// Connect, login, enumeration, Disconnect and the power events of the main window.

#include <QApplication>
#include <QCursor>
#include <array>

#include "model/object_table.h"
#include "protocol/bytes.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "ui/mainwindow/main_window.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {

namespace {

constexpr std::uint32_t kServerWaitMs = 1000;
constexpr int kFirstPollMs = 500;
constexpr int kMailOnlyPollMs = 4000;
constexpr int kReconnectAfterResumeMs = 15000;

// Error numbers of the connect steps.
constexpr int kSiteNotAvailable = 715;
constexpr int kSiteOpen = 730;
constexpr int kSiteLoginWrite = 748;
constexpr int kSiteLoginRead = 761;
constexpr int kSiteCountWrite = 811;
constexpr int kSiteCountRead = 829;

// The wait cursor for the whole of a command, ended on every way out.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void CKavoGUIDlg::ShowChannelFailure(const CNamedPipeException& e, int stringId, int site) {
    ui_.ShowMessage(e.GetErrorMessage());
    ui_.ShowMessage(ErrorText(stringId, site));
}

void CKavoGUIDlg::OnConnect() {
    using namespace control_id;
    const WaitCursor waitCursor;
    settings_.hostName = ItemText(kHost);
    settings_.password = ItemText(kPassword);

    UpdateDiagram(1, DiagramSelection{.kind = SelectionKind::Connect});
    state_.selectedSet = -1;
    SetPos(kPriority, 0);
    KillTimer(timer_id::kReconnect);

    try {
        CNamedPipe::ServerAvailable(settings_.hostName, kServicePipeName, kServerWaitMs);
    } catch (const CNamedPipeException& e) {
        std::string text = SystemTextLine(e);
        if (e.errorCode == win32::ERROR_SEM_TIMEOUT) {
            text += LoadString(ids::kLineBusy);
        }
        ui_.ShowMessage(text + ErrorText(ids::kServiceNotAvailable, kSiteNotAvailable));
        return;
    }

    try {
        link_.pipe.Open(settings_.hostName, kServicePipeName);
    } catch (const CNamedPipeException& e) {
        ShowChannelFailure(e, ids::kConnectionNotPossible, kSiteOpen);
        return;
    }

    try {
        const auto block = BuildLoginBlock(settings_.password);
        link_.pipe.Write(block.data(), block.size());
    } catch (const CNamedPipeException& e) {
        ShowChannelFailure(e, ids::kServiceWriteError, kSiteLoginWrite);
        // Nobody is logged in on this pipe: keeping it open would only leak it.
        link_.pipe.Close();
        return;
    }

    std::array<std::uint8_t, ServiceMessage::kSize> reply{};
    std::size_t received = 0;
    try {
        received = link_.pipe.Read(reply.data(), reply.size());
    } catch (const CNamedPipeException& e) {
        ShowChannelFailure(e, ids::kServiceReadError, kSiteLoginRead);
        link_.pipe.Close();
        return;
    }
    if (!IsLoginAccepted(std::span(reply).first(received))) {
        ui_.ShowMessage(LoadString(ids::kInvalidPassword));
        link_.pipe.Close();
        return;
    }
    ConnectionEstablished();
}

void CKavoGUIDlg::ConnectionEstablished() {
    using namespace control_id;
    state_.isConnected = true;
    AnnounceConnection(ids::kTipConnected, ids::kBalloonConnected);

    EnableItem(kConnect, false);
    EnableItem(kDisconnect, true);
    SetItemText(kConnect, LoadString(ids::kButtonConnected));
    SetItemText(kDisconnect, LoadString(ids::kButtonDisconnect));

    ReadServiceVersion();
    if (!Enumerate()) {
        return;
    }
    if (state_.controllerCount == 0) {
        ui_.ShowMessage(LoadString(ids::kDriverNotFound));
        SetTimer(timer_id::kMailOnly, kMailOnlyPollMs);
        return;
    }

    state_.currentController = 0;
    ShowControllerInfo(0);
    FillDeviceList(0, 1);
    FillSetList(0, 1);
    state_.selectedDevice = -1;
    const Controller* first = table_.GetController(0);
    if (first != nullptr && first->RaidSetCount() != 0) {
        state_.selectedSet = 0;
        SetSelectedRow(kSetList, 0);
        EnableRebuildControls(true);
        ShowRaidInfo();
    }
    if (state_.selectedSet == -1) {
        UpdateDiagram(0, std::nullopt);
    }
    state_.justConnected = true;
    SetItemText(kSpeed, "-");
    SetTimer(timer_id::kPoll, kFirstPollMs);
}

void CKavoGUIDlg::ReadServiceVersion() {
    ServiceConfig config;
    requests_.RequestServiceConfig(config);
    state_.serviceConfig = config;
    state_.serviceVersion = static_cast<std::int32_t>(ServiceVersionNumber(config));
}

bool CKavoGUIDlg::Enumerate() {
    using namespace control_id;
    link_.message.setRequest(GET_CONTROLLER_COUNT);
    try {
        link_.SendMessage();
    } catch (const CNamedPipeException& e) {
        ui_.ShowMessage(e.GetErrorMessage() + "\n" +
                        ErrorText(ids::kServiceWriteError, kSiteCountWrite));
        Disconnect();
        return false;
    }
    try {
        link_.ReceiveMessage();
    } catch (const CNamedPipeException& e) {
        ui_.ShowMessage(e.GetErrorMessage() + "\n" +
                        ErrorText(ids::kServiceReadError, kSiteCountRead));
        Disconnect();
        return false;
    }
    // The table has room for eight controllers; the rest are not shown.
    const std::uint32_t reported = ByteView(link_.message.data()).u32(0);
    state_.controllerCount = static_cast<std::uint32_t>(ClampControllerCount(reported));

    for (int i = 0; i < static_cast<int>(state_.controllerCount); ++i) {
        table_.CreateController(i);
        state_.currentController = static_cast<std::uint8_t>(i);
        // A request that fails on the channel leaves its message in lastMessage (a
        // drive or set it does not find is no failure).
        link_.lastMessage.clear();
        requests_.RequestControllerInfo(i);
        const Controller& controller = *table_.GetController(i);
        if (i == 0) {
            SetTabText(kControllerTabs, 0, controller.Name());
        } else {
            InsertTab(kControllerTabs, i, controller.Name());
        }
        const int devices = ClampDeviceCount(controller.DeviceCount());
        const int sets = ClampRaidSetCount(controller.RaidSetCount());
        for (int d = 0; link_.lastMessage.empty() && d < devices; ++d) {
            table_.CreateDevice(i, d);
            requests_.RequestDevice(i, d);
        }
        for (int s = 0; link_.lastMessage.empty() && s < sets; ++s) {
            table_.CreateRaidSet(i, s);
            requests_.RequestRaidSet(i, s);
        }
        if (!link_.lastMessage.empty()) {
            // The request has shown its message; going on would show one per drive
            // and set on a channel that no longer answers.
            Disconnect();
            return false;
        }
        if (controller.RaidSetCount() != 0) {
            for (const int id : {kPriority, kPriorityHigh, kPriorityCaption, kPriorityLow}) {
                ShowItem(id, true);
            }
        }
    }
    return true;
}

void CKavoGUIDlg::AnnounceConnection(int tipId, int balloonTextId) {
    tray_.trayTip = LoadString(tipId);
    tray_.balloonTitle = LoadString(ids::kBalloonHostConnection);
    tray_.balloonText = LoadString(balloonTextId);
    tray_.balloonIconKind = app::kBalloonInformation;
    tray_.UpdateTrayIcon(state_.isConnected, true);
}

void CKavoGUIDlg::Disconnect() {
    using namespace control_id;
    if (!state_.pipeClosedBySuspend) {
        if (!state_.isConnected) {
            return;
        }
        if (!state_.quietDisconnect) {
            SetItemText(kDisconnect, "..busy..");
        }
        link_.message.setRequest(LOGOFF);
        try {
            link_.SendMessage();
        } catch (const CNamedPipeException&) {
            // The service may be gone already; the pipe is closed all the same.
        }
        link_.pipe.Close();
        KillTimer(timer_id::kPoll);
        KillTimer(timer_id::kMailOnly);
        state_.serviceConfig = ServiceConfig{};
    }
    if (state_.keepDisplay) {
        return;
    }
    if (!state_.quietDisconnect) {
        SetItemText(kConnect, LoadString(ids::kButtonConnect));
        SetItemText(kDisconnect, LoadString(ids::kButtonDisconnected));
        EnableItem(kConnect, true);
        EnableItem(kDisconnect, false);
    }

    SetTabText(kControllerTabs, 0, "---");
    SelectTab(kControllerTabs, 0);
    while (TabCount(kControllerTabs) > 1) {
        DeleteTab(kControllerTabs, 1);
    }
    table_.Clear();
    state_.controllerCount = 0;

    SetSelectedRow(kSetList, -1);
    ShowRaidInfo();
    ShowRebuildControls(false);

    state_.isConnected = false;
    AnnounceConnection(ids::kTipDisconnected, ids::kBalloonDisconnected);

    ClearRows(kDeviceList);
    ClearRows(kSetList);
    for (const int id : {kControllerNumber, kDriverVersion, kBiosVersion, kChipset, kRaid5Support,
                         kJbodSupport, kPmSupport, kDuration, kSpeed}) {
        SetItemText(id, "-");
    }
    SetItemText(kPercent, "0%");
    SetPos(kProgress, 0);
    for (const int id :
         {kRow1Value, kRow2Value, kRow3Value, kRow4Value, kRow5Value, kRow6Value, kRow7Value}) {
        SetItemText(id, "-");
    }
    if (!state_.quietDisconnect) {
        UpdateDiagram(0, std::nullopt);
    }
    state_.pipeClosedBySuspend = false;
    state_.serviceConfig = ServiceConfig{};
}

void CKavoGUIDlg::OnPowerBroadcast(int event) {
    switch (event) {
        case power_event::kQuerySuspend:
        case power_event::kQueryStandby:
        case power_event::kSuspend:
        case power_event::kStandby:
            if (state_.isConnected) {
                state_.quietDisconnect = true;
                state_.keepDisplay = true;
                state_.pipeClosedBySuspend = false;
                Disconnect();
                state_.quietDisconnect = false;
                state_.keepDisplay = false;
                state_.pipeClosedBySuspend = true;
                state_.wasConnectedBeforeSuspend = true;
            } else {
                state_.wasConnectedBeforeSuspend = false;
            }
            return;
        case power_event::kResumeSuspend:
        case power_event::kResumeStandby:
            if (state_.wasConnectedBeforeSuspend) {
                state_.keepDisplay = false;
                state_.pipeClosedBySuspend = true;
                Disconnect();
                state_.pipeClosedBySuspend = false;
                SetTimer(timer_id::kReconnect, kReconnectAfterResumeMs);
            }
            return;
        default:
            return;
    }
}

}  // namespace veltrix
