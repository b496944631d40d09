#pragma once

#include <cstdint>
#include <limits>

#include "morvane/error.hpp"

namespace morvane::detail {

/// `value` as a 32-bit index into a compiled table; a table that would need
/// more is refused rather than wrapped.
template <class T>
std::uint32_t narrowIndex(T value) {
  if (value >= std::numeric_limits<std::uint32_t>::max()) throw Error("pattern table too large");
  return static_cast<std::uint32_t>(value);
}

}  // namespace morvane::detail
