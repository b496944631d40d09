#pragma once

#include <cstddef>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "morvane/cxx20.hpp"
#include "morvane/scores.hpp"

namespace morvane {

class Patterns;

namespace detail {
class PatternTable;
std::shared_ptr<const PatternTable> compiledTable(const Patterns& trie);
}  // namespace detail

/// Children of a trie node, keyed by code point, in ascending key order.
using PatternChildren = std::map<char32_t, Patterns>;

/// An immutable trie of Liang hyphenation patterns. A node holds the score
/// list of the pattern that ends there (empty if none) and one child per next
/// character ("." marks a word boundary). Copies share the node.
class Patterns {
 public:
  /// The empty trie: no scores, no children. The identity of `combine`.
  Patterns();
  Patterns(ScoreList scores, PatternChildren children);

  [[nodiscard]] const ScoreList& scores() const;
  [[nodiscard]] const PatternChildren& children() const;

  friend bool operator==(const Patterns& a, const Patterns& b);
  friend Patterns combine(const Patterns& a, const Patterns& b);

  struct Node;  // defined by the implementation

 private:
  explicit Patterns(std::shared_ptr<const Node> node);
  std::shared_ptr<const Node> node_;

  friend std::shared_ptr<const detail::PatternTable> detail::compiledTable(const Patterns& trie);
};

/// The score list of one pattern: digits score the boundary before the next
/// letter ("z2z3w" gives [0,2,3,0]).
[[nodiscard]] ScoreList scorePattern(std::u32string_view pattern);

/// `trie` with `pattern` added; its score list replaces any already stored
/// for the same letters.
[[nodiscard]] Patterns insertPattern(std::u32string_view pattern, const Patterns& trie);

/// A trie from pattern text, one pattern per line; of two lines with the same
/// letters the earlier one wins.
[[nodiscard]] Patterns parsePatterns(std::u32string_view text);
[[nodiscard]] Patterns parsePatterns(std::string_view utf8Text);

/// The scores of the boundaries of `word` (already normalised): entry j
/// belongs to the boundary before character j. n + 1 entries when some pattern
/// scores the boundary after the last character, n otherwise.
[[nodiscard]] ScoreList lookupPattern(std::u32string_view word, const Patterns& trie);
[[nodiscard]] ScoreList lookupPattern(std::string_view utf8Word, const Patterns& trie);

/// Splits off the last element: nothing for an empty sequence.
template <class T>
[[nodiscard]] std::optional<std::pair<std::vector<T>, T>> unsnoc(std::span<const T> items) {
  if (items.empty()) return std::nullopt;
  return std::pair{std::vector<T>(items.begin(), items.end() - 1), items.back()};
}
template <class T>
[[nodiscard]] std::optional<std::pair<std::vector<T>, T>> unsnoc(const std::vector<T>& items) {
  return unsnoc(std::span<const T>(items));
}

/// Merges two tries: scores by element-wise maximum, children by key.
[[nodiscard]] Patterns combine(const Patterns& a, const Patterns& b);
[[nodiscard]] inline Patterns operator|(const Patterns& a, const Patterns& b) {
  return combine(a, b);
}
/// x1 | (x2 | (… | xk)); throws `Error` for an empty list.
[[nodiscard]] Patterns sconcat(std::span<const Patterns> tries);
/// `trie` combined with itself `count` times; throws `Error` for a count below 1.
[[nodiscard]] Patterns stimes(long long count, const Patterns& trie);

/// "Patterns [scores] (fromList [(key,child),…])", parenthesised when
/// `precedence` > 10, followed by `rest`.
[[nodiscard]] std::string showsPrec(int precedence, const Patterns& trie,
                                    std::string_view rest = {});
[[nodiscard]] std::string show(const Patterns& trie);
[[nodiscard]] std::string showList(std::span<const Patterns> tries, std::string_view rest = {});
std::ostream& operator<<(std::ostream& out, const Patterns& trie);

}  // namespace morvane
