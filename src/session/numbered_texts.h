#pragma once
// The message ids of the numbered texts ("101" ... "194"), ascending.

#include <array>
#include <cstddef>

namespace veltrix {

inline constexpr std::size_t kNumberedTextCount = 87;

extern const std::array<const char*, kNumberedTextCount> kNumberedTextIds;

}  // namespace veltrix
