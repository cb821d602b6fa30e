// What the body shows of the monitor's reports: the login and its enumeration, the
// logoff, controllers read again, the events of a poll cycle; and the selection told
// to the session.

#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QSlider>
#include <QTabBar>

#include "gui/hostview/connect_progress.h"
#include "gui/hostview/host_body.h"
#include "gui/hostview/list_rows.h"
#include "gui/hostview/status_list.h"

namespace veltrix {

void HostBody::Bind() {
    // The monitor has taken its part of each report first.
    delete binding_;
    binding_ = new QObject(this);
    HostMonitor* m = monitor_;
    QObject* b = binding_;
    connect(m, &HostMonitor::Enumerated, b, [this](int count) { ShowEnumerated(count); });
    // What the enumeration does, from the login on; gone once the lists are filled.
    ConnectProgress* progress = view_.connectProgress;
    connect(m, &HostMonitor::EnumerationProgressed, b,
            [progress](const EnumerationStep& step) { progress->ShowStep(step); });
    connect(m, &HostMonitor::Enumerated, b, [progress] { progress->hide(); });
    connect(m, &HostMonitor::Disconnected, b, [progress] { progress->hide(); });
    connect(m, &HostMonitor::RebuildProgressed, b,
            [this](const RebuildView& view) { OnRebuildStep(view); });
    connect(m, &HostMonitor::EventLogged, b, [this] { heapRelease_.Note(1); });
    connect(m, &HostMonitor::ControllerReRead, b,
            [this](int controller) { OnControllerReRead(controller); });
    connect(m, &HostMonitor::EventsHandled, b, [this](bool pending, bool devices, bool sets) {
        OnEventsHandled(pending, devices, sets);
    });
}

void HostBody::ShowMonitor(HostMonitor& monitor) {
    if (&monitor == monitor_) {
        return;
    }
    monitor_ = &monitor;
    view_.devices->setModel(&monitor.Devices());
    view_.sets->setModel(&monitor.RaidSets());
    view_.eventLog->setModel(&monitor.Events());
    Bind();
    const QScopedValueRollback showingOnly(showingOnly_, true);
    ShowLoggedOff();
    DashValues(false);
    if (monitor_->IsConnected()) {
        ShowEnumerated(static_cast<int>(monitor_->ControllerCount()));
        // A running rebuild shows its last figures at once, not only from the next poll.
        if (const RebuildView* last = monitor_->LastRebuild(state_.currentController)) {
            RebuildView shown = *last;
            shown.showControls = true;
            OnRebuildStep(shown);
        }
    }
}

void HostBody::ShowConnecting() {
    UpdateDiagram(DiagramUpdate::ActivateAndDraw, DiagramSelection{.kind = SelectionKind::Connect});
    state_.selectedSet = -1;
    {
        const QSignalBlocker blocker(view_.priority);
        view_.priority->setValue(0);
    }
    TellSessionSelection();
}

void HostBody::ShowEnumerated(int controllerCount) {
    toldSelection_.reset();  // the session chose its own selection while it connected
    for (int i = 0; i < controllerCount; ++i) {
        const Controller* controller = monitor_->Table()->GetController(i);
        const std::string name = controller != nullptr ? controller->Name() : std::string();
        const QSignalBlocker blocker(view_.tabs);
        if (i == 0) {
            view_.tabs->setTabText(0, QString::fromStdString(name));
        } else {
            view_.tabs->insertTab(i, QString::fromStdString(name));
        }
        if (controller != nullptr && controller->RaidSetCount() != 0) {
            for (QWidget* control :
                 std::initializer_list<QWidget*>{view_.priority, view_.priorityHigh,
                                                 view_.priorityCaption, view_.priorityLow}) {
                control->show();
            }
        }
    }
    if (controllerCount == 0) {
        return;
    }

    state_.currentController = 0;
    ShowControllerInfo(0);
    ShowLists(0);
    const Controller* first = monitor_->Table()->GetController(0);
    if (first != nullptr && first->RaidSetCount() != 0) {
        state_.selectedSet = 0;
        SelectRow(view_.sets, 0);
        EnableRebuildControls(true);
        ShowRaidInfo();
    }
    if (state_.selectedSet == -1) {
        UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
    }
    view_.speed->setText(QStringLiteral("-"));
    TellSessionSelection();
}

void HostBody::ShowLoggedOff() {
    toldSelection_.reset();
    {
        const QSignalBlocker blocker(view_.tabs);
        view_.tabs->setTabText(0, QStringLiteral("---"));
        view_.tabs->setCurrentIndex(0);
        while (view_.tabs->count() > 1) {
            view_.tabs->removeTab(1);
        }
    }
    state_.currentController = 0;

    SelectRow(view_.sets, -1);
    ShowRaidInfo();
    ShowRebuildControls(false);
}

void HostBody::DashValues(bool quiet) {
    for (QLabel* value :
         {view_.controllerNumber, view_.driverVersion, view_.biosVersion, view_.chipset,
          view_.raid5Support, view_.jbodSupport, view_.pmSupport, view_.duration, view_.speed}) {
        value->setText(QStringLiteral("-"));
    }
    view_.percent->setText(QStringLiteral("0%"));
    view_.progress->setValue(0);
    for (QLabel* value : view_.infoValues) {
        value->setText(QStringLiteral("-"));
    }
    if (!quiet) {
        UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
    }
}

void HostBody::OnControllerReRead(int controller) {
    if (controller != state_.currentController) {
        return;
    }
    // The selected set stays selected where it moved to, or the row stays selected.
    const int keptKey = monitor_->RaidSets().KeyOf(state_.selectedSet);
    int keptSet = state_.selectedSet;
    ShowLists(controller);
    if (const int moved = monitor_->RaidSets().RowOf(keptKey); keptKey >= 0 && moved >= 0) {
        keptSet = moved;
    }
    const Controller* c = monitor_->Table()->GetController(controller);
    const int sets = c != nullptr ? c->RaidSetCount() : 0;
    if (keptSet != -1 && keptSet < sets) {
        state_.selectedSet = keptSet;
        EnableRebuildControls(true);
        SelectRow(view_.sets, keptSet);
    } else {
        state_.selectedSet = -1;
        ClearSetDisplay();
    }
    UpdateDiagram(DiagramUpdate::DrawIfActive, std::nullopt);
    TellSessionSelection();
}

void HostBody::OnEventsHandled(bool changesPending, bool devicesDirty, bool setsDirty) {
    heapRelease_.ReleaseIfDue();
    if (changesPending) {
        const int current = state_.currentController;
        // Each list keeps its selected object selected where it moved to.
        if (devicesDirty) {
            const int selected = state_.selectedDevice;
            state_.selectedDevice =
                monitor_->Devices().Refresh(*monitor_->Table(), current, selected);
            state_.lastDeviceRow = -1;
            SelectRow(view_.devices, state_.selectedDevice);
            if (selected != -1) {
                OnDeviceSelectionChanged();
            }
            if (state_.selectedSet != -1) {
                ShowRaidInfo();
            }
        }
        if (setsDirty) {
            const int selected = state_.selectedSet;
            state_.selectedSet =
                monitor_->RaidSets().Refresh(*monitor_->Table(), current, selected);
            SelectRow(view_.sets, state_.selectedSet);
            if (selected != -1) {
                EnableRebuildControls(true);
                ShowRaidInfo();
            } else {
                ClearSetDisplay();
            }
        }
        ShowControllerInfo(current);
    }
    SelectRow(view_.devices, state_.selectedDevice);
    SelectRow(view_.sets, state_.selectedSet);
    TellSessionSelection();
}

void HostBody::TellSessionSelection() {
    if (showingOnly_) {
        return;
    }
    const std::array<int, 3> selection = {state_.currentController,
                                          monitor_->RaidSets().ObjectIndexOf(state_.selectedSet),
                                          view_.priority->value()};
    if (toldSelection_ == selection) {
        return;
    }
    toldSelection_ = selection;
    monitor_->Session().SelectController(selection[0]);
    monitor_->Session().SelectSet(selection[1]);
    monitor_->Session().SetSliderPosition(selection[2]);
}

}  // namespace veltrix
