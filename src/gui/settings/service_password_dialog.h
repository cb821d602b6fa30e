#pragma once
// The change of the service password: the old password, the new one and the new one
// again. Leaving the old-password field towards OK or the new-password field checks
// it against the password the window logs in with; the owner compares the new
// password with its repetition after OK.

#include <QDialog>
#include <string>

#include "session/user_interface.h"

class QLineEdit;
class QPushButton;

namespace veltrix {

class ServicePasswordDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 149;
    static constexpr int kOldPasswordId = 1096;
    static constexpr int kNewPasswordId = 1097;
    static constexpr int kRepeatedPasswordId = 1098;

    // Messages go to `ui`.
    explicit ServicePasswordDialog(UserQuestions& ui, QWidget* parent = nullptr);

    // The password the window logs in with; set before the dialog opens.
    std::string currentPassword;

    std::string OldPassword() const;
    std::string NewPassword() const;
    std::string RepeatedPassword() const;

    // OK: refused while a wrong old password is being reported, and for a new password
    // longer than a login can carry.
    void accept() override;

  private:
    void OnFocusChanged(QWidget* old, QWidget* now);
    void ReportWrongOldPassword();

    UserQuestions& ui_;
    QLineEdit* oldPassword_ = nullptr;
    QLineEdit* newPassword_ = nullptr;
    QLineEdit* repeatedPassword_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    // A wrong old password is being reported; OK waits for it.
    bool refusing_ = false;
};

}  // namespace veltrix
