#pragma once
// The faults the simulated service injects: which one hits a message, how often it
// still does, and what it does to the replies. Not thread-safe: the owner serialises
// access.

#include <cstdint>
#include <optional>
#include <vector>

#include "servicesim/engine.h"
#include "servicesim/scenario.h"

namespace veltrix::sim {

class FaultInjector {
  public:
    explicit FaultInjector(const std::vector<FaultSpec>& faults);

    // Replaces an earlier fault of the same sort for the same code: a drop fault an
    // earlier drop fault, any other kind any other kind.
    void Set(const FaultSpec& fault);
    void Clear();
    // Drop faults count the replies of each connection afresh.
    void StartConnection();

    // The fault other than a drop that hits a message with `faultCode`, counted as one
    // occurrence; nothing when none.
    std::optional<FaultSpec> Take(std::uint32_t faultCode, bool request);
    // A drop fault lets only its budget of replies out; the one that reaches its count
    // sends what is left of it and closes the connection.
    void ApplyDrop(std::uint32_t faultCode, bool request, Outcome& outcome);

  private:
    struct ActiveFault {
        FaultSpec spec;
        std::uint32_t repliesLeft = 0;  // Drop: replies still sent on this connection
    };

    // The fault of the drop sort or of the other sort that hits a message with
    // `faultCode` (a request's own fault, then for a write block the fault of all
    // blocks, then an "any" fault); nullptr when none.
    ActiveFault* Find(std::uint32_t faultCode, bool request, bool drop);
    ActiveFault* FindExact(std::uint32_t code, bool drop);
    // Takes one occurrence of `fault`; removes it after its last one.
    void Use(ActiveFault* fault);

    std::vector<ActiveFault> faults_;
};

// What a Silent, Short, Oversized, Length, Code or Patch fault does to the replies
// (the other kinds leave them as they are).
void ShapeReplies(const FaultSpec& fault, std::vector<std::vector<std::uint8_t>>& replies);

}  // namespace veltrix::sim
