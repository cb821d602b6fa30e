#pragma once
// One request as the engine's handlers see it: its code and data, the simulated time
// and the outcome they fill in. Private to the engine's sources.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol/bytes.h"
#include "servicesim/engine.h"

namespace veltrix::sim {

struct Request {
    std::uint32_t code = 0;
    ByteView data;
    std::uint64_t nowMs = 0;
    Outcome outcome;

    // Replies carry the request's code.
    void Reply(std::span<const std::uint8_t> bytes);
    void ReplyU32(std::uint32_t value);
    // A text cut to `maxLength` bytes, without a NUL.
    void ReplyText(const std::string& text, std::size_t maxLength);
};

// The first bytes (at most 4) of a data message as a little-endian number.
std::uint32_t DataNumber(ByteView data);
// The text of a data message, cut to `maxLength`.
std::string DataText(ByteView data, std::size_t maxLength);

}  // namespace veltrix::sim
