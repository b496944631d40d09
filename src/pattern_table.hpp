#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "morvane/char_map.hpp"
#include "morvane/scores.hpp"
#include "pattern_builder.hpp"

namespace morvane::detail {

/// The compiled, read-only form of a pattern trie that words are scored
/// against: letters become dense symbols, each node's children sit side by
/// side sorted by symbol, and identical score lists are stored once.
class PatternTable {
 public:
  static constexpr std::uint32_t kNoSymbol = 0;

  explicit PatternTable(const PatternBuilder& builder);

  /// The symbol of `c`, or kNoSymbol when no pattern contains it.
  [[nodiscard]] std::uint32_t symbol(char32_t c) const {
    return symbols_.find(c).value_or(kNoSymbol);
  }
  [[nodiscard]] std::uint32_t dotSymbol() const { return dot_; }

  /// Scores a dotted word given as symbols ("." + word + "."), one entry per
  /// boundary before each of its characters, into `raw` (same size, zeroed by
  /// the caller): the element-wise maximum of every matching pattern. Returns
  /// true when some score list reaches the boundary after the final ".".
  /// Entries of lists that reach past it go to `overhang` when one is given.
  bool score(std::span<const std::uint32_t> dotted, std::span<Score> raw,
             ScoreList* overhang = nullptr) const;

  [[nodiscard]] std::size_t nodeCount() const { return nodes_.size(); }

 private:
  struct Node {
    std::uint32_t firstChild = 0;
    std::uint32_t childCount = 0;
    std::uint32_t scoreBegin = 0;
    std::uint32_t scoreLength = 0;
  };

  [[nodiscard]] std::uint32_t findChild(const Node& node, std::uint32_t symbol) const;

  CharMap symbols_;  // code point → symbol (stored as char32_t)
  std::uint32_t dot_ = kNoSymbol;
  std::vector<std::uint32_t> rootChild_;  // symbol → node, 0 when absent
  std::vector<Node> nodes_;               // breadth-first; node 0 is the root
  std::vector<std::uint32_t> edge_;       // symbol on the edge into each node
  std::vector<Score> scores_;             // all distinct score lists, end to end
};

}  // namespace morvane::detail
