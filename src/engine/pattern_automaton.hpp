#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "common/large_block_allocator.hpp"
#include "common/simd.hpp"
#include "engine/pattern_table.hpp"

namespace morvane::detail {

/// A pattern table turned into a deterministic automaton: one table look-up
/// per character finds the next state and every pattern ending there, and
/// their scores, merged in advance, are applied as one fixed-width window.
/// Scoring a word is then a single pass with no searching and, when every
/// state is dense, no data-dependent branches.
///
/// The states are the trie's inner nodes: a leaf goes on exactly as the
/// longest suffix of its letters that is an inner node does, so its row is
/// that node's, and what sets it apart, its window, travels on the
/// transitions into it. A transition is the next state and the number of its
/// window (see Layout). Transitions are stored a column (symbol) at a time:
/// the shallow states, which most steps reach, are numbered first, so their
/// cells for one letter share a few cache lines.
///
/// A table too large for a row per state (an office dictionary's compound
/// level, whose patterns are whole words) gets sparse states too: a state
/// with few children lists the targets that set it apart and reads the
/// others from the row of a dense state. Steps then branch, but the
/// automaton is a tenth of the size.
///
/// Under the longest-prefix rule a state's window holds its own pattern's
/// scores alone, and tagged patterns get windows of their own, numbered
/// last, so that a pass can tell it met one; so do patterns whose scores do
/// not fit a window, there.
///
/// Only tables that fit are compiled: scores 0 … 255, each score list one
/// entry longer than its letters and at most kMaxWindow entries (under TeX's
/// rule), no list at the root, at most the given number of cells, and state
/// and window numbers that fit together in 32 bits. Scoring agrees with PatternTable::score on
/// every word.
class PatternAutomaton {
 public:
  /// The widest window: scores before and after the character just read,
  /// ending at the boundary after it.
  static constexpr std::size_t kMaxWindow = 32;

  /// How transitions are stored, quickest first: two 16-bit halves, the
  /// next state and the window, in arrays of their own (a step then waits
  /// on one load, of half the bytes); one 32-bit cell, the state above the
  /// window; or 32-bit cells and sparse states, a state with few children
  /// listing the targets that set it apart: several times smaller, slower
  /// per step.
  enum class Layout { kSplit, kPacked, kSparse };

  /// Most cells split: past some 4 MB of transitions most steps miss the
  /// cache, and a packed step misses once where a split one misses twice
  /// (Hungarian's patterns score a fifth faster packed).
  static constexpr std::size_t kMostSplitCells = std::size_t{1} << 20;

  /// The automaton of `table`, or null when the table does not fit in
  /// `maxCells` cells (a listed target counts as two), in the quickest
  /// layout from `quickest` on that fits: split when the states and windows
  /// are few enough and the cells at most kMostSplitCells, sparse only when
  /// every state dense would not fit.
  static std::shared_ptr<const PatternAutomaton> compile(const PatternTable& table,
                                                         std::size_t maxCells,
                                                         Layout quickest = Layout::kSplit);

  /// Scores `word`, framed by the dot and made symbols by `symbolOf`, into
  /// `scores` (word.size() + 2 + kMaxWindow entries, written, never read),
  /// where the boundary before character j of the dotted word is
  /// scores[j + kMaxWindow − 1]. Returns true when some pattern ends with the
  /// final dot, as PatternTable::score does. `symbolOf` should call nothing,
  /// or the loop's registers spill around the call.
  template <class SymbolOf>
  bool score(std::u32string_view word, SymbolOf symbolOf, std::uint8_t* scores) const {
    bool tagged = false;
    return scoreAs<false>(word, symbolOf, scores, tagged);
  }
  /// The same, and sets `tagged` when the word reached a state whose
  /// pattern is tagged (PatternTable::tag).
  template <class SymbolOf>
  bool score(std::u32string_view word, SymbolOf symbolOf, std::uint8_t* scores,
             bool& tagged) const {
    tagged = false;
    return scoreAs<true>(word, symbolOf, scores, tagged);
  }
  [[nodiscard]] bool hasTags() const { return firstTagged_ != kNoTags; }

 private:
  static constexpr std::uint32_t kNoTags = 0xFFFFFFFF;

  /// A sparse state lists its own targets and reads the others from the
  /// row of a dense state, its base. Its record, in records_, is the base,
  /// the count of targets, then (symbol, cell) for each; its number is
  /// denseStates_ plus where the record starts, so that a step reads one
  /// place in memory.
  /// Fewest children that make a state dense however large the table, and
  /// most targets a sparse state may list.
  static constexpr std::size_t kSparseChildren = 2;
  static constexpr std::size_t kSparseTargets = 6;

  PatternAutomaton() = default;

  template <bool kTrackTags, class SymbolOf>
  bool scoreAs(std::u32string_view word, SymbolOf symbolOf, std::uint8_t* scores,
               bool& tagged) const {
    if (width_ == 16) return scoreIn<Narrow, kTrackTags>(word, symbolOf, scores, tagged);
    return scoreIn<Wide, kTrackTags>(word, symbolOf, scores, tagged);
  }
  template <class Register, bool kTrackTags, class SymbolOf>
  bool scoreIn(std::u32string_view word, SymbolOf symbolOf, std::uint8_t* scores,
               bool& tagged) const {
    switch (layout_) {
      case Layout::kSplit:
        return scoreWith<Register, kTrackTags, Layout::kSplit>(word, symbolOf, scores, tagged);
      case Layout::kPacked:
        return scoreWith<Register, kTrackTags, Layout::kPacked>(word, symbolOf, scores, tagged);
      case Layout::kSparse:
        break;
    }
    return scoreWith<Register, kTrackTags, Layout::kSparse>(word, symbolOf, scores, tagged);
  }

