#pragma once
// The queue of messages waiting to be shown as popups: filled on the GUI thread from
// the shown host's popup requests (and by anything else of the window that reports),
// emptied by the popup presenter one message at a time, in arrival order, or all at
// once as one summary. It keeps at most kMaxKept messages; beyond that only their
// number and the most serious severity among them, so a flood cannot grow it without
// bound. GUI thread only: the session's reports cross threads in the host's inbox.
// With several hosts each message carries its host's name, and a summary the names of
// the hosts it sums up.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/session_types.h"

namespace veltrix {

struct PopupEntry {
    std::string text;
    Severity severity = Severity::Information;
    // The host the message is about, empty with one host; a summary's names its hosts
    // ("a, b").
    std::string hostName{};
    // The entry sums up messages not shown one by one ("see the event log").
    bool summary = false;

    bool operator==(const PopupEntry&) const = default;
};

class PopupQueue {
  public:
    static constexpr std::size_t kMaxKept = 1000;

    // Appends an entry and calls the push observer.
    void Push(std::string text, Severity severity, std::string hostName = {});
    // The oldest entry, or nothing when the queue is empty. Past the kept messages it
    // gives one summary of those only counted.
    std::optional<PopupEntry> Pop();
    // Everything waiting as one entry ("37 more events — see the event log") with the
    // most serious severity among them; nothing when the queue is empty.
    std::optional<PopupEntry> TakeSummary();

    // Messages waiting, the only counted ones included.
    std::size_t Size() const { return entries_.size() + uncounted_; }
    // Called after every push; the presenter uses it to open the next box.
    void SetPushObserver(std::function<void()> observer) { observer_ = std::move(observer); }

  private:
    static PopupEntry Summary(std::size_t count, Severity severity,
                              const std::vector<std::string>& hosts);

    std::deque<PopupEntry> entries_;
    // Messages past kMaxKept: how many, and the most serious of them.
    std::size_t uncounted_ = 0;
    Severity uncountedSeverity_ = Severity::Information;
    // The hosts of those messages, each once, in the order they first came.
    std::vector<std::string> uncountedHosts_;
    std::function<void()> observer_;
};

}  // namespace veltrix
