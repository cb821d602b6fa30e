#pragma once
// Questions asked from the session's thread, answered on the GUI thread: the box is
// shown there, and the asking thread waits for the answer while the window goes on
// painting and taking input. Once abandoned (the program is ending) every question
// gets its default answer at once, also one that waits right now.

#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "session/user_interface.h"

namespace veltrix::platform {

class GuiThreadQuestions : public UserQuestions {
  public:
    // `target` shows the boxes on the thread of `guiContext`; both must outlive this.
    GuiThreadQuestions(UserQuestions& target, QObject* guiContext);

    MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                              MessageButtons buttons) override;
    void Abandon();

  private:
    struct Pending;
    UserQuestions& target_;
    QPointer<QObject> context_;
    std::mutex mutex_;
    std::condition_variable answered_;
    bool abandoned_ = false;
};

}  // namespace veltrix::platform
