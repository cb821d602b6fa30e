// The ten rebuild controls: their visibility, enabling and the rebuild's figures.

#include <QLabel>
#include <QProgressBar>
#include <QSlider>

#include "gui/hostview/host_body.h"
#include "gui/platform/accessible_announcer.h"

namespace veltrix {

namespace {

// RAID types whose rebuild can be watched: mirror, mirror-stripe, RAID 5.
bool CanRebuild(std::uint8_t raidType) {
    return raidType == 1 || raidType == 2 || raidType == 16;
}

}  // namespace

std::array<QWidget*, 10> HostBodyView::RebuildControls() const {
    return {priority, priorityHigh,    priorityCaption, priorityLow, speedCaption,
            speed,    durationCaption, duration,        progress,    percent};
}

void HostBody::ShowRebuildControls(bool show) {
    for (QWidget* control : view_.RebuildControls()) {
        control->setVisible(show);
    }
}

void HostBody::EnableRebuildControls(bool enable) {
    for (QWidget* control : view_.RebuildControls()) {
        control->setEnabled(enable);
    }
}

void HostBody::ShowRebuildCaptionsOnly() {
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

void HostBody::ShowRebuildControlsForSet(const RaidSet& set) {
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

void HostBody::OnRebuildStep(const RebuildView& view) {
    if (view.controller != state_.currentController) {
        return;  // the user switched controllers meanwhile
    }
    if (!view.active) {
        view_.percent->setText(QStringLiteral(" "));
        view_.progress->setValue(0);
        view_.duration->setText(QStringLiteral("-"));
        return;
    }
    if (view.showControls) {
        ShowRebuildControls(true);
    }
    if (view.durationText) {
        view_.duration->setText(QString::fromStdString(*view.durationText));
    }
    view_.speed->setText(QString::fromStdString(view.speedText));
    view_.percent->setText(QString::fromStdString(view.percentText));
    view_.progress->setValue(view.percent);
    platform::Announce(view_.progress, view_.percent->text());
}

}  // namespace veltrix
