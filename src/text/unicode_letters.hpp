#pragma once

namespace morvane::detail {

bool isLetterOrMarkSlow(char32_t c);

/// True for Unicode general categories L (letters) and M (marks).
inline bool isLetterOrMark(char32_t c) {
  if (c < 0x80) return ((c | 0x20) >= U'a' && (c | 0x20) <= U'z');
  return isLetterOrMarkSlow(c);
}

/// Unicode White_Space.
inline bool isWhiteSpace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

}  // namespace morvane::detail
