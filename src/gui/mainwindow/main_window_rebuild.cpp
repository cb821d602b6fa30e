// Visibility and enabling of the ten rebuild controls.

#include <QLabel>
#include <QProgressBar>
#include <QSlider>

#include "gui/mainwindow/main_window.h"

namespace veltrix {

namespace {

// RAID types whose rebuild can be watched: mirror, mirror-stripe, RAID 5.
bool CanRebuild(std::uint8_t raidType) {
    return raidType == 1 || raidType == 2 || raidType == 16;
}

}  // namespace

void MainWindow::ShowRebuildControls(bool show) {
    for (QWidget* control : view_.RebuildControls()) {
        control->setVisible(show);
    }
}

void MainWindow::EnableRebuildControls(bool enable) {
    for (QWidget* control : view_.RebuildControls()) {
        control->setEnabled(enable);
    }
}

void MainWindow::ShowRebuildCaptionsOnly() {
    for (QWidget* control : std::initializer_list<QWidget*>{
             view_.priority, view_.priorityHigh, view_.priorityCaption, view_.priorityLow,
             view_.speedCaption, view_.durationCaption}) {
        control->show();
    }
    for (QWidget* control : std::initializer_list<QWidget*>{view_.speed, view_.duration,
                                                            view_.percent, view_.progress}) {
        control->hide();
    }
}

void MainWindow::ShowRebuildControlsForSet(const RaidSet& set) {
    {
        const QSignalBlocker blocker(view_.priority);
        view_.priority->setValue(set.Priority());
    }
    if (set.RebuildSeen()) {
        ShowRebuildControls(true);
        return;
    }
    ShowRebuildCaptionsOnly();
    if (!CanRebuild(set.RaidType())) {
        ShowRebuildControls(false);
    }
}

}  // namespace veltrix
