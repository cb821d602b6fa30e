#include "gui/hostview/connect_progress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <array>

#include "gui/platform/accessible_announcer.h"

namespace veltrix {

namespace {

// By EnumerationStep::Part, as message ids; %1 of %2 the controller, %3 of %4 the drive
// or set.
// clang-format off
constexpr std::array<const char*, 4> kStepTexts = {
    //% "Reading the controllers…"
    QT_TRID_NOOP("progress.reading-controllers"),
    //% "Reading controller %1 of %2…"
    QT_TRID_NOOP("progress.reading-controller"),
    //% "Reading controller %1 of %2: drive %3 of %4…"
    QT_TRID_NOOP("progress.reading-controller-drive"),
    //% "Reading controller %1 of %2: RAID set %3 of %4…"
    QT_TRID_NOOP("progress.reading-controller-set"),
};
// clang-format on

}  // namespace

ConnectProgress::ConnectProgress(QWidget* parent)
    : QWidget(parent), text_(new QLabel(this)), bar_(new QProgressBar(this)) {
    setObjectName(QLatin1String(kObjectName));
    text_->setObjectName(QLatin1String(kTextObjectName));
    bar_->setObjectName(QStringLiteral("connectProgressBar"));
    bar_->setRange(0, 0);  // busy: the number of requests is not known ahead
    bar_->setTextVisible(false);
    bar_->setMaximumWidth(160);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_, 1);
    layout->addWidget(bar_);
    hide();
}

QString ConnectProgress::Text(const EnumerationStep& step) {
    QString text = qtTrId(kStepTexts.at(static_cast<std::size_t>(step.part)));
    if (step.part != EnumerationStep::Part::Start) {
        text = text.arg(step.controller + 1).arg(step.controllers);
    }
    if (step.part == EnumerationStep::Part::Drive || step.part == EnumerationStep::Part::Set) {
        text = text.arg(step.index + 1).arg(step.count);
    }
    return text;
}

void ConnectProgress::ShowStep(const EnumerationStep& step) {
    text_->setText(Text(step));
    bar_->setAccessibleName(text_->text());
    show();
    platform::Announce(bar_, text_->text());
    emit StepShown(text_->text());
}

}  // namespace veltrix
