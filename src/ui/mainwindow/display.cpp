// What the main window shows of the current controller: its area, the drive and RAID
// set lists, the information group, the selections and the controller picture.

#include "model/status_texts.h"
#include "ui/mainwindow/info_panels.h"
#include "ui/mainwindow/main_window.h"
#include "ui/resources/main_window_ids.h"

namespace veltrix {

namespace {

// Drive addresses per channel: port-multiplier ports 0-14 behind a multiplier.
int SubPortCount(const Controller& controller) {
    return controller.HasPortMultiplier() ? 15 : 1;
}

constexpr int kInfoValues[] = {
    control_id::kRow1Value, control_id::kRow2Value, control_id::kRow3Value, control_id::kRow4Value,
    control_id::kRow5Value, control_id::kRow6Value, control_id::kRow7Value};

}  // namespace

void CKavoGUIDlg::ApplyPanel(const std::vector<PanelItem>& panel) {
    for (const PanelItem& step : panel) {
        if (step.text) {
            SetItemText(step.controlId, *step.text);
        }
        if (step.shown) {
            ShowItem(step.controlId, *step.shown);
        }
    }
}

void CKavoGUIDlg::ClearInfoValues() {
    for (const int id : kInfoValues) {
        SetItemText(id, "");
    }
}

void CKavoGUIDlg::ShowControllerInfo(int controller) {
    if (const Controller* c = table_.GetController(controller)) {
        ApplyPanel(ControllerPanel(*c, controller));
    }
}

void CKavoGUIDlg::FillDeviceList(int controller, int /*refresh*/) {
    using namespace control_id;
    ClearRows(kDeviceList);
    state_.deviceRowMap.fill(-1);
    const Controller* c = table_.GetController(controller);
    if (c != nullptr && c->DeviceCount() != 0) {
        int rows = 0;
        const int subPorts = SubPortCount(*c);
        for (int j = 0; j < c->ChannelCount() && rows < c->DeviceCount(); ++j) {
            for (int k = 0; k < subPorts && rows < c->DeviceCount(); ++k) {
                const int position = j + 16 * k;
                for (int d = 0; d < ObjectTable::kMaxDevices; ++d) {
                    const Device* device = table_.GetDevice(controller, d);
                    if (device == nullptr || device->Position() != position) {
                        continue;
                    }
                    AddRow(kDeviceList, std::to_string(position) + "\t" + device->ModelNumber() +
                                            "\t" + device->CapacityText() + "\t" +
                                            device->PortStateText() + "\t");
                    if (rows < ObjectTable::kMaxDevices) {
                        state_.deviceRowMap[static_cast<std::size_t>(rows)] = d;
                    }
                    ++rows;
                    break;
                }
            }
        }
    }
    SetSelectedRow(kDeviceList, -1);
    OnDeviceListSelChange();
    state_.selectedDevice = -1;
}

void CKavoGUIDlg::FillSetList(int controller, int refresh) {
    using namespace control_id;
    ClearRows(kSetList);
    state_.setRowMap.fill(-1);
    const Controller* c = table_.GetController(controller);
    if (c != nullptr) {
        int found = 0;
        const int subPorts = SubPortCount(*c);
        for (int j = 0; j < c->ChannelCount() && found < c->RaidSetCount(); ++j) {
            for (int k = 0; k < subPorts && found < c->RaidSetCount(); ++k) {
                const int port = j + 16 * k;
                for (int s = 0; s < ObjectTable::kMaxRaidSets; ++s) {
                    const RaidSet* set = table_.GetRaidSet(controller, s);
                    if (set == nullptr || set->Port() != port) {
                        continue;
                    }
                    ++found;
                    if (set->IsRaid()) {
                        const int row = AddRow(
                            kSetList, std::to_string(set->DeviceNumber()) + "\t" + set->TypeText() +
                                          "\t" + ChunkSizeListText(set->ChunkSize()) + "\t" +
                                          set->MembersText() + "\t" + set->CapacityText() + "\t" +
                                          set->StatusText());
                        if (row >= 0 && row < ObjectTable::kMaxRaidSets) {
                            state_.setRowMap[static_cast<std::size_t>(row)] = s;
                        }
                    }
                    break;
                }
            }
        }
    }
    if (refresh != 0) {
        ShowRaidInfo();
    }
}

void CKavoGUIDlg::ShowDeviceInfo(const Device& device) {
    ApplyPanel(DrivePanel(device));
}

RaidSet* CKavoGUIDlg::SelectedRaidSet() {
    const int row = SelectedRow(control_id::kSetList);
    if (row < 0 || row >= ObjectTable::kMaxRaidSets) {
        return nullptr;
    }
    return table_.GetRaidSet(state_.currentController,
                             state_.setRowMap[static_cast<std::size_t>(row)]);
}

void CKavoGUIDlg::ShowRaidInfo() {
    using namespace control_id;
    RaidSet* set = SelectedRow(kSetList) >= 0 ? SelectedRaidSet() : nullptr;
    if (set == nullptr) {
        ClearInfoValues();
        state_.selectedSet = -1;
        SetSelectedRow(kSetList, -1);
        ClearSetDisplay();
        UpdateDiagram(0, std::nullopt);
        return;
    }
    SetSelectedRow(kDeviceList, -1);
    OnDeviceListSelChange();
    EnableRebuildControls(true);
    ShowRebuildControlsForSet(*set);

    DiagramSelection selection{.kind = SelectionKind::Set};
    for (int n = 0; n < set->MemberCount(); ++n) {
        const std::uint8_t member = set->Member(n == 0 ? MemberOp::First : MemberOp::Next);
        if (member < selection.portsB.size()) {
            selection.portsB[member] = 1;
        }
    }
    selection.raidType = set->RaidType();
    selection.port = set->Port();
    UpdateDiagram(0, selection);
    ApplyPanel(RaidSetPanel(*set));
}

void CKavoGUIDlg::ClearSetDisplay() {
    using namespace control_id;
    state_.selectedSet = -1;
    ClearInfoValues();
    SetPos(kPriority, 0);
    SetPos(kProgress, 0);
    EnableRebuildControls(false);
    for (const int id : {kPriority, kPriorityHigh, kPriorityCaption, kPriorityLow, kSpeedCaption,
                         kDurationCaption}) {
        ShowItem(id, true);
    }
    for (const int id : {kSpeed, kDuration, kPercent, kProgress}) {
        ShowItem(id, false);
    }
}

void CKavoGUIDlg::NoteSelections() {
    state_.selectedDevice = SelectedRow(control_id::kDeviceList);
    state_.selectedSet = SelectedRow(control_id::kSetList);
    TellSessionSelection();
}

void CKavoGUIDlg::OnDeviceListSelChange() {
    using namespace control_id;
    const int row = SelectedRow(kDeviceList);
    if (row < 0) {
        state_.lastDeviceRow = -1;
        return;
    }
    SetSelectedRow(kSetList, -1);
    OnSetListSelChange();

    DiagramSelection selection{.kind = SelectionKind::Drive};
    const Device* device =
        row < ObjectTable::kMaxDevices
            ? table_.GetDevice(state_.currentController,
                               state_.deviceRowMap[static_cast<std::size_t>(row)])
            : nullptr;
    if (row == state_.lastDeviceRow) {
        SetSelectedRow(kDeviceList, -1);
        state_.lastDeviceRow = -1;
        ClearInfoValues();
    } else {
        state_.lastDeviceRow = row;
        if (device != nullptr && device->Position() < selection.portsB.size()) {
            selection.portsB[device->Position()] = 1;
        }
    }
    UpdateDiagram(0, selection);
    if (SelectedRow(kDeviceList) == row && device != nullptr) {
        ShowDeviceInfo(*device);
    }
    NoteSelections();
}

void CKavoGUIDlg::OnSetListSelChange() {
    using namespace control_id;
    const int row = SelectedRow(kSetList);
    if (state_.selectedSet == -1) {
        state_.selectedSet = row;
        EnableRebuildControls(true);
    } else if (row >= 0 && row == state_.selectedSet) {
        SetSelectedRow(kSetList, -1);
        ClearSetDisplay();
    }
    ShowRaidInfo();
    NoteSelections();
}

void CKavoGUIDlg::OnTabSelChange() {
    using namespace control_id;
    const int tab = SelectedTab(kControllerTabs);
    if (state_.controllerCount == 0 || tab < 0 || tab == state_.currentController) {
        return;
    }
    state_.currentController = static_cast<std::uint8_t>(tab);
    ShowControllerInfo(tab);
    FillDeviceList(tab, 1);
    FillSetList(tab, 1);
    state_.selectedDevice = -1;
    const Controller* c = table_.GetController(tab);
    if (c != nullptr && c->RaidSetCount() != 0) {
        SetSelectedRow(kSetList, 0);
        state_.selectedSet = 0;
        EnableRebuildControls(true);
    } else {
        ClearSetDisplay();
    }
    ShowRaidInfo();
    if (state_.selectedSet == -1) {
        UpdateDiagram(0, std::nullopt);
        ClearInfoValues();
    }
    TellSessionSelection();
}

void CKavoGUIDlg::UpdateDiagram(int mode, const std::optional<DiagramSelection>& selection) {
    const DiagramState diagramState =
        MakeDiagramState(table_.GetController(state_.currentController), selection);
    if (mode == 1) {
        state_.diagramActive = true;
    } else if (mode == 2) {
        state_.diagramActive = false;
    }
    if (mode == 1 || (mode == 0 && state_.diagramActive)) {
        lastDiagram_ = diagramState;
        if (diagram_ != nullptr) {
            diagram_->Draw(diagramState);
        }
    }
    if (QWidget* picture = item(control_id::kDiagram)) {
        picture->update();
    }
}

}  // namespace veltrix
