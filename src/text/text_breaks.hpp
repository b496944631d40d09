#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "morvane/hyphenator.hpp"

namespace morvane::detail {

/// Where `hyphenateText` would put its separators, as byte offsets: what a
/// line breaker needs to cut words into pieces, with no character of its
/// own in the text to find them by. Texts are given one at a time and each
/// breaks as if alone; words met before are found in a memo, as in a long
/// text.
class TextBreakFinder {
 public:
  explicit TextBreakFinder(const Hyphenator& h);
  ~TextBreakFinder();
  TextBreakFinder(const TextBreakFinder&) = delete;
  TextBreakFinder& operator=(const TextBreakFinder&) = delete;

  /// The offsets in `text` (UTF-8) after which `hyphenateText(h, text)`
  /// puts a separator, ascending; valid until the next call.
  std::span<const std::size_t> breaks(std::string_view text);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace morvane::detail
