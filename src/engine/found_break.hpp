#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane::detail {

/// How a non-standard pattern of an office dictionary changes the spelling
/// at its break ("as5szon2y/sz=,2,1": "asszony" → "asz-szony"): its letters
/// from `start` (dots counted) on, `cut` of them, are written `before` and
/// `after` around the hyphen. The break is at the pattern's `boundary` (0 is
/// before its first letter): the last odd one from the start of the changed
/// letters to their end, as the C library of the office suites takes it.
struct SpellingChange {
  std::u32string before;
  std::u32string after;
  // The same in capitals, for a word whose changed letters are capitals.
  std::u32string capitalBefore;
  std::u32string capitalAfter;
  std::uint32_t start = 0;
  std::uint32_t cut = 0;
  std::uint32_t boundary = 0;
};

/// A break the engine found in a word, whatever found it (patterns, an
/// exception, an office dictionary's rules), in code points of the word:
/// after `position` characters, or, when `change` is set, replacing the
/// characters from `changeStart` on as it says.
/// Trivial, so that a buffer of them costs nothing until written: give
/// every member when making one.
struct FoundBreak {
  std::size_t position;
  const SpellingChange* change;
  std::size_t changeStart;
  bool capitals;  // the changed letters are written as capitals

  [[nodiscard]] static FoundBreak at(std::size_t position) { return {position, nullptr, 0, false}; }
  [[nodiscard]] bool standard() const { return change == nullptr; }
  [[nodiscard]] std::u32string_view before() const {
    return capitals ? change->capitalBefore : change->before;
  }
  [[nodiscard]] std::u32string_view after() const {
    return capitals ? change->capitalAfter : change->after;
  }
};

}  // namespace morvane::detail
