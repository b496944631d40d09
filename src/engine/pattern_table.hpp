#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "common/large_block_allocator.hpp"
#include "engine/pattern_builder.hpp"
#include "morvane/char_map.hpp"
#include "morvane/lazy.hpp"
#include "morvane/scores.hpp"

namespace morvane::detail {

class PatternLinks;

/// The compiled, read-only form of a pattern trie that words are scored
/// against. Letters become dense symbols; a node finds its child for a symbol
/// in constant time (a bit mask of its children and a population count, for
/// alphabets of up to 63 letters; a search among its sorted children beyond);
/// identical score lists are stored once, as their non-zero entries.
///
/// Words are scored by walking the trie from every start, which costs no
/// memory beyond the trie and, with patterns of a few letters as real ones
/// are, little time. Under the longest-prefix rule only one list applies
/// per character, so longer patterns (an office dictionary's whole words)
/// still walk. A table with patterns or lists too long for its rule, where
/// those walks would cost the length of a pattern at every letter, scores
/// words through its failure links instead (`PatternLinks`), made when the
/// table is, so that the cost stays linear in the word.
class PatternTable {
 public:
  static constexpr std::uint32_t kNoSymbol = 0;

  /// A score as the hot path keeps it: a 32-bit code that orders and has the
  /// parity of the score it stands for (the score itself whenever all fit).
  using Code = std::int32_t;

  /// Which patterns score a word. TeX's rule: every pattern that occurs in
  /// it. The office-suite dictionaries' rule: after each character, only
  /// the pattern that ends with the longest stretch of the word read so far
  /// that begins some pattern (their files are made for it, every pattern
  /// carrying the scores of the patterns inside it).
  enum class Matching { kEveryPattern, kLongestPrefix };

  explicit PatternTable(const PatternBuilder& builder, Matching matching = Matching::kEveryPattern);
  ~PatternTable();
  // The links refer to the table: it stays where it was made.
  PatternTable(const PatternTable&) = delete;
  PatternTable& operator=(const PatternTable&) = delete;

  /// The symbol of `c`, or kNoSymbol when no pattern contains it.
  [[nodiscard]] std::uint32_t symbol(char32_t c) const {
    return symbols_.find(c).value_or(kNoSymbol);
  }
  [[nodiscard]] std::uint32_t dotSymbol() const { return dot_; }
  /// Every letter of the patterns with its symbol.
  [[nodiscard]] const CharMap& symbols() const { return symbols_; }

  /// Scores a dotted word given as symbols ("." + word + "."), one entry per
  /// boundary before each of its characters, into `raw` (same size, zeroed by
  /// the caller): the element-wise maximum of every matching pattern, as
  /// codes. Returns true when some score list reaches the boundary after the
  /// final ".".
  bool score(std::span<const std::uint32_t> dotted, std::span<Code> raw) const;
  /// As `score`, and for every boundary a pattern scores, the node whose
  /// pattern set its score (the first of equal ones) into `sources` and
  /// where in `dotted` that pattern begins into `starts` (both the size of
  /// `raw`; other entries are left as they are). Under the longest-prefix
  /// rule, where a node stands for one pattern.
  bool scoreWithSources(std::span<const std::uint32_t> dotted, std::span<Code> raw,
                        std::span<std::uint32_t> sources, std::span<std::uint32_t> starts) const;

  /// The exact raw score list of a dotted word: one entry per boundary before
  /// each character, followed by the entries of lists that reach past the end.
  [[nodiscard]] ScoreList rawScores(std::span<const std::uint32_t> dotted) const;

