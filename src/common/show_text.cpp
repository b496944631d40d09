#include "common/show_text.hpp"

#include <array>

#include "common/ascii.hpp"

namespace morvane::detail {

namespace {

constexpr std::array<std::string_view, 32> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "a",   "b",   "t",   "n",
    "v",   "f",   "r",   "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

}  // namespace

void appendQuoted(std::string& out, std::u32string_view text) {
  out.push_back('"');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    const bool hasNext = i + 1 < text.size();
    if (c == U'"') {
      out += "\\\"";
    } else if (c == U'\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else if (c == 0x7F) {
      out += "\\DEL";
    } else if (c < 0x20) {
      out.push_back('\\');
      out += kControlNames[c];
      // "\SO" followed by "H" would read as "\SOH".
      if (c == 0x0E && hasNext && text[i + 1] == U'H') out += "\\&";
    } else {
      out.push_back('\\');
      out += std::to_string(static_cast<unsigned long>(c));
      // A digit right after a numeric escape would extend the number.
      if (hasNext && isAsciiDigit(text[i + 1])) out += "\\&";
    }
  }
  out.push_back('"');
}

void appendScores(std::string& out, std::span<const Score> scores) {
  appendList(out, scores, [](std::string& o, Score s) { o += std::to_string(s); });
}

}  // namespace morvane::detail
