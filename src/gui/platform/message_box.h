#pragma once
// Message boxes of the UserInterface: icon, buttons and answers mapped to Qt.

#include <QMessageBox>
#include <memory>

#include "session/user_interface.h"

namespace veltrix::platform {

// A message box ready to run: title, text, icon and buttons; the first button is the
// default one (No for YesNoDefaultNo), Esc answers Cancel where there is one (No for
// Yes/No).
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& title,
                                            const QString& text, MessageIcon icon,
                                            MessageButtons buttons);

QMessageBox::Icon ToQtIcon(MessageIcon icon);
// The answer for the button a box ended with; buttons it cannot show count as Cancel.
MessageAnswer AnswerFor(QMessageBox::StandardButton button);

}  // namespace veltrix::platform
