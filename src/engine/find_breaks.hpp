#pragma once

// The one way from a word to its breaks, for every kind of hyphenator:
// the exceptions first, then the scorer (the patterns, or an office
// dictionary's rules), then the minimums.

#include <cstddef>
#include <span>
#include <string_view>

#include "common/scratch_buffer.hpp"
#include "engine/found_break.hpp"
#include "engine/hyphenator_state.hpp"

namespace morvane::detail {

/// Words up to this long are worked on in buffers on the stack.
inline constexpr std::size_t kInlineWord = 64;

/// Writes the breaks of `word` into `out` (room for word.size() of them:
/// a word breaks at most once a boundary), ascending; returns how many.
/// One template over where the breaks go, compiled here for this and
/// findStandardBreaks only, so that every step of it is inlined into one
/// loop.
std::size_t findBreaks(const HyphenatorState& h, std::u32string_view word, FoundBreak* out);

/// The same for the standard breaks only (all of them but for an office
/// dictionary's), their positions into `out` as far as it has room;
/// returns how many there are.
std::size_t findStandardBreaks(const HyphenatorState& h, std::u32string_view word,
                               std::span<std::size_t> out);

/// The breaks of a word, found at once (on the stack when it is short).
class FoundBreaks {
 public:
  FoundBreaks(const HyphenatorState& h, std::u32string_view word) : breaks_(word.size()) {
    count_ = findBreaks(h, word, breaks_.data());
  }
  [[nodiscard]] std::size_t size() const { return count_; }
  [[nodiscard]] FoundBreak* begin() { return breaks_.data(); }
  [[nodiscard]] FoundBreak* end() { return breaks_.data() + count_; }

 private:
  ScratchBuffer<FoundBreak, kInlineWord> breaks_;
  std::size_t count_ = 0;
};

}  // namespace morvane::detail
