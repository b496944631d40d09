#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "engine/dictionary_rules.hpp"
#include "engine/exception_filter.hpp"
#include "engine/pattern_automaton.hpp"
#include "engine/pattern_table.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane::detail {

class WordJoiners;  // running text's (text layer)

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

/// What scoring a word needs, built once per hyphenator on first use.
struct Scorer {
  std::shared_ptr<const PatternTable> table;
  const CharFunction* chars = nullptr;  // the hyphenator's own
  /// Code point → symbol with the character function applied, when that
  /// function is a table: one look-up per character instead of two. An
  /// array when its code points are few enough (they are for every built-in
  /// language: at most U+2DDE), else a map.
  static constexpr char32_t kMaxDense = 0x10000;
  std::vector<std::uint16_t> denseSymbols;
  std::optional<CharMap> directSymbols;
  /// Turns away most words that are no exception.
  ExceptionFilter exceptionFilter;

  [[nodiscard]] std::optional<DenseSymbols> dense() const {
    if (denseSymbols.empty()) return std::nullopt;
    return DenseSymbols{denseSymbols.data(), denseSymbols.size()};
  }
  /// The symbol of `chars(c)`.
  [[nodiscard]] std::uint32_t symbolOf(char32_t c) const {
    if (const auto d = dense()) return (*d)(c);
    if (directSymbols) return directSymbols->find(c).value_or(PatternTable::kNoSymbol);
    return table->symbol((*chars)(c));
  }
};

/// What a `Hyphenator` shares between its copies: the five fields, plus what
/// words are actually scored with.
struct HyphenatorParts {
  HyphenatorParts(Lazy<CharFunction> c, Lazy<Patterns> p, Lazy<Exceptions> e, std::int64_t left,
                  std::int64_t right, Lazy<std::shared_ptr<const PatternTable>> compiled);

  Lazy<CharFunction> chars;
  Lazy<Patterns> patterns;
  Lazy<Exceptions> exceptions;
  std::int64_t leftMin;
  std::int64_t rightMin;
  Lazy<std::shared_ptr<const PatternTable>> table;
  Lazy<Scorer> scorer;  // made by makeScorer(), from the fields above
  /// An office dictionary's rules, which score words in place of the table
  /// when the hyphenator was made from one.
  std::shared_ptr<const DictionaryRules> dictionary;
  /// Words shorter than this (in code points) never break.
  std::size_t minWordLength = 0;

  /// Minimums of 0 … 2^31, as every language's are: sums and differences
  /// with word lengths need no wide arithmetic.
  [[nodiscard]] bool usualMinimums() const {
    constexpr std::int64_t kUsual = std::int64_t{1} << 31;
    return leftMin >= 0 && leftMin <= kUsual && rightMin >= 0 && rightMin <= kUsual;
  }

  /// Words shorter than this never break: minWordLength, and the room the
  /// minimums leave, but for an office dictionary, whose exceptions come
  /// first whatever the length.
  [[nodiscard]] std::size_t shortestBreakable() const {
    if (dictionary != nullptr) return minWordLength;
    if (usualMinimums()) {
      return std::max(minWordLength, static_cast<std::size_t>(leftMin + rightMin));
    }
    return shortestBreakableForAnyMinimums();
  }
  /// The automaton form of the table costs memory and time to compile, so
  /// it is made only once the hyphenator has scored kWarmWords words: a
  /// language used for a few words keeps just its table.
  static constexpr std::uint32_t kWarmWords = 1000;
  /// Transition cells (four bytes each) a language may spend on its
  /// automaton: Hungarian, the largest built in, takes 1.6 million.
  static constexpr std::size_t kAutomatonCells = std::size_t{1} << 21;
  mutable std::atomic<std::uint32_t> scoredWords{0};
  OnceCell<std::shared_ptr<const PatternAutomaton>> automaton;
  /// What joins letters into words in running text, made by the text layer
  /// the first time it reads text with this hyphenator (from the character
  /// map, costly to work out for every call).
  OnceCell<std::shared_ptr<const WordJoiners>> wordJoiners;

 private:
  [[nodiscard]] Scorer makeScorer() const;
  [[nodiscard]] std::size_t shortestBreakableForAnyMinimums() const;
};

/// Counts a word scored without the automaton, and compiles the automaton
/// once enough have been; returns it (null when the table does not fit one).
const PatternAutomaton* compileWhenWarm(const HyphenatorParts& h);

/// The automaton to score words of `h` with, or null while it is not yet
/// worth compiling or when the table does not fit one. Once it exists this
/// is one atomic load: no shared writes.
inline const PatternAutomaton* automatonFor(const HyphenatorParts& h) {
  if (const auto* compiled = h.automaton.tryGet()) return compiled->get();
  return compileWhenWarm(h);
}

}  // namespace morvane::detail
