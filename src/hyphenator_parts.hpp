#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "morvane/hyphenator.hpp"
#include "pattern_table.hpp"

namespace morvane::detail {

/// What scoring a word needs, built once per hyphenator on first use.
struct Scorer {
  std::shared_ptr<const PatternTable> table;
  /// Code point → symbol with the character function applied, when that
  /// function is a table: one look-up per character instead of two.
  std::optional<CharMap> directSymbols;
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
};

}  // namespace morvane::detail
