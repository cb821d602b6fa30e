#include "gui/settings/popup_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_parts.h"

namespace veltrix {

namespace {

constexpr int kSliderHeight = 96;

}  // namespace

PopupSettingsDialog::PopupSettingsDialog(bool enabled, int level, QWidget* parent)
    : QDialog(parent) {
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Popup Settings"
        qtTrId("settings.popup-settings"));

    enabled_ = new QCheckBox(
        //% "Enable Popupmessages"
        qtTrId("settings.enable-popupmessages"), this);
    platform::SetControlId(enabled_, kEnableId);
    enabled_->setChecked(enabled);

    auto* group = new QGroupBox(
        //% "Popup Infos"
        qtTrId("settings.popup-infos"), this);
    level_ = new QSlider(Qt::Vertical, group);
    platform::SetControlId(level_, kLevelId);
    level_->setRange(kLowestLevel, kHighestLevel);
    // The lowest level at the top, and the keys move the handle the way they point.
    level_->setInvertedAppearance(true);
    level_->setInvertedControls(true);
    level_->setTickPosition(QSlider::TicksRight);
    level_->setTickInterval(1);
    level_->setPageStep(1);
    level_->setFixedHeight(kSliderHeight);
    level_->setValue(level);

    // The three captions beside the slider's top, middle and bottom.
    auto* grid = new QGridLayout(group);
    grid->addWidget(level_, 0, 0, 5, 1);
    grid->addWidget(new QLabel(
                        //% "All events"
                        qtTrId("settings.all-events"), group),
                    0, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(
                        //% "Errors and Warnings"
                        qtTrId("settings.errors-and-warnings"), group),
                    2, 1, Qt::AlignVCenter);
    grid->addWidget(new QLabel(
                        //% "Errors only"
                        qtTrId("settings.errors-only"), group),
                    4, 1, Qt::AlignBottom);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);

    const platform::OkCancelRow buttons = platform::MakeOkCancelRow(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(enabled_);
    layout->addWidget(group);
    layout->addWidget(buttons.box);
}

bool PopupSettingsDialog::Enabled() const {
    return enabled_->isChecked();
}

int PopupSettingsDialog::Level() const {
    return level_->value();
}

}  // namespace veltrix
