#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/compiled_patterns.hpp"
#include "engine/found_break.hpp"
#include "engine/minimums.hpp"
#include "engine/pattern_builder.hpp"
#include "morvane/char_map.hpp"
#include "morvane/lazy.hpp"

namespace morvane::detail {

/// A place where one level's patterns allow a break, in a piece of a word:
/// after `position` characters, with `before` and `after` the characters
/// the minimums count on each side (where the break changes the spelling,
/// the longer of the two spellings).
struct LevelBreak {
  std::size_t position = 0;
  std::int64_t before = 0;
  std::int64_t after = 0;
  const SpellingChange* change = nullptr;
  std::size_t changeStart = 0;
};

/// One level of an office dictionary's patterns: scored under the
/// longest-prefix rule (PatternTable::Matching::kLongestPrefix), with the
/// spelling changes of its non-standard patterns (tag − 1 of the pattern).
class OfficeLevel {
 public:
  OfficeLevel(const PatternBuilder& builder, std::vector<SpellingChange> changes);

  /// Appends to `out` every break its patterns give `piece` (already
  /// normalised, scored as a word of its own), ascending.
  void breaks(std::u32string_view piece, std::vector<LevelBreak>& out) const;

  /// Whether some character of `piece` is a letter of the patterns: where
  /// none is, the level has no break to give.
  [[nodiscard]] bool hasLetterIn(std::u32string_view piece) const {
    return patterns_.hasLetterIn(piece);
  }

  /// The breaks of a whole word (normalised) that is one part, written to
  /// `out` (word.size() entries), ascending, and how many there are: every
  /// boundary its patterns allow that keeps `minimums` (by the office
  /// suites' rule). Nothing when the word needs breaks() and the table:
  /// before the automaton is compiled, or where a tagged pattern may have
  /// won.
  [[nodiscard]] std::optional<std::size_t> wordBreaks(std::u32string_view word,
                                                      const Minimums& minimums,
                                                      std::span<FoundBreak> out) const;

  [[nodiscard]] const PatternTable& table() const { return patterns_.table(); }

  /// Transition cells a level may spend on its automaton. More than a
  /// built-in language may: a dictionary is loaded because it is used, and
  /// Hungarian needs 2.6 million; the German one, whose compound patterns
  /// are whole words, would need 8.9 million, and takes sparse states.
  static constexpr std::size_t kAutomatonCells = std::size_t{1} << 23;

 private:
  CompiledPatterns patterns_;
  std::vector<SpellingChange> changes_;
};

/// What an office dictionary adds to Liang's method, as the office suites'
/// C library applies it. Two levels: the first finds the joints of a
/// compound word (for a file without NEXTLEVEL, its hyphens and
/// apostrophes), and splits each part found again until it finds none; the
/// second hyphenates the parts, whose breaks keep `compoundLeftMin` and
/// `compoundRightMin` characters from the joints. Spelling changes; and
/// strings (NOHYPHEN) beside which a word never breaks.
struct OfficeRules {
  using LazyLevel = Lazy<std::shared_ptr<const OfficeLevel>>;
  OfficeRules(LazyLevel joints, LazyLevel hyphens)
      : jointLevel(std::move(joints)), hyphenLevel(std::move(hyphens)) {}

  // Compiled on first use, as a language's patterns are.
  LazyLevel jointLevel;
  LazyLevel hyphenLevel;
  std::int64_t compoundLeftMin = 0;
  std::int64_t compoundRightMin = 0;
  std::vector<std::u32string> noHyphen;
  /// The hyphenator's character function as an array, each character past
  /// its end mapping to itself; empty when the function maps a character
  /// beyond U+FFFF.
  std::vector<char32_t> folded;

  /// `word` with the character function `chars` applied, into `out`.
  void normalise(std::u32string_view word, const CharFunction& chars, char32_t* out) const {
    if (folded.empty()) {
      for (std::size_t i = 0; i < word.size(); ++i) out[i] = chars(word[i]);
      return;
    }
    // Locals: stores through `out` could otherwise alias the table.
    const char32_t* const table = folded.data();
    const std::size_t size = folded.size();
    for (std::size_t i = 0; i < word.size(); ++i)
      out[i] = word[i] < size ? table[word[i]] : word[i];
  }

  /// Writes the breaks of `word` (normalised) with the word's `minimums` to
  /// `out`, ascending, and returns how many there are: at most one per
  /// boundary inside the word, so `out` needs word.size() entries.
  std::size_t breaks(std::u32string_view word, const Minimums& minimums,
                     std::span<FoundBreak> out) const;

  /// Parts are split again at most this deep; past it a part is hyphenated
  /// as it is, so that no word costs more than a bounded number of passes.
  static constexpr int kMaxSplitDepth = 32;

 private:
  struct Split;
  void splitPart(Split& split, std::size_t from, std::size_t to, std::int64_t partLeft,
                 std::int64_t partRight, int depth) const;
};

}  // namespace morvane::detail
