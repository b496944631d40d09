#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "common/scratch_buffer.hpp"
#include "engine/odd_scores.hpp"
#include "engine/pattern_automaton.hpp"

namespace morvane::detail {

/// Where PatternAutomaton::score writes the scores of a word of `n`
/// characters (on the stack for words of up to kInline), with the zeroed
/// bytes past them that forEachOddScore reads.
template <std::size_t kInline>
class AutomatonScores {
 public:
  explicit AutomatonScores(std::size_t n) : bytes_(n + 2 + kWindow + kOddScanSlack) {
    std::fill_n(bytes_.data() + n + 2 + kWindow, kOddScanSlack, 0);
  }
  /// What PatternAutomaton::score writes to.
  [[nodiscard]] std::uint8_t* data() { return bytes_.data(); }
  /// From which the score of the boundary after the word's first p
  /// characters is read at p, for forEachOddScore.
  [[nodiscard]] const std::uint8_t* afterCharacters() { return bytes_.data() + kWindow; }

 private:
  static constexpr std::size_t kWindow = PatternAutomaton::kMaxWindow;
  ScratchBuffer<std::uint8_t, kInline + 2 + kWindow + kOddScanSlack> bytes_;
};

}  // namespace morvane::detail
