#include "gui/mainwindow/connect_progress.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <array>

#include "gui/platform/language.h"

namespace veltrix {

namespace {

struct StepTexts {
    const char* en;
    const char* de;
};

// By EnumerationStep::Part; %1 of %2 the controller, %3 of %4 the drive or set.
constexpr std::array<StepTexts, 4> kStepTexts = {{
    {"Reading the controllers\u2026", "Lese die Controller\u2026"},
    {"Reading controller %1 of %2\u2026", "Lese Controller %1 von %2\u2026"},
    {"Reading controller %1 of %2: drive %3 of %4\u2026",
     "Lese Controller %1 von %2: Laufwerk %3 von %4\u2026"},
    {"Reading controller %1 of %2: RAID set %3 of %4\u2026",
     "Lese Controller %1 von %2: RAID-Set %3 von %4\u2026"},
}};

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
    const StepTexts& texts = kStepTexts.at(static_cast<std::size_t>(step.part));
    QString text = platform::LocalCaption(texts.en, texts.de);
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
    QAccessibleEvent changed(text_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    emit StepShown(text_->text());
}

}  // namespace veltrix
