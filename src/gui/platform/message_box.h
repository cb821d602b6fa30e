#pragma once
// Message boxes of the UserInterface: icon, buttons and answers mapped to Qt; each box
// as wide as its title needs in a window manager's title bar.

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

// A title or text that belongs to one of several watched hosts, "name — text"; the
// text alone when the name is empty (one host).
QString WithHostName(const QString& hostName, const QString& text);

// The width a window needs to show `title` uncut in a window manager's title bar, with
// its icon and buttons beside it (at most the screen's).
int TitleBarWidth(const QString& title);

QMessageBox::Icon ToQtIcon(MessageIcon icon);
// The answer for the button a box ended with; buttons it cannot show count as Cancel.
MessageAnswer AnswerFor(QMessageBox::StandardButton button);

}  // namespace veltrix::platform
