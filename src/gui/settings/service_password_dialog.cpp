#include "gui/settings/service_password_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_parts.h"
#include "protocol/protocol.h"

namespace veltrix {

namespace {

// The same text in every language.
constexpr char kWrongOldPassword[] = "Falsches Passwort!";

QLineEdit* PasswordEdit(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    platform::SetControlId(edit, id);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

}  // namespace

ServicePasswordDialog::ServicePasswordDialog(UserQuestions& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Password change"
        qtTrId("settings.password-change"));
    oldPassword_ = PasswordEdit(this, kOldPasswordId);
    newPassword_ = PasswordEdit(this, kNewPasswordId);
    repeatedPassword_ = PasswordEdit(this, kRepeatedPasswordId);

    auto* fields = new QFormLayout;
    fields->addRow(
        //% "Old password"
        qtTrId("settings.old-password"), oldPassword_);
    fields->addRow(
        //% "New password"
        qtTrId("settings.new-password"), newPassword_);
    fields->addRow(
        //% "New password again"
        qtTrId("settings.new-password-again"), repeatedPassword_);
    const platform::OkCancelRow buttons = platform::MakeOkCancelRow(*this);
    ok_ = buttons.ok;
    cancel_ = buttons.cancel;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons.box);
    setTabOrder(oldPassword_, newPassword_);
    setTabOrder(newPassword_, repeatedPassword_);
    setTabOrder(repeatedPassword_, ok_);
    setTabOrder(ok_, cancel_);
    oldPassword_->setFocus();
    resize(sizeHint().width() * 5 / 4, sizeHint().height());

    connect(qApp, &QApplication::focusChanged, this, &ServicePasswordDialog::OnFocusChanged);
}

std::string ServicePasswordDialog::OldPassword() const {
    return oldPassword_->text().toStdString();
}

std::string ServicePasswordDialog::NewPassword() const {
    return newPassword_->text().toStdString();
}

std::string ServicePasswordDialog::RepeatedPassword() const {
    return repeatedPassword_->text().toStdString();
}

void ServicePasswordDialog::OnFocusChanged(QWidget* old, QWidget* now) {
    // Only a focus that leaves the old password for OK or the new password checks it;
    // towards Cancel, or by a click straight into the repetition, nothing is checked.
    if (old != oldPassword_ || (now != ok_ && now != newPassword_)) {
        return;
    }
    if (OldPassword() == currentPassword) {
        // Moved once the focus change has ended; a press on OK still completes.
        QMetaObject::invokeMethod(
            this, [this] { newPassword_->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
        return;
    }
    // A press on OK that took the focus must not close the dialog: OK waits until the
    // message has been shown and the focus is back in the old password.
    refusing_ = true;
    QMetaObject::invokeMethod(this, &ServicePasswordDialog::ReportWrongOldPassword,
                              Qt::QueuedConnection);
}

void ServicePasswordDialog::ReportWrongOldPassword() {
    if (!isVisible()) {
        refusing_ = false;  // closed meanwhile (Esc): nothing left to complain about
        return;
    }
    ui_.ShowMessage(kWrongOldPassword);
    oldPassword_->setFocus(Qt::OtherFocusReason);
    refusing_ = false;
}

void ServicePasswordDialog::accept() {
    if (refusing_) {
        return;
    }
    // The login block carries at most 99 characters: a longer password could never be
    // used to log in again.
    if (platform::WireLength(newPassword_->text()) > kMaxPasswordLength) {
        ui_.ShowMessage(
            //% "The new password is too long: a password has at most 99 characters.\n"
            //% "Password unchanged!"
            qtTrId("settings.the-new-password-is-too-long-a-passw").toStdString());
        newPassword_->setFocus(Qt::OtherFocusReason);
        newPassword_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace veltrix
