// What the main window shows of the current controller: its area, the drive and RAID
// set lists, the information group, the selections and the controller picture.

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>

#include "gui/diagram/diagram_area.h"
#include "gui/diagram/diagram_pictures.h"
#include "gui/mainwindow/diagram_description.h"
#include "gui/mainwindow/info_panels.h"
#include "gui/mainwindow/list_rows.h"
#include "gui/mainwindow/main_window.h"
#include "gui/mainwindow/status_list.h"
#include "gui/platform/accessible_announcer.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "model/status_texts.h"

namespace veltrix {

void MainWindow::ApplyPanel(const std::vector<PanelItem>& panel) {
    for (const PanelItem& step : panel) {
        QWidget* control = platform::FindControl<QWidget>(*this, step.controlId);
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

void MainWindow::ClearInfoValues() {
    for (QLabel* value : view_.infoValues) {
        value->clear();
    }
}

void MainWindow::ShowControllerInfo(int controller) {
    if (const Controller* c = monitor_->Table()->GetController(controller)) {
        ApplyPanel(ControllerPanel(*c, controller));
    }
}

const Device* MainWindow::DeviceOfRow(int row) const {
    return monitor_->Table()->GetDevice(state_.currentController,
                                        monitor_->Devices().ObjectIndexOf(row));
}

const RaidSet* MainWindow::RaidSetOfRow(int row) const {
    return monitor_->Table()->GetRaidSet(state_.currentController,
                                         monitor_->RaidSets().ObjectIndexOf(row));
}

void MainWindow::ShowLists(int controller) {
    monitor_->Devices().Refresh(*monitor_->Table(), controller);
    SelectRow(view_.devices, -1);
    state_.lastDeviceRow = -1;
    state_.selectedDevice = -1;
    monitor_->RaidSets().Refresh(*monitor_->Table(), controller);
    SelectRow(view_.sets, -1);
    ShowRaidInfo();
}

void MainWindow::ShowDeviceInfo(const Device& device) {
    ApplyPanel(DrivePanel(device));
}

void MainWindow::ShowRaidInfo() {
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

void MainWindow::ClearSetDisplay() {
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

void MainWindow::NoteSelections() {
    state_.selectedDevice = SelectedRowOf(view_.devices);
    state_.selectedSet = SelectedRowOf(view_.sets);
    TellSessionSelection();
}

void MainWindow::OnDeviceSelectionChanged() {
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

void MainWindow::OnSetSelectionChanged() {
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

void MainWindow::OnControllerTabChanged() {
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

void MainWindow::UpdateDiagram(DiagramUpdate update,
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

void MainWindow::ShowBetaBadge(bool show) {
    if (show && view_.betaBadge->pixmap().isNull()) {
        view_.betaBadge->setPixmap(KeyedPicture(picture_id::kBetaBadge));
    }
    view_.betaBadge->setVisible(show);
}

}  // namespace veltrix
