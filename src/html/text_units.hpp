#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "html/entities.hpp"
#include "text/text_units.hpp"

namespace morvane::detail {

/// The text of an HTML or XML document in UTF-8, where "&" starts a character
/// reference. A reference is read whole, as the character it stands for, so
/// that a word is scored as it reads and no separator ever lands inside the
/// reference; "&" followed by letters and digits is one unit even when no
/// reference by that name exists, as a browser may read a prefix of it.
struct HtmlTextUnits {
  using Char = char;
  static constexpr bool kAsciiBlocks = true;
  static constexpr bool kAmpersandStarts = true;
  static bool isWhole(std::uint32_t c) { return c < 0x80 && c != '&'; }
  static std::uint8_t wholeClass(std::uint32_t c) { return kAsciiClasses[c]; }
  static std::optional<TextUnit> read(std::string_view text, std::size_t at, bool final) {
    if (text[at] != '&') return Utf8Units::read(text, at, final);
    const auto isAlnum = [](char c) {
      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    const auto isHex = [](char c) {
      return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9');
    };
    std::size_t end = at + 1;
    if (end < text.size() && text[end] == '#') {
      ++end;
      const bool hex = end < text.size() && (text[end] == 'x' || text[end] == 'X');
      if (hex) ++end;
      const std::size_t digits = end;
      std::uint64_t value = 0;
      for (; end < text.size() && (hex ? isHex(text[end]) : text[end] >= '0' && text[end] <= '9');
           ++end) {
        const char c = text[end];
        const std::uint64_t digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = std::min<std::uint64_t>(value * (hex ? 16 : 10) + digit, 0x110000);
      }
      if (end == text.size() && !final) return std::nullopt;
      if (end == digits) return TextUnit{'&', 1, true};  // no number: a plain "&"
      if (end < text.size() && text[end] == ';') ++end;
      const bool scalar = value != 0 && value < 0x110000 && (value < 0xD800 || value > 0xDFFF);
      return TextUnit{static_cast<char32_t>(value), end - at, scalar};
    }
    while (end < text.size() && isAlnum(text[end])) ++end;
    if (end == text.size() && !final) return std::nullopt;
    if (end == at + 1) return TextUnit{'&', 1, true};
    const std::string_view name = text.substr(at + 1, end - at - 1);
    if (end < text.size() && text[end] == ';') {
      if (const auto value = namedReference(name)) return TextUnit{*value, end + 1 - at, true};
      return TextUnit{0, end + 1 - at, false};
    }
    return TextUnit{0, end - at, false};
  }
};

}  // namespace morvane::detail
