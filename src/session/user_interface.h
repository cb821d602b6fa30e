#pragma once
// What the core asks of the user interface: modal message boxes and the error
// report that ends up in the popup queue. The GUI implements it with real message
// boxes; tests replace it with a recorder that answers from a script.

#include <string>

namespace veltrix {

// Message box icons and button sets, with the answers the boxes return.
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // Shows a modal message box and returns the button the user chose.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                                      MessageButtons buttons = MessageButtons::Ok) = 0;

    // Reports an error outside a dialog: a warning popup, whatever the popup level.
    virtual void ReportError(const std::string& text) = 0;
};

}  // namespace veltrix
