#pragma once

#include <cstdint>
#include <memory>

#include "morvane/hyphenator.hpp"
#include "pattern_table.hpp"

namespace morvane::detail {

/// What a `Hyphenator` shares between its copies: the five fields, plus the
/// compiled pattern table that words are actually scored against.
struct HyphenatorParts {
  Lazy<CharFunction> chars;
  Lazy<Patterns> patterns;
  Lazy<Exceptions> exceptions;
  std::int64_t leftMin;
  std::int64_t rightMin;
  Lazy<std::shared_ptr<const PatternTable>> table;
};

}  // namespace morvane::detail
