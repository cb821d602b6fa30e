#pragma once
// Dialog 129 "Email settings": the service's e-mail notification settings as the
// e-mail exchange read them. The dialog only holds and edits the values; reading and
// writing them belongs to the main window's command.
//
// A changed SMTP password must be typed again (dialog 133) when the field loses the
// focus to another control of the dialog; a repetition that does not match, or none,
// puts the password confirmed last back at once.

#include <QDialog>
#include <QString>
#include <array>

#include "session/mail_settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace veltrix {

namespace platform {
class DialogUi;
}

class MailSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 129;
    static constexpr int kSenderNameEdit = 1005;
    static constexpr int kRecipientEdit = 1006;
    static constexpr int kSenderAddressEdit = 1024;
    static constexpr int kUserNameEdit = 1025;
    static constexpr int kPasswordEdit = 1026;
    static constexpr int kServerEdit = 1027;
    static constexpr int kActiveCheck = 1034;
    static constexpr int kTestMailCheck = 1035;
    static constexpr int kBootUpCheck = 1097;
    static constexpr int kLevelSlider = 1095;
    static constexpr int kAdvancedButton = 1133;

    // `values` fill the controls; `ui` runs the password confirmation and the advanced
    // dialog and shows their messages.
    MailSettingsDialog(const MailSettingsValues& values, platform::DialogUi& ui,
                       QWidget* parent = nullptr);

    // The values as the controls show them. A text the user left as it was keeps the
    // service's bytes exactly.
    MailSettingsValues Values() const;
    QString PasswordText() const;
    // The password read from the service or confirmed by the user last.
    const QString& ConfirmedPassword() const { return confirmed_; }

    // The password field lost the focus to another control of the dialog.
    void OnPasswordEdited();
    // Button 1133 "advanced...".
    void OnAdvanced();

    // Enter does nothing while the password confirmation runs.
    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* AddEdit(int id, const std::string& text);
    void LayOutControls();

    platform::DialogUi& ui_;
    MailSettingsValues initial_;
    SmtpOptions smtp_;
    QString confirmed_;
    bool confirming_ = false;
    // Sender name, sender address, user name, password, server, recipient.
    std::array<QLineEdit*, 6> edits_{};
    QCheckBox* active_;
    QCheckBox* testMail_;
    QCheckBox* bootUp_;
    QSlider* level_;
    QPushButton* advanced_;
};

}  // namespace veltrix
