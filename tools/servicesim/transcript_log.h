#pragma once
// What the simulated service received, message by message, and how many connections
// it accepted and closed; tests wait on it. Thread-safe.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "servicesim/engine.h"

namespace veltrix::sim {

// One received message.
struct TranscriptEntry {
    std::uint64_t timeMs = 0;      // real milliseconds since Start()
    std::uint32_t connection = 0;  // 1 for the first accepted connection, and so on
    Outcome::Kind kind = Outcome::Kind::Request;
    bool login = false;              // the login block
    std::uint32_t code = 0;          // frame code (0 for the login block)
    std::uint16_t length = 0;        // frame length field (login: the block's size)
    std::vector<std::uint8_t> data;  // bytes after the 6-byte header (login: the whole block)
    std::size_t size = 0;            // bytes received in this message
};

class TranscriptLog {
  public:
    using Observer = std::function<void(const TranscriptEntry&)>;

    // Entries kept (the oldest go first); 0: all.
    void SetLimit(std::size_t limit);
    // Called for every recorded entry, outside the log's lock.
    void SetObserver(Observer observer);

    void Record(const TranscriptEntry& entry);
    std::vector<TranscriptEntry> Entries() const;
    void Clear();
    bool WaitForEntries(std::size_t count, std::chrono::milliseconds timeout) const;
    // The first entry with `code` (not the login block).
    std::optional<TranscriptEntry> WaitForCode(std::uint32_t code,
                                               std::chrono::milliseconds timeout) const;

    void CountAccepted();
    void CountClosed();
    std::size_t Accepted() const;
    std::size_t Closed() const;
    bool WaitForClosed(std::size_t count, std::chrono::milliseconds timeout) const;

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<TranscriptEntry> entries_;
    std::size_t limit_ = 0;
    std::size_t accepted_ = 0;
    std::size_t closed_ = 0;
    Observer observer_;
};

}  // namespace veltrix::sim
