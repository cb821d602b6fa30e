#include "gui/mainwindow/popup_queue.h"

#include <QString>
#include <algorithm>
#include <utility>

namespace veltrix {

void PopupQueue::Push(std::string text, Severity severity) {
    if (entries_.size() < kMaxKept) {
        entries_.push_back({.text = std::move(text), .severity = severity});
    } else {
        ++uncounted_;
        uncountedSeverity_ = std::max(uncountedSeverity_, severity);
    }
    if (observer_) {
        observer_();
    }
}

PopupEntry PopupQueue::Summary(std::size_t count, Severity severity) {
    const QString text =

        //% "%1 more events — see the event log"
        qtTrId("popup.1-more-events-see-the-event-log").arg(count);
    return {.text = text.toStdString(), .severity = severity, .summary = true};
}

std::optional<PopupEntry> PopupQueue::Pop() {
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

std::optional<PopupEntry> PopupQueue::TakeSummary() {
    const std::size_t count = Size();
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

}  // namespace veltrix
