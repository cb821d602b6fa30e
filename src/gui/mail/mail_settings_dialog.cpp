#include "gui/mail/mail_settings_dialog.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include <QDialogButtonBox>
#include "gui/mail/password_confirm_dialog.h"
#include "gui/mail/smtp_settings_dialog.h"
#include "gui/platform/control_id.h"
#include "gui/platform/dialog_parts.h"
#include "gui/platform/dialog_ui.h"

namespace veltrix {

namespace {

// The texts in the order of the dialog's edits.
constexpr std::array<std::string MailSettingsValues::*, 6> kTexts = {
    &MailSettingsValues::senderName, &MailSettingsValues::senderAddress,
    &MailSettingsValues::userName,   &MailSettingsValues::password,
    &MailSettingsValues::server,     &MailSettingsValues::recipient};
constexpr std::size_t kPasswordIndex = 3;

// The same text in every language.
constexpr char kNoMatch[] = "Keine Übereinstimmung!\nPasswort nicht geändert!";

QGroupBox* Group(QWidget* parent, const QString& title,
                 std::initializer_list<std::pair<QString, QWidget*>> rows) {
    auto* group = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(group);
    int r = 0;
    for (const auto& [caption, control] : rows) {
        auto* label = new QLabel(caption, group);
        label->setBuddy(control);
        grid->addWidget(label, r, 0);
        grid->addWidget(control, r, 1);
        ++r;
    }
    grid->setColumnStretch(1, 1);
    return group;
}

template <typename W>
W* WithId(W* widget, int id) {
    platform::SetControlId(widget, id);
    return widget;
}

QCheckBox* Check(QWidget* parent, int id, const QString& text, bool checked) {
    auto* check = WithId(new QCheckBox(text, parent), id);
    check->setChecked(checked);
    return check;
}

// 0 "All Events" at the top, 2 "Errors only" at the bottom; keys move the handle
// the way it is drawn.
QSlider* LevelSlider(QWidget* parent, int id, int level) {
    auto* slider = WithId(new QSlider(Qt::Vertical, parent), id);
    slider->setRange(0, 2);
    slider->setPageStep(1);
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setTickPosition(QSlider::TicksRight);
    slider->setValue(level);
    return slider;
}

// The level slider with a caption beside each of its three positions.
QVBoxLayout* LevelColumn(QWidget* parent, QSlider* level) {
    auto* levelCaptions = new QVBoxLayout;
    levelCaptions->addWidget(new QLabel(
        //% "All Events"
        qtTrId("mail.all-events"), parent));
    levelCaptions->addStretch(1);
    levelCaptions->addWidget(new QLabel(
        //% "Errors and Warnings"
        qtTrId("mail.errors-and-warnings"), parent));
    levelCaptions->addStretch(1);
    levelCaptions->addWidget(new QLabel(
        //% "Errors only"
        qtTrId("mail.errors-only"), parent));
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(level);
    levelRow->addLayout(levelCaptions);
    auto* levelColumn = new QVBoxLayout;
    // The caption names the slider for a screen reader.
    auto* caption = new QLabel(
        //% "Email level"
        qtTrId("mail.email-level"), parent);
    caption->setBuddy(level);
    levelColumn->addWidget(caption);
    levelColumn->addLayout(levelRow);
    return levelColumn;
}

}  // namespace

MailSettingsDialog::MailSettingsDialog(const MailSettingsValues& values, platform::DialogUi& ui,
                                       QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      initial_(values),
      smtp_(values.smtp),
      confirmed_(QString::fromStdString(values.password)) {
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Email settings"
        qtTrId("mail.email-settings"));

    QLineEdit* senderName = AddEdit(kSenderNameEdit, values.senderName);
    QLineEdit* senderAddress = AddEdit(kSenderAddressEdit, values.senderAddress);
    QLineEdit* userName = AddEdit(kUserNameEdit, values.userName);
    QLineEdit* password = AddEdit(kPasswordEdit, values.password);
    QLineEdit* server = AddEdit(kServerEdit, values.server);
    QLineEdit* recipient = AddEdit(kRecipientEdit, values.recipient);
    edits_ = {senderName, senderAddress, userName, password, server, recipient};
    password->setEchoMode(QLineEdit::Password);
    password->installEventFilter(this);

    active_ = Check(this, kActiveCheck,

                    //% "Activate Emailnotification"
                    qtTrId("mail.activate-emailnotification"), values.mailActive);
    testMail_ = Check(this, kTestMailCheck,

                      //% "Send a one-time test email"
                      qtTrId("mail.send-a-one-time-test-email"), values.sendTestMail);
    bootUp_ = Check(this, kBootUpCheck,

                    //% "Send bootup messages"
                    qtTrId("mail.send-bootup-messages"), values.bootUpMessages);
    level_ = LevelSlider(this, kLevelSlider, values.mailLevel);

    advanced_ = WithId(new QPushButton(
                           //% "advanced..."
                           qtTrId("mail.advanced"), this),
                       kAdvancedButton);
    advanced_->setAutoDefault(false);
    advanced_->setEnabled(values.hasSmtpOptions);
    connect(advanced_, &QPushButton::clicked, this, &MailSettingsDialog::OnAdvanced);
    LayOutControls();
}

// The three groups top to bottom, the checks beside the level, then OK and Cancel.
void MailSettingsDialog::LayOutControls() {
    const auto [senderName, senderAddress, userName, password, server, recipient] = edits_;
    const QString address =
        //% "Address:"
        qtTrId("mail.address");
    auto* recipientGroup = Group(this,
                                 //% "Recipient"
                                 qtTrId("mail.recipient"), {{address, recipient}});
    auto* senderGroup = Group(this,
                              //% "Sender"
                              qtTrId("mail.sender"),
                              {{//% "Name:"
                                qtTrId("mail.name"), senderName},
                               {address, senderAddress}});
    auto* serverGroup = Group(this,
                              //% "Outgoing mail server"
                              qtTrId("mail.outgoing-mail-server"),
                              {{//% "Host name / address:"
                                qtTrId("mail.host-name-address"), server},
                               {//% "User name:"
                                qtTrId("mail.user-name"), userName},
                               {//% "Password:"
                                qtTrId("mail.password"), password}});
    auto* advancedRow = new QHBoxLayout;
    advancedRow->addStretch(1);
    advancedRow->addWidget(advanced_);
    static_cast<QGridLayout*>(serverGroup->layout())->addLayout(advancedRow, 3, 0, 1, 2);

    auto* checks = new QVBoxLayout;
    checks->addWidget(active_);
    checks->addWidget(testMail_);
    checks->addWidget(bootUp_);
    checks->addStretch(1);

    auto* lower = new QHBoxLayout;
    lower->addLayout(checks, 1);
    lower->addLayout(LevelColumn(this, level_));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(recipientGroup);
    layout->addWidget(senderGroup);
    layout->addWidget(serverGroup);
    layout->addLayout(lower);
    const platform::OkCancelRow buttons = platform::MakeOkCancelRow(*this);
    layout->addWidget(buttons.box);
    // Tab goes as the dialog reads, top to bottom: the edits were made in another order.
    const std::array<QWidget*, 13> tabOrder = {
        recipient, senderName, senderAddress, server, userName,   password,      advanced_,
        active_,   testMail_,  bootUp_,       level_, buttons.ok, buttons.cancel};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    for (QLineEdit* edit : edits_) {
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 36);
    }
}

