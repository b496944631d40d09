#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/utf8.hpp"
#include "text/unicode.hpp"

namespace morvane::detail {

/// One unit of a text as the text layer reads it: a character, or something
/// copied as it is and never part of a word (a byte that is not UTF-8, a
/// character reference that stands for no single character).
struct TextUnit {
  char32_t value = 0;
  std::size_t length = 1;  // code units of the text it takes
  bool valid = false;      // a character, `value`
};

/// Text in UTF-8: a unit is a character or a byte of invalid UTF-8.
struct Utf8Units {
  using Char = char;
  /// Whether plain ASCII may be scanned a block at a time (AsciiBlock), and
  /// whether "&" starts a unit of its own.
  static constexpr bool kAsciiBlocks = true;
  static constexpr bool kAmpersandStarts = false;
  /// True when the code unit `c` (as an unsigned value) is a character by
  /// itself, below U+10000, whose value is `c`: the common case, read
  /// without calling `read`.
  static bool isWhole(std::uint32_t c) { return c < 0x80; }
  /// The text_class bits of a whole unit.
  static std::uint8_t wholeClass(std::uint32_t c) { return kAsciiClasses[c]; }
  /// The unit at `at`, or nothing when `text` ends inside it and more may
  /// come (`final` false).
  static std::optional<TextUnit> read(std::string_view text, std::size_t at, bool final) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return TextUnit{lead, 1, true};
    char32_t c = 0;
    if (const std::size_t length = decodeUtf8Char(text.substr(at), c); length != 0) {
      return TextUnit{c, length, true};
    }
    if (!final && startsTruncatedUtf8(text.substr(at))) return std::nullopt;
    return TextUnit{};
  }
};

/// Text in code points: values beyond Unicode are copied as they are.
struct Utf32Units {
  using Char = char32_t;
  static constexpr bool kAsciiBlocks = false;
  static constexpr bool kAmpersandStarts = false;
  static bool isWhole(std::uint32_t c) { return c < 0xD800; }
  static std::uint8_t wholeClass(std::uint32_t c) { return classOf(c); }
  static std::optional<TextUnit> read(std::u32string_view text, std::size_t at, bool /*final*/) {
    const char32_t c = text[at];
    const bool scalar = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    return TextUnit{c, 1, scalar};
  }
};

}  // namespace morvane::detail