  template <class Register, bool kTrackTags, Layout kLayout, class SymbolOf>
  bool scoreWith(std::u32string_view word, SymbolOf symbolOf, std::uint8_t* scores,
                 bool& tagged) const {
    const std::uint32_t* const cells = cells_.data();
    const std::uint16_t* const nextStates = nextStates_.data();
    const std::uint16_t* const windowsOf = windowsOf_.data();
    const std::uint32_t* const columns = columns_.data();
    const std::uint8_t* const windows = windows_.data();
    const unsigned windowBits = windowBits_;
    const std::uint32_t windowMask = (std::uint32_t{1} << windowBits) - 1;
    // The scores of the last boundaries stay in a register; storing the
    // whole window each step finalises its oldest boundary. The lambda
    // captures by value and is handed what changes, so that all of it stays
    // in registers.
    std::uint32_t state = 0;
    std::uint32_t window = 0;
    Register open;
    std::uint8_t* at = scores + 1 + kMaxWindow - Register::kWidth;
    // (A default capture: each layout uses only some of these.)
    const PatternAutomaton* const self = this;
    const auto stepOn = [=](std::uint32_t symbol, std::uint32_t& state, std::uint32_t& window,
                            Register& open, std::uint8_t*& at, bool& tagged) {
      if constexpr (kLayout == Layout::kSplit) {
        const std::size_t to = std::size_t{columns[symbol]} + state;
        state = nextStates[to];
        window = windowsOf[to];
      } else {
        std::uint32_t cell = 0;
        if constexpr (kLayout == Layout::kSparse) {
          cell = self->step(state, symbol);
        } else {
          cell = cells[columns[symbol] + state];
        }
        state = cell >> windowBits;
        window = cell & windowMask;
      }
      if constexpr (kTrackTags) tagged = tagged || window >= self->firstTagged_;
      open.advance();
      open.raise(windows + std::size_t{window} * Register::kWidth);
      open.store(at++);
    };
    stepOn(dot_, state, window, open, at, tagged);
    for (const char32_t c : word) stepOn(symbolOf(c), state, window, open, at, tagged);
    stepOn(dot_, state, window, open, at, tagged);
    return window != 0;
  }

  /// The cell of `state` on `symbol` when some states are sparse.
  [[nodiscard]] std::uint32_t step(std::uint32_t state, std::uint32_t symbol) const {
    if (state < denseStates_) return cells_[columns_[symbol] + state];
    const std::uint32_t* record = records_.data() + (state - denseStates_);
    const std::uint32_t* const end = record + 2 + 2 * std::size_t{record[1]};
    for (const std::uint32_t* listed = record + 2; listed != end; listed += 2) {
      if (listed[0] == symbol) return listed[1];
    }
    return cells_[columns_[symbol] + record[0]];
  }

#if MORVANE_SSE2
  /// Sixteen scores in one SSE register.
  struct Narrow {
    static constexpr std::size_t kWidth = 16;
    __m128i r = _mm_setzero_si128();
    /// Moves every score one boundary back, opening a zero at the front.
    void advance() { r = _mm_srli_si128(r, 1); }
    void raise(const std::uint8_t* w) {
      r = _mm_max_epu8(r, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w)));
    }
    void store(std::uint8_t* to) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(to), r); }
  };
  /// Thirty-two scores in two.
  struct Wide {
    static constexpr std::size_t kWidth = 32;
    __m128i low = _mm_setzero_si128();
    __m128i high = _mm_setzero_si128();
    void advance() {
      low = _mm_or_si128(_mm_srli_si128(low, 1), _mm_slli_si128(high, 15));
      high = _mm_srli_si128(high, 1);
    }
    void raise(const std::uint8_t* w) {
      low = _mm_max_epu8(low, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w)));
      high = _mm_max_epu8(high, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 16)));
    }
    void store(std::uint8_t* to) const {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), low);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), high);
    }
  };
#else
  template <std::size_t W>
  struct Bytes {
    static constexpr std::size_t kWidth = W;
    std::array<std::uint8_t, W> r{};
    void advance() {
      std::copy(r.begin() + 1, r.end(), r.begin());
      r.back() = 0;
    }
    void raise(const std::uint8_t* w) {
      for (std::size_t k = 0; k < W; ++k) r[k] = std::max(r[k], w[k]);
    }
    void store(std::uint8_t* to) const { std::memcpy(to, r.data(), W); }
  };
  using Narrow = Bytes<16>;
  using Wide = Bytes<32>;
#endif

  std::uint32_t dot_ = 0;
  std::size_t width_ = 16;   // 16 or kMaxWindow
  unsigned windowBits_ = 0;  // low bits of a cell that number its window
  Layout layout_ = Layout::kPacked;
  /// (next state << windowBits_) | window, at columns_[symbol] + state; a
  /// column per symbol (0, no letter, included). Under Layout::kSplit the
  /// two halves are in nextStates_ and windowsOf_ instead.
  LargeVector<std::uint32_t> cells_;
  LargeVector<std::uint16_t> nextStates_;
  LargeVector<std::uint16_t> windowsOf_;
  std::vector<std::uint32_t> columns_;   // symbol → where its column starts
  std::vector<std::uint8_t> windows_;    // width_ bytes each; 0 is all zeros, for no pattern
  std::uint32_t firstTagged_ = kNoTags;  // windows from here on are tagged patterns' own
  std::uint32_t denseStates_ = 0;        // states from here on are sparse
  std::vector<std::uint32_t> records_;   // the sparse states
};

}  // namespace morvane::detail