QLineEdit* MailSettingsDialog::AddEdit(int id, const std::string& text) {
    auto* edit = WithId(new QLineEdit(this), id);
    const QString shown = QString::fromStdString(text);
    // Typing stops at the limit; a longer text from the service is shown whole.
    edit->setMaxLength(std::max<int>(kMailTextLimit, static_cast<int>(shown.size())));
    edit->setText(shown);
    return edit;
}

QString MailSettingsDialog::PasswordText() const {
    return edits_[kPasswordIndex]->text();
}

MailSettingsValues MailSettingsDialog::Values() const {
    MailSettingsValues values = initial_;
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        const std::string& before = initial_.*kTexts[i];
        const QString text = edits_[i]->text();
        values.*kTexts[i] = text == QString::fromStdString(before) ? before : text.toStdString();
    }
    values.mailActive = active_->isChecked();
    values.sendTestMail = testMail_->isChecked();
    values.bootUpMessages = bootUp_->isChecked();
    values.mailLevel = level_->value();
    values.smtp = smtp_;
    return values;
}

void MailSettingsDialog::OnPasswordEdited() {
    QLineEdit* password = edits_[kPasswordIndex];
    const QString typed = password->text();
    if (typed == confirmed_ || confirming_) {
        return;
    }
    confirming_ = true;
    PasswordConfirmDialog confirm(this);
    if (ui_.RunModal(confirm) != QDialog::Rejected && confirm.Text() == typed) {
        confirmed_ = typed;
    } else {
        ui_.ShowMessage(kNoMatch);
        password->setText(confirmed_);
    }
    confirming_ = false;
}

void MailSettingsDialog::OnAdvanced() {
    SmtpSettingsDialog advanced(smtp_, initial_.hasTlsOptions, ui_, this);
    if (ui_.RunModal(advanced) == QDialog::Accepted) {
        smtp_ = advanced.Values();
    }
}

void MailSettingsDialog::accept() {
    if (!confirming_) {
        QDialog::accept();
    }
}

bool MailSettingsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edits_[kPasswordIndex] && event->type() == QEvent::FocusOut) {
        // Only a move to another control of this dialog; not the window losing the
        // focus to another one (the confirmation itself, a message box).
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            isVisible()) {
            OnPasswordEdited();
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace veltrix
