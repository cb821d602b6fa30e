#include "gui/about/about_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_ui.h"
#include "gui/platform/service_mode.h"
#include "gui/resources/icons.h"
#include "gui/resources/main_window_ids.h"
#include "texts/format.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

using platform::SetControlId;

constexpr int kIconSize = 32;
// Version numbers from this one on count the revision.
constexpr int kRevisionCountedFrom = 3030100;

}  // namespace

void TakeServiceModeKey(int key) {
    if (key == kServiceModeFirstKey && platform::serviceKeyState == 4) {
        platform::serviceKeyState = 5;
    } else if (key == kServiceModeSecondKey && platform::serviceKeyState == 5) {
        platform::serviceKeyState = 6;
        platform::serviceMode = true;
    } else {
        platform::ResetServiceMode();
    }
}

std::string ServiceVersionText(bool connected, const ServiceConfig& config, int serviceVersion) {
    if (!connected) {
        return "  -";
    }
    std::string text =
        Format("%d.%d.%d", config.versionMajor, config.versionMinor, config.versionBuild);
    if (serviceVersion >= kRevisionCountedFrom && config.versionRevision != 0) {
        text += Format(".%d", config.versionRevision);
    }
    return text;
}

AboutDialog::AboutDialog(platform::DialogUi& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    SetControlId(this, about_id::kDialog);
    setWindowTitle(
        //% "About Kavotronik Veltrix"
        qtTrId("about.about-kavotronik-veltrix"));

    auto* icon = new QLabel(this);
    SetControlId(icon, icon_id::kApplication);
    icon->setPixmap(ProgramPixmap(icon_id::kApplication, kIconSize));
    clientVersion_ = new QLabel(this);
    SetControlId(clientVersion_, about_id::kClientVersion);
    serviceVersion_ = new QLabel(this);
    SetControlId(serviceVersion_, about_id::kServiceVersion);
    auto* ok = new QPushButton(
        //% "OK"
        qtTrId("dialog.ok"), this);
    SetControlId(ok, about_id::kOk);
    ok->setDefault(true);
    // No control takes the keyboard: every key reaches the box and its key filter,
    // Return presses OK and Esc closes the box.
    ok->setFocusPolicy(Qt::NoFocus);
    connect(ok, &QPushButton::clicked, this, &AboutDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(
                        //% "Kavotronik Veltrix Version"
                        qtTrId("about.version"), this),
                    0, 1);
    grid->addWidget(clientVersion_, 0, 2);
    grid->addWidget(new QLabel(
                        //% "Kavotronik Veltrix Service:"
                        qtTrId("about.kavotronik-veltrix-service"), this),
                    1, 1);
    grid->addWidget(serviceVersion_, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("00.00.00.00")));
    grid->addWidget(ok, 0, 3, 2, 1, Qt::AlignTop);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::SetVersionTexts(const std::string& client, const std::string& service) {
    clientVersion_->setText(QString::fromStdString(client));
    serviceVersion_->setText(QString::fromStdString(service));
}

void AboutDialog::accept() {
    if (serviceVersion_->text().size() > kMaxServiceVersionLength) {
        ui_.ShowMessage(
            //% "Please enter no more than 11 characters."
            qtTrId("about.please-enter-no-more-than-11-charact").toStdString(),
            MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    QDialog::accept();
}

bool AboutDialog::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        TakeServiceModeKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QDialog::event(event);
}

}  // namespace veltrix
