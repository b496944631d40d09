#pragma once

// A literal, unoptimised rendering of the scoring and cutting rules over the
// public trie and table, to check the compiled engine against.

#include <string>
#include <vector>

#include "morvane/core.hpp"

namespace morvane::reference {

ScoreList lookupPattern(std::u32string_view word, const Patterns& trie);

/// Minimums must be small (the rules build lists of that many zeros).
std::vector<std::u32string> hyphenate(const CharFunction& chars, const Patterns& patterns,
                                      const Exceptions& exceptions, std::int64_t leftMin,
                                      std::int64_t rightMin, std::u32string_view word);

}  // namespace morvane::reference
