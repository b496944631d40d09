#pragma once

#include <span>
#include <string>
#include <string_view>

#include "morvane/scores.hpp"

namespace morvane::detail {

/// Appends `text` as a quoted string literal with the standard escapes
/// ("\n", "\233", "\DEL", "\SO\&H", "\1234\&5").
void appendQuoted(std::string& out, std::u32string_view text);

/// Appends "[a,b,c]".
void appendScores(std::string& out, std::span<const Score> scores);

/// Appends "[x1,x2,…]", each element shown by `showOne(out, x)`.
template <class T, class ShowOne>
void appendList(std::string& out, std::span<const T> items, ShowOne showOne) {
  out.push_back('[');
  bool first = true;
  for (const T& item : items) {
    if (!first) out.push_back(',');
    first = false;
    showOne(out, item);
  }
  out.push_back(']');
}

/// showsPrec, show and showList of a type whose text `appendShow(out,
/// precedence, value)` appends.
template <class T, void (*AppendShow)(std::string&, int, const T&)>
struct Shows {
  static std::string showsPrec(int precedence, const T& value, std::string_view rest) {
    std::string out;
    AppendShow(out, precedence, value);
    out += rest;
    return out;
  }
  static std::string showList(std::span<const T> values, std::string_view rest) {
    std::string out;
    appendList(out, values, [](std::string& o, const T& v) { AppendShow(o, 0, v); });
    out += rest;
    return out;
  }
};

}  // namespace morvane::detail
