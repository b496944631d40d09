#pragma once

#include <cstddef>
#include <memory>

#include "engine/compiled_patterns.hpp"
#include "engine/exception_index.hpp"
#include "engine/minimums.hpp"
#include "engine/office_rules.hpp"
#include "engine/shared_on_first_use.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane::detail {

/// What a `Hyphenator` shares between its copies, which only the engine
/// reads: the five fields of the record, and what its words are scored
/// with. Made by the factories of engine/make_hyphenator.hpp; everything
/// is computed on first use.
struct HyphenatorState {
  Lazy<CharFunction> chars;
  Lazy<Patterns> patterns;
  Lazy<Exceptions> exceptions;
  Minimums minimums;
  /// Words shorter than this (in code points) never break.
  std::size_t minWordLength = 0;
  /// The patterns as words are scored with them. Derived hyphenators that
  /// keep the character map and the patterns share them, automaton and all.
  SharedOnFirstUse<CompiledPatterns> compiled;
  SharedOnFirstUse<ExceptionIndex> exceptionIndex;
  /// An office dictionary's rules, which score words in place of the
  /// patterns when the hyphenator was made from one.
  std::shared_ptr<const OfficeRules> office;

  /// Words shorter than this never break: minWordLength, and the room the
  /// minimums leave, but for an office dictionary, whose exceptions come
  /// first whatever the length.
  [[nodiscard]] std::size_t shortestBreakable() const {
    return office != nullptr ? minWordLength : minimums.shortestBreakable(minWordLength);
  }

  /// Transition cells a language may spend on its automaton: Hungarian, the
  /// largest built in, takes 1.6 million.
  static constexpr std::size_t kAutomatonCells = std::size_t{1} << 21;
};

/// Every word asks for it: inline.
[[nodiscard]] inline const HyphenatorState& stateOf(const Hyphenator& h) { return *h.state_; }
[[nodiscard]] Hyphenator hyphenatorOf(std::shared_ptr<const HyphenatorState> state);

}  // namespace morvane::detail
