#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pattern_automaton.hpp"
#include "engine/pattern_builder.hpp"
#include "engine/pattern_table.hpp"
#include "morvane/char_map.hpp"
#include "morvane/lazy.hpp"

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

/// A break of a word under a dictionary's rules, in code points of the word:
/// after `position` characters, or, when `change` is set, replacing the
/// characters from `changeStart` on as it says.
/// Trivial, so that a buffer of them costs nothing until written: give
/// every member when making one.
struct DictionaryBreak {
  std::size_t position;
  const SpellingChange* change;
  std::size_t changeStart;
  bool capitals;  // the changed letters are written as capitals

  [[nodiscard]] std::u32string_view before() const {
    return capitals ? change->capitalBefore : change->before;
  }
  [[nodiscard]] std::u32string_view after() const {
    return capitals ? change->capitalAfter : change->after;
  }
};

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
class DictionaryLevel {
 public:
  DictionaryLevel(const PatternBuilder& builder, std::vector<SpellingChange> changes);

  /// Appends to `out` every break its patterns give `piece` (already
  /// normalised, scored as a word of its own), ascending.
  void breaks(std::u32string_view piece, std::vector<LevelBreak>& out) const;

  /// Whether some character of `piece` is a letter of the patterns: where
  /// none is, the level has no break to give.
  [[nodiscard]] bool hasLetterIn(std::u32string_view piece) const;

  /// The breaks of a whole word (normalised) that is one part, written to
  /// `out` (word.size() entries), ascending, and how many there are: every
  /// boundary its patterns allow that keeps `left` characters before it, and
  /// `right` after it unless a single one is before it. Nothing when the
  /// word needs breaks() and the table: before the automaton is compiled,
  /// or where a tagged pattern may have won.
  [[nodiscard]] std::optional<std::size_t> wordBreaks(std::u32string_view word, std::int64_t left,
                                                      std::int64_t right,
                                                      std::span<DictionaryBreak> out) const;

  [[nodiscard]] const PatternTable& table() const { return *table_; }

  /// Transition cells a level may spend on its automaton. More than a
  /// built-in language may: a dictionary is loaded because it is used, and
  /// Hungarian needs 2.6 million; the German one, whose compound patterns
  /// are whole words, would need 8.9 million, and takes sparse states.
  static constexpr std::size_t kAutomatonCells = std::size_t{1} << 23;

 private:
  /// The automaton, once the level has scored enough words to be worth it.
  [[nodiscard]] const PatternAutomaton* automaton() const;

  std::shared_ptr<const PatternTable> table_;
  std::vector<SpellingChange> changes_;
  // Letter → symbol as an array, for the letters below U+10000.
  std::vector<std::uint16_t> denseSymbols_;
  // Every letter is in the array.
  bool allDense_ = false;
  // Compiled once the level has scored enough words, as a hyphenator's
  // patterns are.
  mutable std::atomic<std::uint32_t> scored_{0};
  OnceCell<std::shared_ptr<const PatternAutomaton>> automaton_;
};

/// What an office dictionary adds to Liang's method, as the office suites'
/// C library applies it. Two levels: the first finds the joints of a
/// compound word (for a file without NEXTLEVEL, its hyphens and
/// apostrophes), and splits each part found again until it finds none; the
/// second hyphenates the parts, whose breaks keep `compoundLeftMin` and
/// `compoundRightMin` characters from the joints. Spelling changes; and
/// strings (NOHYPHEN) beside which a word never breaks.
struct DictionaryRules {
  using LazyLevel = Lazy<std::shared_ptr<const DictionaryLevel>>;
  DictionaryRules(LazyLevel joints, LazyLevel hyphens)
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

  /// Writes the breaks of `word` (normalised) with `left` and `right` the
  /// word's minimums to `out`, ascending, and returns how many there are:
  /// at most one per boundary inside the word, so `out` needs
  /// word.size() entries.
  std::size_t breaks(std::u32string_view word, std::int64_t left, std::int64_t right,
                     std::span<DictionaryBreak> out) const;

  /// Parts are split again at most this deep; past it a part is hyphenated
  /// as it is, so that no word costs more than a bounded number of passes.
  static constexpr int kMaxSplitDepth = 32;

 private:
  struct Split;
  void splitPart(Split& split, std::size_t from, std::size_t to, std::int64_t partLeft,
                 std::int64_t partRight, int depth) const;
};

}  // namespace morvane::detail