  /// The shape of the trie, for what is compiled from it: nodes are numbered
  /// breadth-first from the root (0), so a parent precedes its children.
  [[nodiscard]] std::size_t nodeCount() const { return nodes_.size(); }
  /// The non-zero entries of all score lists together.
  [[nodiscard]] std::size_t entryCount() const { return entries_.size(); }
  /// Symbols run from 0 (no letter) to alphabetSize() − 1.
  [[nodiscard]] std::size_t alphabetSize() const { return rootChild_.size(); }
  /// Calls visit(symbol, child) for every child of `node`, in symbol order.
  template <class Visit>
  void forEachChild(std::uint32_t node, Visit visit) const {
    std::uint32_t child = nodes_[node].firstChild;
    if (wide_) {
      for (std::uint32_t i = 0; i < childCount_[node]; ++i, ++child) visit(edge_[child], child);
      return;
    }
    for (std::uint64_t mask = nodes_[node].children; mask != 0; mask &= mask - 1, ++child) {
      visit(static_cast<std::uint32_t>(std::countr_zero(mask)), child);
    }
  }
  /// The child of `node` for `symbol`, 0 for none.
  [[nodiscard]] std::uint32_t child(std::uint32_t node, std::uint32_t symbol) const {
    return wide_ ? wideChild(node, symbol) : narrowChild(node, symbol);
  }
  /// A node's score list as its length (0 for none) and non-zero entries,
  /// with scores as they are, in [offset, score) pairs.
  [[nodiscard]] std::size_t scoreLength(std::uint32_t node) const {
    return lists_[nodes_[node].scoreList].length;
  }
  template <class Visit>
  void forEachScore(std::uint32_t node, Visit visit) const {
    forEachCode(node, [&](std::uint32_t offset, Code code) { visit(offset, valueOf(code)); });
  }
  /// The same with scores as codes.
  template <class Visit>
  void forEachCode(std::uint32_t node, Visit visit) const {
    const ListInfo& list = lists_[nodes_[node].scoreList];
    for (std::uint32_t i = 0; i < list.entryCount; ++i) {
      const Entry& e = entries_[list.firstEntry + i];
      visit(e.offset, e.code);
    }
  }
  [[nodiscard]] Score valueOf(Code code) const {
    return values_.empty() ? code : values_[static_cast<std::size_t>(code - minCode_)];
  }
  [[nodiscard]] Matching matching() const { return matching_; }
  /// The tag the builder gave the pattern ending at `node`, or 0.
  [[nodiscard]] std::uint32_t tag(std::uint32_t node) const {
    return tags_.empty() ? 0 : tags_[node];
  }
  [[nodiscard]] bool hasTags() const { return !tags_.empty(); }
  /// The failure links: made with the table when it scores through them,
  /// otherwise on first use (by `rawScores`).
  [[nodiscard]] const PatternLinks& links() const;

 private:
  struct Node {
    std::uint64_t children = 0;    // bit s-1 set when there is a child for symbol s (narrow)
    std::uint32_t firstChild = 0;  // children are numbered consecutively from here
    std::uint32_t scoreList = 0;   // index into lists_; 0 for none
  };
  struct ListInfo {
    std::uint32_t firstEntry = 0;
    std::uint32_t entryCount = 0;
    std::uint32_t length = 0;  // entries in the list, zeros included
  };
  struct Entry {
    std::uint32_t offset;
    Code code;
  };

  /// The child for `symbol` (0 for none): the rank of its bit among the
  /// node's children. Symbol 0 (a letter of no pattern) has no bit.
  [[nodiscard]] std::uint32_t narrowChild(std::uint32_t node, std::uint32_t symbol) const {
    const Node& n = nodes_[node];
    const std::uint64_t bit = std::uint64_t{1} << symbol;
    if ((n.children & bit) == 0) return 0;
    return n.firstChild + static_cast<std::uint32_t>(std::popcount(n.children & (bit - 1)));
  }
  [[nodiscard]] std::uint32_t wideChild(std::uint32_t node, std::uint32_t symbol) const;

  /// Stores the builder's score lists (each distinct, as the builder keeps
  /// them) as codes; returns the stored list of every builder list.
  template <class CodeOf>
  std::vector<std::uint32_t> addLists(const PatternBuilder& builder, CodeOf codeOf);

  /// Calls visit(list, start) for the score list of every node matched from
  /// every start position, the root's included.
  template <bool kWide, class Visit>
  void forEachMatch(std::span<const std::uint32_t> dotted, Visit&& visit) const;

  template <bool kWide>
  bool scoreWith(std::span<const std::uint32_t> dotted, std::span<Code> raw) const;
  /// The longest-prefix rule by walks from every start: the first walk to
  /// reach a character ends the longest stretch there.
  template <bool kWide, bool kSources>
  bool scoreLongest(std::span<const std::uint32_t> dotted, std::span<Code> raw,
                    std::span<std::uint32_t> sources, std::span<std::uint32_t> starts) const;
  bool scoreAnyCpu(std::span<const std::uint32_t> dotted, std::span<Code> raw) const;
  bool scoreWithPopcount(std::span<const std::uint32_t> dotted, std::span<Code> raw) const;

  CharMap symbols_;  // code point → symbol (stored as char32_t)
  std::uint32_t dot_ = kNoSymbol;
  bool wide_ = false;                      // more than 64 symbols
  std::vector<std::uint32_t> rootChild_;   // symbol → node, 0 when absent
  LargeVector<Node> nodes_;                // breadth-first; node 0 is the root
  std::vector<std::uint32_t> childCount_;  // wide alphabets only
  std::vector<std::uint32_t> edge_;        // wide only: symbol on the edge into each node
  std::vector<ListInfo> lists_;            // list 0 is "none"
  LargeVector<Entry> entries_;             // the non-zero entries of every list
  std::vector<Score> values_;              // code − minCode_ → score, when not the identity
  Code minCode_ = 0;
  Matching matching_;
  bool walkable_ = true;             // patterns and lists short enough to walk from every start,
                                     // so that the failure links are made only when asked for
  std::vector<std::uint32_t> tags_;  // node → tag, when the builder set any
  OnceCell<std::unique_ptr<const PatternLinks>> links_;
};

}  // namespace morvane::detail
