#pragma once
// Dialog 133 "Confirm password": the user types a password a second time. It has no
// checks of its own; its owner compares the text with the first entry, exactly.

#include <QDialog>
#include <QString>

class QLineEdit;

namespace veltrix {

class PasswordConfirmDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 133;
    static constexpr int kPasswordEdit = 1026;

    explicit PasswordConfirmDialog(QWidget* parent = nullptr);

    // What the user typed.
    QString Text() const;

  private:
    QLineEdit* password_;
};

}  // namespace veltrix
