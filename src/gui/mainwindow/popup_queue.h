#pragma once
// The queue of messages waiting to be shown as popups: filled by the poll cycle (and
// by anything else that reports), emptied by the popup presenter one message at a
// time, in arrival order. Safe to push and pop from any thread.

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
    // Appends an entry and calls the push observer (on the pushing thread, outside
    // the queue's lock).
    void Push(std::string text, Severity severity);
    // The oldest entry, or nothing when the queue is empty. Never waits.
    std::optional<PopupEntry> Pop();
    // Waits until an entry is there (and returns it) or the queue is closed (nothing).
    std::optional<PopupEntry> WaitPop();
    // Wakes every waiter; later WaitPop calls return at once with what is left.
    void Close();

    bool IsClosed() const;
    std::size_t Size() const;
    // Called after every push; the presenter uses it to wake the GUI thread.
    void SetPushObserver(std::function<void()> observer);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<PopupEntry> entries_;
    bool closed_ = false;
    std::function<void()> observer_;
};

}  // namespace veltrix
