// What the body shows of the current controller: its area, the drive and RAID set
// lists, the information group, the selections and the controller picture.

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>

#include "gui/diagram/diagram_area.h"
#include "gui/hostview/diagram_description.h"
#include "gui/hostview/host_body.h"
#include "gui/hostview/info_panels.h"
#include "gui/hostview/list_rows.h"
#include "gui/hostview/status_list.h"
#include "gui/platform/accessible_announcer.h"
#include "gui/platform/control_id.h"
#include "model/status_texts.h"

namespace veltrix {

HostBody::HostBody(QWidget& window, const HostBodyView& view, HostMonitor& monitor,
                   DiagramView* diagram)
    : window_(window), view_(view), monitor_(&monitor), diagram_(diagram) {
    ConnectControls();
    Bind();
}

void HostBody::ConnectControls() {
    connect(view_.tabs, &QTabBar::currentChanged, this, &HostBody::OnControllerTabChanged);
    // A click, also on the row already selected (which deselects it), and a move of
    // the selection by keyboard.
    connect(view_.devices, &StatusList::clicked, this, &HostBody::OnDeviceSelectionChanged);
    connect(view_.sets, &StatusList::clicked, this, &HostBody::OnSetSelectionChanged);
    for (StatusList* list : {view_.devices, view_.sets}) {
        connect(list, &StatusList::CurrentRowChanged, this, [this, list](int current) {
            // Keys move the current row; clicks are handled above.
            if (current >= 0 && list->hasFocus() && QApplication::mouseButtons() == Qt::NoButton) {
                list == view_.devices ? OnDeviceSelectionChanged() : OnSetSelectionChanged();
            }
        });
    }
    connect(view_.priority, &QSlider::valueChanged, this, [this](int) { TellSessionSelection(); });
}

void HostBody::ApplyPanel(const std::vector<PanelItem>& panel) {
    for (const PanelItem& step : panel) {
        QWidget* control = platform::FindControl<QWidget>(window_, step.controlId);
        Q_ASSERT_X(control != nullptr, "ApplyPanel", "a panel names a control the window lacks");
        if (control == nullptr) {
            continue;
        }
        if (step.text) {
            const QString text = QString::fromStdString(*step.text);
            if (auto* label = qobject_cast<QLabel*>(control)) {
                label->setText(text);
            } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
                group->setTitle(text);
            }
        }
        if (step.shown) {
            control->setVisible(*step.shown);
        }
    }
}

void HostBody::ClearInfoValues() {
    for (QLabel* value : view_.infoValues) {
        value->clear();
    }
}

void HostBody::ShowControllerInfo(int controller) {
    if (const Controller* c = monitor_->Table()->GetController(controller)) {
        ApplyPanel(ControllerPanel(*c, controller));
    }
}

const Device* HostBody::DeviceOfRow(int row) const {
    return monitor_->Table()->GetDevice(state_.currentController,
                                        monitor_->Devices().ObjectIndexOf(row));
}

const RaidSet* HostBody::RaidSetOfRow(int row) const {
    return monitor_->Table()->GetRaidSet(state_.currentController,
                                         monitor_->RaidSets().ObjectIndexOf(row));
}

void HostBody::ShowLists(int controller) {
    monitor_->Devices().Refresh(*monitor_->Table(), controller);
    SelectRow(view_.devices, -1);
    state_.lastDeviceRow = -1;
    state_.selectedDevice = -1;
    monitor_->RaidSets().Refresh(*monitor_->Table(), controller);
    SelectRow(view_.sets, -1);
    ShowRaidInfo();
}

void HostBody::ShowDeviceInfo(const Device& device) {
    ApplyPanel(DrivePanel(device));
}

void HostBody::ShowRaidInfo() {
    const RaidSet* set = RaidSetOfRow(SelectedRowOf(view_.sets));
    if (set == nullptr) {
        ClearInfoValues();
        state_.selectedSet = -1;
        SelectRow(view_.sets, -1);
        ClearSetDisplay();
        UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
        return;
    }
    SelectRow(view_.devices, -1);
    OnDeviceSelectionChanged();
    EnableRebuildControls(true);
    ShowRebuildControlsForSet(*set);

    DiagramSelection selection{.kind = SelectionKind::Set};
    RaidSet members = *set;  // the member cursor moves while counting
    for (int n = 0; n < members.MemberCount(); ++n) {
        const std::uint8_t member = members.Member(n == 0 ? MemberOp::First : MemberOp::Next);
        if (member < selection.portsB.size()) {
            selection.portsB[member] = 1;
        }
    }
    selection.raidType = set->RaidType();
    selection.port = set->Port();
    UpdateDiagram(DiagramUpdate::DrawIfActive, selection);
    ApplyPanel(RaidSetPanel(*set));
}

