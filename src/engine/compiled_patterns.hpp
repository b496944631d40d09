#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "common/scratch_buffer.hpp"
#include "engine/automaton_scores.hpp"
#include "engine/pattern_automaton.hpp"
#include "engine/pattern_table.hpp"
#include "morvane/char_map.hpp"
#include "morvane/lazy.hpp"

namespace morvane::detail {

/// Code point → symbol as a plain array over every code point that has one;
/// the others (beyond it) have none. Calls nothing, so scoring loops that
/// use it keep their registers.
struct DenseSymbols {
  const std::uint16_t* symbols;
  std::size_t size;
  std::uint32_t operator()(char32_t c) const {
    return c < size ? symbols[c] : PatternTable::kNoSymbol;
  }
};

/// A set of patterns compiled for scoring words, the one form every scorer
/// uses (a language's patterns, each level of an office dictionary): its
/// table; the symbol of every character, through the character map when
/// there is one, in an array (one look-up a character, the map applied in
/// it); and its automaton, compiled once the set has scored enough words to
/// be worth it, so that a set used for a few words keeps just its table.
class CompiledPatterns {
 public:
  /// Words a set scores from its table before its automaton is compiled.
  static constexpr std::uint32_t kWarmWords = 1000;

  /// `chars` is applied to characters before they are looked up (the
  /// identity for words normalised already); `automatonCells` is what the
  /// automaton may take (four bytes a cell).
  CompiledPatterns(std::shared_ptr<const PatternTable> table, CharFunction chars,
                   std::size_t automatonCells);
  CompiledPatterns(const CompiledPatterns&) = delete;
  CompiledPatterns& operator=(const CompiledPatterns&) = delete;

  [[nodiscard]] const PatternTable& table() const { return *table_; }

  /// The symbol of `c` mapped by the character map.
  [[nodiscard]] std::uint32_t symbolOf(char32_t c) const {
    if (c < dense_.size()) return dense_[c];
    return symbolBeyondArray(c);
  }
  /// The array, when every character with a symbol is in it.
  [[nodiscard]] std::optional<DenseSymbols> dense() const {
    if (!allDense_) return std::nullopt;
    return DenseSymbols{dense_.data(), dense_.size()};
  }
  /// Whether some character of `word` is a letter of the patterns.
  [[nodiscard]] bool hasLetterIn(std::u32string_view word) const;

  /// The automaton, counting a word scored: null while fewer than
  /// kWarmWords have been, or when the table fits in no automaton. Once it
  /// exists this is one atomic load: no shared writes.
  [[nodiscard]] const PatternAutomaton* automatonOnceWarm() const {
    if (const auto* compiled = automaton_.tryGet()) return compiled->get();
    return warmUp();
  }
  /// The automaton if it has been compiled, counting nothing.
  [[nodiscard]] const PatternAutomaton* compiledAutomaton() const {
    const auto* compiled = automaton_.tryGet();
    return compiled != nullptr ? compiled->get() : nullptr;
  }

  /// Scores `word` with `automaton` into `scores`, its symbols read through
  /// the array as it goes when every one is there, else found first.
  /// Returns whether some pattern reaches the boundary after the word, and
  /// sets `tagged` when a tagged pattern was met (where it may have won).
  template <std::size_t kInline>
  bool scoreByAutomaton(const PatternAutomaton& automaton, std::u32string_view word,
                        AutomatonScores<kInline>& scores, bool& tagged) const {
    tagged = false;
    if (const auto array = dense()) {
      if (!automaton.hasTags()) return automaton.score(word, *array, scores.data());
      return automaton.score(word, *array, scores.data(), tagged);
    }
    ScratchBuffer<char32_t, kInline> symbols(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) symbols[i] = symbolOf(word[i]);
    const std::u32string_view mapped(symbols.data(), word.size());
    const auto same = [](char32_t symbol) -> std::uint32_t { return symbol; };
    if (!automaton.hasTags()) return automaton.score(mapped, same, scores.data());
    return automaton.score(mapped, same, scores.data(), tagged);
  }

  /// The symbols of ".word." into `dotted` (word.size() + 2 entries);
  /// whether any but the dots is a letter of the patterns.
  bool dottedSymbols(std::u32string_view word, std::span<std::uint32_t> dotted) const;

 private:
  [[nodiscard]] std::uint32_t symbolBeyondArray(char32_t c) const;
  [[nodiscard]] const PatternAutomaton* warmUp() const;

  std::shared_ptr<const PatternTable> table_;
  CharFunction chars_;                // where it is no table, applied before the table's look-up
  bool viaFunction_ = false;          // chars_ is a function, not a table
  std::vector<std::uint16_t> dense_;  // code points below kDenseLimit
  CharMap beyond_;                    // those beyond, with their symbols
  bool allDense_ = false;
  std::size_t automatonCells_;
  mutable std::atomic<std::uint32_t> scored_{0};  // words scored while cold
  OnceCell<std::shared_ptr<const PatternAutomaton>> automaton_;
};

}  // namespace morvane::detail
