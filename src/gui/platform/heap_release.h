#pragma once
// Gives the heap's free memory back to the system after a burst of work. A flood of
// events (popups made and closed, lines logged and dropped) frees much memory in the
// middle of the heap, which the C library keeps for the program's lifetime; the
// program then stays as large as its worst minute. Once kBurst units of work were
// done, the free pages go back at the next quiet point (glibc's malloc_trim; elsewhere
// nothing happens).

#include <cstddef>

namespace veltrix::platform {

class HeapRelease {
  public:
    static constexpr std::size_t kBurst = 1000;

    // `units` of work done (events handled, lines logged).
    void Note(std::size_t units) { pending_ += units; }
    // A quiet point (the end of a poll cycle's events): gives the memory back when a
    // burst was done since the last time.
    void ReleaseIfDue();

  private:
    std::size_t pending_ = 0;
};

}  // namespace veltrix::platform