void HostBody::ClearSetDisplay() {
    state_.selectedSet = -1;
    ClearInfoValues();
    {
        const QSignalBlocker blocker(view_.priority);
        view_.priority->setValue(0);
    }
    view_.progress->setValue(0);
    EnableRebuildControls(false);
    ShowRebuildCaptionsOnly();
}

void HostBody::NoteSelections() {
    state_.selectedDevice = SelectedRowOf(view_.devices);
    state_.selectedSet = SelectedRowOf(view_.sets);
    TellSessionSelection();
}

void HostBody::OnDeviceSelectionChanged() {
    const int row = SelectedRowOf(view_.devices);
    if (row < 0) {
        state_.lastDeviceRow = -1;
        return;
    }
    SelectRow(view_.sets, -1);
    OnSetSelectionChanged();

    DiagramSelection selection{.kind = SelectionKind::Drive};
    const Device* device = DeviceOfRow(row);
    if (row == state_.lastDeviceRow) {
        SelectRow(view_.devices, -1);
        state_.lastDeviceRow = -1;
        ClearInfoValues();
    } else {
        state_.lastDeviceRow = row;
        if (device != nullptr && device->Position() < selection.portsB.size()) {
            selection.portsB[device->Position()] = 1;
        }
    }
    UpdateDiagram(DiagramUpdate::DrawIfActive, selection);
    if (SelectedRowOf(view_.devices) == row && device != nullptr) {
        ShowDeviceInfo(*device);
    }
    NoteSelections();
}

void HostBody::OnSetSelectionChanged() {
    const int row = SelectedRowOf(view_.sets);
    if (state_.selectedSet == -1) {
        state_.selectedSet = row;
        EnableRebuildControls(true);
    } else if (row >= 0 && row == state_.selectedSet) {
        SelectRow(view_.sets, -1);
        ClearSetDisplay();
    }
    ShowRaidInfo();
    NoteSelections();
}

void HostBody::OnControllerTabChanged() {
    const int tab = view_.tabs->currentIndex();
    if (monitor_->ControllerCount() == 0 || tab < 0 || tab == state_.currentController) {
        return;
    }
    state_.currentController = static_cast<std::uint8_t>(tab);
    ShowControllerInfo(tab);
    ShowLists(tab);
    const Controller* c = monitor_->Table()->GetController(tab);
    if (c != nullptr && c->RaidSetCount() != 0) {
        SelectRow(view_.sets, 0);
        state_.selectedSet = 0;
        EnableRebuildControls(true);
    } else {
        ClearSetDisplay();
    }
    ShowRaidInfo();
    if (state_.selectedSet == -1) {
        UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
        ClearInfoValues();
    }
    TellSessionSelection();
}

void HostBody::UpdateDiagram(DiagramUpdate update,
                             const std::optional<DiagramSelection>& selection) {
    const DiagramState diagramState =
        MakeDiagramState(monitor_->Table()->GetController(state_.currentController), selection);
    if (update != DiagramUpdate::DrawIfActive) {
        state_.diagramActive = update == DiagramUpdate::ActivateAndDraw;
    }
    if (state_.diagramActive) {
        lastDiagram_ = diagramState;
        if (diagram_ != nullptr) {
            diagram_->Draw(diagramState);
        }
        // The picture in words, changed with the picture.
        platform::Announce(
            view_.diagram,
            DiagramDescription(diagramState, *monitor_->Table(), state_.currentController,
                               RaidSetOfRow(SelectedRowOf(view_.sets))));
    }
    view_.diagram->update();
}

void HostBody::ToggleFirstSet() {
    if (state_.selectedSet == -1) {
        if (const RaidSetTableModel& rows = monitor_->RaidSets(); rows.rowCount() > 0) {
            view_.sets->setCurrentIndex(rows.index(0, 0));
        }
        EnableRebuildControls(true);
        state_.selectedSet = 0;
    } else {
        view_.sets->clearSelection();
        view_.sets->setCurrentIndex(QModelIndex());
        ClearSetDisplay();
        state_.selectedSet = -1;
    }
    ShowRaidInfo();
    TellSessionSelection();
}

}  // namespace veltrix
