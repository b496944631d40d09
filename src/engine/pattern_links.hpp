#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "common/large_block_allocator.hpp"
#include "morvane/scores.hpp"

namespace morvane::detail {

class PatternTable;

/// A pattern table read as an Aho–Corasick automaton: a failure link from
/// every node to the longest proper suffix of its letters that is also a
/// node, and at every node the scores of all patterns that end where it ends
/// (its own and its suffixes'), merged into one sparse list of at most one
/// entry per letter. A word is scored in one pass, one step per character:
/// the cost is linear in the word plus the entries of those merged lists,
/// whatever the shape of the table (patterns as long as the word, large
/// scores and alphabets, a list for the pattern of no letters), and the
/// merged lists take memory linear in the table. Entries that a list has
/// past its own letters (only two digits in a row make them) are kept apart,
/// per pattern, and cost their number at each match.
class PatternLinks {
 public:
  using Code = std::int32_t;  // as PatternTable::Code

  explicit PatternLinks(const PatternTable& table);

  /// As PatternTable::score.
  bool score(std::span<const std::uint32_t> dotted, std::span<Code> raw) const;
  /// As `score`, and for every boundary a pattern scores, the node whose
  /// pattern set its score (the first of equal ones) into `sources` and
  /// where in `dotted` that pattern begins into `starts` (both the size of
  /// `raw`; other entries are left as they are). For the longest-prefix rule,
  /// under which a node stands for one pattern.
  bool scoreWithSources(std::span<const std::uint32_t> dotted, std::span<Code> raw,
                        std::span<std::uint32_t> sources, std::span<std::uint32_t> starts) const;
  /// As PatternTable::rawScores, as codes.
  [[nodiscard]] std::vector<Code> rawCodes(std::span<const std::uint32_t> dotted) const;

 private:
  /// What a node's patterns score: its output is their entries up to the
  /// boundary after the last letter, merged, and `next` leads to a chain of
  /// the entries past it, one output per pattern that has such.
  struct Output {
    std::uint32_t firstEntry = 0;
    std::uint32_t entryCount = 0;
    // Boundaries a list covers after the one past the last letter: the most
    // of any pattern here (for a node's merged output), or this pattern's.
    std::int32_t reach = 0;
    std::uint32_t next = 0;
  };
  struct Entry {
    std::int32_t at;  // relative to the boundary after the last letter
    Code code;
  };

  /// Merges two lists of entries that end at the same boundary into `out`.
  static void mergeEnding(std::span<const Entry> a, std::int32_t reachA, std::span<const Entry> b,
                          std::int32_t reachB, std::vector<Entry>& out);
  /// The state after reading `symbol` in `state`.
  [[nodiscard]] std::uint32_t step(std::uint32_t state, std::uint32_t symbol) const;
  /// Calls visit(output, end, isTail, node) for every output that applies
  /// after each character of `dotted`, `end` being the boundary after that
  /// character and `node` the state there: the node's merged output, then
  /// the entries past it.
  template <class Visit>
  void forEachMatch(std::span<const std::uint32_t> dotted, Visit&& visit) const;

  const PatternTable& table_;
  LargeVector<std::uint32_t> failure_;   // node → longest proper suffix that is a node
  LargeVector<std::uint32_t> outputOf_;  // node → its output, 0 for none
  LargeVector<std::uint32_t> depth_;     // node → letters, under the longest-prefix rule
  LargeVector<Output> outputs_;          // output 0 is "none"
  LargeVector<Entry> entries_;           // the entries of every output, by `at`
  // The list of the pattern of no letters applies at every start: as codes,
  // zeros included, and as their running maximum.
  std::vector<Code> rootCodes_;
  std::vector<Code> rootPrefixMax_;
};

}  // namespace morvane::detail
