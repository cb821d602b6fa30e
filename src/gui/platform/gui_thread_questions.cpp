#include "gui/platform/gui_thread_questions.h"

#include <QThread>

namespace veltrix::platform {

struct GuiThreadQuestions::Pending {
    bool done = false;
    MessageAnswer answer = MessageAnswer::Ok;
};

GuiThreadQuestions::GuiThreadQuestions(UserQuestions& target, QObject* guiContext)
    : target_(target), context_(guiContext) {}

MessageAnswer GuiThreadQuestions::ShowMessage(const std::string& text, MessageIcon icon,
                                              MessageButtons buttons) {
    if (context_ == nullptr) {
        return DefaultAnswer(buttons);
    }
    if (QThread::currentThread() == context_->thread()) {
        return target_.ShowMessage(text, icon, buttons);
    }
    auto pending = std::make_shared<Pending>();
    {
        const std::lock_guard lock(mutex_);
        if (abandoned_) {
            return DefaultAnswer(buttons);
        }
    }
    QMetaObject::invokeMethod(
        context_.data(),
        [this, pending, text, icon, buttons] {
            {
                const std::lock_guard lock(mutex_);
                if (abandoned_) {
                    return;  // the asker has been given its default answer
                }
            }
            const MessageAnswer answer = target_.ShowMessage(text, icon, buttons);
            const std::lock_guard lock(mutex_);
            pending->answer = answer;
            pending->done = true;
            answered_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return pending->done || abandoned_; });
    return pending->done ? pending->answer : DefaultAnswer(buttons);
}

void GuiThreadQuestions::Abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    answered_.notify_all();
}

}  // namespace veltrix::platform
