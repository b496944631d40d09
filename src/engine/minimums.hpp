#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace morvane::detail {

/// The minimum lengths of a word's first and last piece, and the one place
/// their rules are written: TeX's, for patterns and exceptions, and the
/// office suites' C library's, for its dictionaries.
struct Minimums {
  std::int64_t left = 0;
  std::int64_t right = 0;

  /// Words of fewer characters than this never break: the room the
  /// minimums leave, and at least `minWordLength`.
  [[nodiscard]] std::size_t shortestBreakable(std::size_t minWordLength) const {
    if (!usual()) return shortestBreakableForAnyMinimums(minWordLength);
    const auto room = static_cast<std::size_t>(left + right);
    return room > minWordLength ? room : minWordLength;
  }

  /// TeX's rule: the boundaries lowest … highest (1 ≤ lowest, highest ≤ n;
  /// boundary p lies after the first p characters) at which `word` may
  /// break when its raw score list has `rawLength` entries, or none. Throws
  /// "Malformed hyphenation score for WORD" where the rule's trimmed list
  /// would be empty (a left minimum of 0 or less and no scores at all).
  [[nodiscard]] std::optional<std::pair<std::size_t, std::size_t>> range(
      std::u32string_view word, std::size_t rawLength) const {
    // Usual minimums, with a left one of at least 1: boundaries
    // left … min(n − right, rawLength − 1). Every word of every language
    // comes this way, so it is inline.
    if (!usual() || left < 1) return rangeForAnyMinimums(word, rawLength);
    const std::size_t n = word.size();
    const auto l = static_cast<std::size_t>(left);
    const auto r = static_cast<std::size_t>(right);
    if (rawLength == 0 || n < l + r) return std::nullopt;
    const std::size_t highest = n - r < rawLength - 1 ? n - r : rawLength - 1;
    if (highest < l) return std::nullopt;
    return std::pair{l, highest};
  }

  /// The office suites' rule, as their C library applies it: a break after
  /// `position` characters of a word or part, with `before` and `after`
  /// characters counted on its sides (where the break changes the
  /// spelling, the longer spelling), keeps `left` and `right`; a single
  /// character before it is kept whatever the right minimum.
  [[nodiscard]] static bool keptBy(std::size_t position, std::int64_t before, std::int64_t after,
                                   std::int64_t left, std::int64_t right) {
    return before >= left && (after >= right || position == 1);
  }

 private:
  /// Minimums of 0 … 2^31, as every language's are: sums and differences
  /// with word lengths need no wide arithmetic.
  [[nodiscard]] bool usual() const {
    constexpr std::int64_t kUsual = std::int64_t{1} << 31;
    return left >= 0 && left <= kUsual && right >= 0 && right <= kUsual;
  }
  [[nodiscard]] std::optional<std::pair<std::size_t, std::size_t>> rangeForAnyMinimums(
      std::u32string_view word, std::size_t rawLength) const;
  [[nodiscard]] std::size_t shortestBreakableForAnyMinimums(std::size_t minWordLength) const;
};

}  // namespace morvane::detail
