#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/hyphenator.hpp"

namespace morvane::detail {

class PatternTable;

/// An office-suite dictionary (.dic) read as Pyphen, the Python library,
/// reads one, for the Python package's drop-in for it. Pyphen's rules, found
/// by testing it as a black box: the first line names the encoding; the
/// rest is cut at line feeds only and each line trimmed of white space; lines
/// that begin with "%", "#", LEFTHYPHENMIN, RIGHTHYPHENMIN,
/// COMPOUNDLEFTHYPHENMIN or COMPOUNDRIGHTHYPHENMIN are skipped, and every
/// other line is a pattern (NEXTLEVEL and NOHYPHEN lines too, as letters);
/// in a run of digits each scores the next boundary; a line that scores
/// nothing is skipped, and a later line for the same letters replaces an
/// earlier one; a line with both "/" and "=" ends in a spelling change
/// "/replacement,start,cut". Words are scored by every pattern, as in TeX.
class PyphenDictionary {
 public:
  /// `name` names the bytes in errors ("NAME:LINE: what is wrong").
  PyphenDictionary(std::string_view bytes, std::string_view name);

  /// A hyphenator that breaks words as Pyphen does, with these minimums.
  [[nodiscard]] Hyphenator hyphenator(std::int64_t left, std::int64_t right) const;

  /// Whether some pattern changes the spelling.
  [[nodiscard]] bool hasChanges() const { return !changes_.empty(); }

  /// A change as Pyphen attaches it to a break: the replacement ("sz=sz"),
  /// where it begins counted from the break, and how many letters it takes.
  struct Change {
    std::u32string replacement;
    std::int64_t index = 0;
    std::int64_t cut = 0;
  };
  /// For each break of `positions` in `word` (in lower case, as Pyphen
  /// scores it), the change of the pattern that gives the break its score:
  /// of those giving the highest, the last to begin, and of those the
  /// longest. Time linear in the word.
  [[nodiscard]] std::vector<std::optional<Change>> changesAt(
      std::u32string_view word, std::span<const std::size_t> positions) const;

 private:
  struct Parts;
  std::shared_ptr<const Parts> parts_;
  std::vector<Change> changes_;  // the pattern tagged k has changes_[k - 1]
};

/// The dictionary in the file `path`; throws `Error` "cannot read PATH: REASON".
[[nodiscard]] PyphenDictionary loadPyphenDictionary(const std::string& path);

}  // namespace morvane::detail
