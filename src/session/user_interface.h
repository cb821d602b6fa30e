#pragma once
// What a conversation asks of the user: a message box that must be answered (or
// closed) before the conversation goes on, and the error report that ends up as a
// popup. The GUI implements them with real message boxes; tests replace them with a
// recorder that answers from a script.

#include <string>

namespace veltrix {

// Message box icons and button sets, with the answers the boxes return. The first
// button is the default one; YesNoDefaultNo makes No the default of Yes and No.
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class MessageAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

class UserQuestions {
  public:
    virtual ~UserQuestions() = default;

    // Shows a modal message box and returns the button the user chose. May be called
    // from the session's thread; it returns once the user has answered.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                                      MessageButtons buttons = MessageButtons::Ok) = 0;
};

// The answer a box gives when nobody can answer it (the program is ending).
inline MessageAnswer DefaultAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

class UserInterface : public UserQuestions {
  public:
    // Reports an error outside a dialog: a warning popup, whatever the popup level.
    virtual void ReportError(const std::string& text) = 0;
};

}  // namespace veltrix
