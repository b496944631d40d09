#pragma once

namespace morvane::detail {

/// "0" to "9", the only digits pattern and exception text knows.
constexpr bool isAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace morvane::detail
