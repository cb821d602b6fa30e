#pragma once
// The user interface the windows talk to: message boxes and error reports (the
// core's UserInterface), file dialogs and modal runs of other dialogs. Tests answer
// all of it from a script.

#include <optional>
#include <string>

#include "session/user_interface.h"

class QDialog;

namespace veltrix::platform {

class DialogUi : public UserInterface {
  public:
    // A file to open or to save under, or nothing when the user cancels. `filter` is
    // a list like "ROM images (*.rom *.bin);;All files (*)"; `initialPath` a folder
    // or a file name to start with (may be empty).
    virtual std::optional<std::string> GetOpenFileName(const std::string& title,
                                                       const std::string& filter,
                                                       const std::string& initialPath) = 0;
    virtual std::optional<std::string> GetSaveFileName(const std::string& title,
                                                       const std::string& filter,
                                                       const std::string& initialPath) = 0;
    // Runs `dialog` modally and returns the result it ended with (QDialog::Accepted,
    // QDialog::Rejected).
    virtual int RunModal(QDialog& dialog) = 0;
};

}  // namespace veltrix::platform
