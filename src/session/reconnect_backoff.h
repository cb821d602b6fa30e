#pragma once
// When the next automatic connect is tried after a lost connection or a failed
// connect: the first after 10 s, then 20 s, 40 s, ... at most 5 minutes, each later
// one moved by up to 10 % either way so that many clients do not come back at once.

#include <cstdint>
#include <random>

namespace veltrix {

class ReconnectBackoff {
  public:
    static constexpr int kFirstDelayMs = 10000;
    static constexpr int kMaxDelayMs = 5 * 60 * 1000;
    static constexpr int kJitterPercent = 10;

    explicit ReconnectBackoff(std::uint32_t seed = std::random_device{}()) : random_(seed) {}

    // The delay before the next try, counting it as one more try.
    int NextDelayMs();
    // A connect succeeded or the watch ended: the next sequence starts at 10 s.
    void Reset() { tries_ = 0; }
    // Tries scheduled since the last Reset.
    int Tries() const { return tries_; }

  private:
    int tries_ = 0;
    std::mt19937 random_;
};

}  // namespace veltrix
