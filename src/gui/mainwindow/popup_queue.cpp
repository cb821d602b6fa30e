#include "gui/mainwindow/popup_queue.h"

#include <QString>
#include <algorithm>
#include <utility>

namespace veltrix {

namespace {

// Adds a host's name to the names of a summary, once; one host has none.
void NoteHost(std::vector<std::string>& hosts, const std::string& hostName) {
    if (!hostName.empty() && std::find(hosts.begin(), hosts.end(), hostName) == hosts.end()) {
        hosts.push_back(hostName);
    }
}

std::string JoinHosts(const std::vector<std::string>& hosts) {
    std::string joined;
    for (const std::string& host : hosts) {
        joined += (joined.empty() ? "" : ", ") + host;
    }
    return joined;
}

}  // namespace

void PopupQueue::Push(std::string text, Severity severity, std::string hostName) {
    if (entries_.size() < kMaxKept) {
        entries_.push_back(
            {.text = std::move(text), .severity = severity, .hostName = std::move(hostName)});
    } else {
        ++uncounted_;
        uncountedSeverity_ = std::max(uncountedSeverity_, severity);
        NoteHost(uncountedHosts_, hostName);
    }
    if (observer_) {
        observer_();
    }
}

PopupEntry PopupQueue::Summary(std::size_t count, Severity severity,
                               const std::vector<std::string>& hosts) {
    const QString text =

        //% "%1 more events — see the event log"
        qtTrId("popup.1-more-events-see-the-event-log").arg(count);
    return {.text = text.toStdString(),
            .severity = severity,
            .hostName = JoinHosts(hosts),
            .summary = true};
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
    PopupEntry summary = Summary(uncounted_, uncountedSeverity_, uncountedHosts_);
    uncounted_ = 0;
    uncountedSeverity_ = Severity::Information;
    uncountedHosts_.clear();
    return summary;
}

std::optional<PopupEntry> PopupQueue::TakeSummary() {
    const std::size_t count = Size();
    if (count == 0) {
        return std::nullopt;
    }
    Severity severity = uncountedSeverity_;
    std::vector<std::string> hosts;
    for (const PopupEntry& entry : entries_) {
        severity = std::max(severity, entry.severity);
        NoteHost(hosts, entry.hostName);
    }
    for (const std::string& host : uncountedHosts_) {
        NoteHost(hosts, host);
    }
    entries_.clear();
    uncounted_ = 0;
    uncountedSeverity_ = Severity::Information;
    uncountedHosts_.clear();
    return Summary(count, severity, hosts);
}

}  // namespace veltrix
