#include "gui/mail/password_confirm_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/platform/control_id.h"
#include "texts/strings.h"

namespace veltrix {

namespace {}  // namespace

PasswordConfirmDialog::PasswordConfirmDialog(QWidget* parent) : QDialog(parent) {
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Confirm password"
        qtTrId("mail.confirm-password"));

    auto* label = new QLabel(

        //% "Please repeat your password"
        qtTrId("mail.please-repeat-your-password"), this);
    password_ = new QLineEdit(this);
    platform::SetControlId(password_, kPasswordEdit);
    password_->setEchoMode(QLineEdit::Password);
    label->setBuddy(password_);

    auto* ok = new QPushButton(
        //% "OK"
        qtTrId("dialog.ok"), this);
    platform::SetControlId(ok, 1);
    ok->setDefault(true);
    auto* cancel = new QPushButton(
        //% "Cancel"
        qtTrId("mail.cancel"), this);
    platform::SetControlId(cancel, 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(password_);
    layout->addLayout(buttons);
    password_->setMinimumWidth(password_->fontMetrics().averageCharWidth() * 30);
    password_->setFocus();
}

QString PasswordConfirmDialog::Text() const {
    return password_->text();
}

}  // namespace veltrix
