#pragma once
// The replies of a hostile service to one request, named for the rows of a test:
// silence, a late or cut reply, one longer than its record or beyond the frame, a
// `length` above the frame, an unexpected code.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "servicesim/service_sim.h"

namespace veltrix::testing {

inline std::vector<std::pair<std::string, sim::FaultSpec>> ReplyFaults(std::uint32_t code,
                                                                       std::uint32_t lateMs) {
    using Kind = sim::FaultSpec::Kind;
    return {
        {"Silent", {.code = code, .kind = Kind::Silent}},
        {"Late", {.code = code, .kind = Kind::Late, .delayMs = lateMs}},
        {"Close", {.code = code, .kind = Kind::Close}},
        {"Short", {.code = code, .kind = Kind::Short, .bytes = 5}},
        {"HeaderOnly", {.code = code, .kind = Kind::Short, .bytes = 6}},
        {"Longer", {.code = code, .kind = Kind::Oversized, .bytes = 1048 + 6}},
        {"BeyondTheFrame", {.code = code, .kind = Kind::Oversized, .bytes = 1400}},
        {"LengthAboveFrame", {.code = code, .kind = Kind::Length, .value = 1048}},
        {"UnexpectedCode", {.code = code, .kind = Kind::Code, .value = 0xDEAD}},
    };
}

}  // namespace veltrix::testing
