#include "servicesim/transcript_log.h"

namespace veltrix::sim {

void TranscriptLog::SetLimit(std::size_t limit) {
    std::lock_guard lock(mutex_);
    limit_ = limit;
}

void TranscriptLog::SetObserver(Observer observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

void TranscriptLog::Record(const TranscriptEntry& entry) {
    Observer observer;
    {
        std::lock_guard lock(mutex_);
        if (limit_ > 0 && entries_.size() >= limit_) {
            entries_.pop_front();
        }
        entries_.push_back(entry);
        observer = observer_;
    }
    changed_.notify_all();
    if (observer) {
        observer(entry);
    }
}

std::vector<TranscriptEntry> TranscriptLog::Entries() const {
    std::lock_guard lock(mutex_);
    return {entries_.begin(), entries_.end()};
}

void TranscriptLog::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

bool TranscriptLog::WaitForEntries(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return entries_.size() >= count; });
}

std::optional<TranscriptEntry> TranscriptLog::WaitForCode(std::uint32_t code,
                                                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    std::optional<TranscriptEntry> found;
    changed_.wait_for(lock, timeout, [&] {
        for (const TranscriptEntry& e : entries_) {
            if (!e.login && e.code == code) {
                found = e;
                return true;
            }
        }
        return false;
    });
    return found;
}

void TranscriptLog::CountAccepted() {
    {
        std::lock_guard lock(mutex_);
        ++accepted_;
    }
    changed_.notify_all();
}

void TranscriptLog::CountClosed() {
    {
        std::lock_guard lock(mutex_);
        ++closed_;
    }
    changed_.notify_all();
}

std::size_t TranscriptLog::Accepted() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

std::size_t TranscriptLog::Closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

bool TranscriptLog::WaitForClosed(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return closed_ >= count; });
}

}  // namespace veltrix::sim
