#pragma once
// The queue of messages waiting to be shown as popups: filled by the poll cycle (and
// by anything else that reports), emptied by the popup presenter one message at a
// time, in arrival order, or all at once as one summary. Safe to push and pop from any
// thread. It keeps at most kMaxKept messages; beyond that only their number and the
// most serious severity among them, so a flood cannot grow it without bound.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "session/session_types.h"

namespace veltrix {

struct PopupEntry {
    std::string text;
    Severity severity = Severity::Information;

    bool operator==(const PopupEntry&) const = default;
};

class PopupQueue {
  public:
    static constexpr std::size_t kMaxKept = 1000;

    // Appends an entry and calls the push observer (on the pushing thread, outside
    // the queue's lock).
    void Push(std::string text, Severity severity);
    // The oldest entry, or nothing when the queue is empty. Never waits. Past the kept
    // messages it gives one summary of those only counted.
    std::optional<PopupEntry> Pop();
    // Everything waiting as one entry ("37 more events — see the event log") with the
    // most serious severity among them; nothing when the queue is empty.
    std::optional<PopupEntry> TakeSummary();
    // Waits until an entry is there (and returns it) or the queue is closed (nothing).
    std::optional<PopupEntry> WaitPop();
    // Wakes every waiter; later WaitPop calls return at once with what is left.
    void Close();

    bool IsClosed() const;
    // Messages waiting, the only counted ones included.
    std::size_t Size() const;
    // Called after every push; the presenter uses it to wake the GUI thread.
    void SetPushObserver(std::function<void()> observer);

  private:
    std::optional<PopupEntry> PopLocked();
    static PopupEntry Summary(std::size_t count, Severity severity);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PopupEntry> entries_;
    // Messages past kMaxKept: how many, and the most serious of them.
    std::size_t uncounted_ = 0;
    Severity uncountedSeverity_ = Severity::Information;
    bool closed_ = false;
    std::function<void()> observer_;
};

}  // namespace veltrix
