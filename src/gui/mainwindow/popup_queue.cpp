#include "gui/mainwindow/popup_queue.h"

#include <QString>
#include <algorithm>
#include <utility>

namespace veltrix {

void PopupQueue::Push(std::string text, Severity severity) {
    std::function<void()> observer;
    {
        std::lock_guard lock(mutex_);
        if (entries_.size() < kMaxKept) {
            entries_.push_back({std::move(text), severity});
        } else {
            ++uncounted_;
            uncountedSeverity_ = std::max(uncountedSeverity_, severity);
        }
        observer = observer_;
    }
    changed_.notify_all();
    if (observer) {
        observer();
    }
}

PopupEntry PopupQueue::Summary(std::size_t count, Severity severity) {
    const QString text =

        //% "%1 more events — see the event log"
        qtTrId("popup.1-more-events-see-the-event-log").arg(count);
    return {text.toStdString(), severity};
}

std::optional<PopupEntry> PopupQueue::PopLocked() {
    if (!entries_.empty()) {
        PopupEntry entry = std::move(entries_.front());
        entries_.pop_front();
        return entry;
    }
    if (uncounted_ == 0) {
        return std::nullopt;
    }
    PopupEntry summary = Summary(uncounted_, uncountedSeverity_);
    uncounted_ = 0;
    uncountedSeverity_ = Severity::Information;
    return summary;
}

std::optional<PopupEntry> PopupQueue::Pop() {
    std::lock_guard lock(mutex_);
    return PopLocked();
}

std::optional<PopupEntry> PopupQueue::TakeSummary() {
    std::lock_guard lock(mutex_);
    const std::size_t count = entries_.size() + uncounted_;
    if (count == 0) {
        return std::nullopt;
    }
    Severity severity = uncountedSeverity_;
    for (const PopupEntry& entry : entries_) {
        severity = std::max(severity, entry.severity);
    }
    entries_.clear();
    uncounted_ = 0;
    uncountedSeverity_ = Severity::Information;
    return Summary(count, severity);
}

std::optional<PopupEntry> PopupQueue::WaitPop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !entries_.empty() || uncounted_ != 0; });
    return PopLocked();
}

void PopupQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

bool PopupQueue::IsClosed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

std::size_t PopupQueue::Size() const {
    std::lock_guard lock(mutex_);
    return entries_.size() + uncounted_;
}

void PopupQueue::SetPushObserver(std::function<void()> observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

}  // namespace veltrix
