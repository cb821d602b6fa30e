#include "watch/report_inbox.h"

namespace veltrix {

void ReportInbox::Push(std::function<void()> call) {
    const std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    if (!drainPosted_) {
        drainPosted_ = true;
        QMetaObject::invokeMethod(this, &ReportInbox::Drain, Qt::QueuedConnection);
    }
}

void ReportInbox::Drain() {
    {
        // Calls pushed from now on post again: a modal loop inside a call then still
        // runs them.
        const std::lock_guard lock(mutex_);
        drainPosted_ = false;
    }
    for (;;) {
        std::function<void()> call;
        {
            const std::lock_guard lock(mutex_);
            if (calls_.empty()) {
                return;
            }
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
    }
}

}  // namespace veltrix
