#pragma once

// What the other layers may make of, and ask of, a hyphenator, without
// seeing what it holds.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "morvane/hyphenator.hpp"

namespace morvane::detail {

class PatternTable;
struct OfficeRules;

/// A hyphenator of patterns and exceptions whose table is made some other
/// way than from the trie (compiled straight from a file's text, or built
/// by a reader): the trie is made only when `hyphenatorPatterns` asks.
[[nodiscard]] Hyphenator hyphenatorOfTable(Lazy<CharFunction> chars, Lazy<Patterns> patterns,
                                           Lazy<Exceptions> exceptions, std::int64_t leftMin,
                                           std::int64_t rightMin,
                                           Lazy<std::shared_ptr<const PatternTable>> table);

/// A hyphenator whose words break by an office dictionary's rules; its
/// patterns are the last level's.
[[nodiscard]] Hyphenator hyphenatorOfOfficeRules(CharFunction chars, Lazy<Patterns> patterns,
                                                 std::shared_ptr<const OfficeRules> rules,
                                                 std::int64_t leftMin, std::int64_t rightMin);

/// Words of fewer code points than this never break with `h` (its minimums
/// leave no room), so they need not be scored.
[[nodiscard]] std::size_t shortestBreakable(const Hyphenator& h);

/// Whether `a` and `b` are copies of one hyphenator.
[[nodiscard]] bool sameHyphenator(const Hyphenator& a, const Hyphenator& b);

}  // namespace morvane::detail
