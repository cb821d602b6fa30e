#include "gui/mainwindow/popup_queue.h"

#include <utility>

namespace veltrix {

void PopupQueue::Push(std::string text, Severity severity) {
    std::function<void()> observer;
    {
        std::lock_guard lock(mutex_);
        entries_.push_back({std::move(text), severity});
        observer = observer_;
    }
    changed_.notify_all();
    if (observer) {
        observer();
    }
}

std::optional<PopupEntry> PopupQueue::Pop() {
    std::lock_guard lock(mutex_);
    if (entries_.empty()) {
        return std::nullopt;
    }
    PopupEntry entry = std::move(entries_.front());
    entries_.pop_front();
    return entry;
}

std::optional<PopupEntry> PopupQueue::WaitPop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !entries_.empty(); });
    if (entries_.empty()) {
        return std::nullopt;
    }
    PopupEntry entry = std::move(entries_.front());
    entries_.pop_front();
    return entry;
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
    return entries_.size();
}

void PopupQueue::SetPushObserver(std::function<void()> observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

}  // namespace veltrix
