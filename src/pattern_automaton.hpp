#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "pattern_table.hpp"

namespace morvane::detail {

/// A pattern table turned into a deterministic automaton: one table step per
/// character finds every pattern ending there, and their scores, merged in
/// advance, are applied as one fixed-width window. Scoring a word is then a
/// single pass with no searching and no data-dependent branches.
///
/// Only tables that fit are compiled: scores 0 … 255, each score list one
/// entry longer than its letters and at most kWindow entries, no list at the
/// root, fewer than 65,536 nodes, and a transition table within the given
/// number of cells. Scoring agrees with PatternTable::score on every word.
class PatternAutomaton {
 public:
  /// Scores before and after the character just read: the window ends at
  /// the boundary after it.
  static constexpr std::size_t kWindow = 16;
  using Window = std::array<std::uint8_t, kWindow>;

  /// The automaton of `table`, or null when the table does not fit.
  static std::shared_ptr<const PatternAutomaton> compile(const PatternTable& table,
                                                         std::size_t maxCells);

  /// Scores `word`, framed by the dot and made symbols by `symbolOf`, into
  /// `scores` (word.size() + 2 + kWindow entries, written, never read),
  /// where the boundary before character j of the dotted word is
  /// scores[j + kWindow − 1]. Returns true when some pattern ends with the
  /// final dot, as PatternTable::score does. `symbolOf` should call
  /// nothing, or the loop's registers spill around the call.
  template <class SymbolOf>
  bool score(std::u32string_view word, SymbolOf symbolOf, std::uint8_t* scores) const {
    const std::uint16_t* const next = next_.data();
    const std::uint16_t* const windowOf = windowOf_.data();
    const Window* const windows = windows_.data();
    const unsigned shift = columnShift_;
    // The scores of the last kWindow boundaries stay in a register; storing
    // the whole window each step finalises its oldest boundary. (No lambda
    // here: captured by reference, these would be kept in memory.)
    std::uint32_t state = 0;
    Register open = zeros();
    std::uint8_t* at = scores + 1;
    const std::size_t n = word.size();
    for (std::size_t i = 0; i <= n + 1; ++i) {
      const std::uint32_t symbol = i == 0 || i > n ? dot_ : symbolOf(word[i - 1]);
      state = next[(state << shift) | symbol];
      open = raise(advance(open), windows[windowOf[state]]);
      store(at++, open);
    }
    return windowOf[state] != 0;
  }

 private:
  PatternAutomaton() = default;

#ifdef __SSE2__
  using Register = __m128i;
  static Register zeros() { return _mm_setzero_si128(); }
  /// Moves every score one boundary back, opening a zero at the front.
  static Register advance(Register r) { return _mm_srli_si128(r, 1); }
  static Register raise(Register r, const Window& w) {
    return _mm_max_epu8(r, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w.data())));
  }
  static void store(std::uint8_t* at, Register r) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), r);
  }
#else
  using Register = Window;
  static Register zeros() { return {}; }
  static Register advance(Register r) {
    std::copy(r.begin() + 1, r.end(), r.begin());
    r.back() = 0;
    return r;
  }
  static Register raise(Register r, const Window& w) {
    for (std::size_t k = 0; k < kWindow; ++k) r[k] = std::max(r[k], w[k]);
    return r;
  }
  static void store(std::uint8_t* at, const Register& r) { std::copy(r.begin(), r.end(), at); }
#endif

  // A row per state, a column per symbol (0, no letter, included), rows a
  // power of two apart so that finding one costs a shift, not a multiply.
  unsigned columnShift_ = 0;
  std::uint32_t dot_ = 0;
  std::vector<std::uint16_t> next_;      // (state << columnShift_) | symbol → state
  std::vector<std::uint16_t> windowOf_;  // state → its window; 0 when no pattern ends there
  std::vector<Window> windows_;          // distinct windows; 0 is all zeros, for no pattern
};

}  // namespace morvane::detail
