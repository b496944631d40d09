#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "exception_filter.hpp"
#include "morvane/hyphenator.hpp"
#include "pattern_automaton.hpp"
#include "pattern_table.hpp"

namespace morvane::detail {

/// What scoring a word needs, built once per hyphenator on first use.
struct Scorer {
  std::shared_ptr<const PatternTable> table;
  /// Code point → symbol with the character function applied, when that
  /// function is a table: one look-up per character instead of two.
  std::optional<CharMap> directSymbols;
  /// Turns away most words that are no exception.
  ExceptionFilter exceptionFilter;
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
  Lazy<Scorer> scorer;
  /// The automaton form of the table costs memory and time to compile, so
  /// it is made only once the hyphenator has scored kWarmWords words: a
  /// language used for a few words keeps just its table.
  static constexpr std::uint32_t kWarmWords = 1000;
  mutable std::atomic<std::uint32_t> scoredWords{0};
  OnceCell<std::shared_ptr<const PatternAutomaton>> automaton;
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
