#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "morvane/scores.hpp"

namespace morvane::detail {

/// A mutable trie used while reading patterns, before it is frozen into a
/// `Patterns` tree or a `PatternTable`. Node 0 is the root; every node is
/// created after its parent, so a higher index is never an ancestor.
class PatternBuilder {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  struct Node {
    char32_t letter = 0;
    std::uint32_t firstChild = kNone;
    std::uint32_t nextSibling = kNone;
    std::uint32_t scoreList = kNone;  // index into scoreLists(), or kNone
  };

  PatternBuilder();

  /// The child of `node` for `letter`, created if missing.
  std::uint32_t child(std::uint32_t node, char32_t letter);
  /// What `setScores` does when the node already has a score list.
  enum class OnConflict { kKeepFirst, kTakeMaximum };

  /// Gives `node` a score list.
  void setScores(std::uint32_t node, ScoreList scores, OnConflict onConflict);
  /// Adds every line of pattern text; of two lines with the same letters the
  /// first one wins.
  void addText(std::u32string_view text);

  [[nodiscard]] const std::vector<Node>& nodes() const { return nodes_; }
  [[nodiscard]] const std::vector<ScoreList>& scoreLists() const { return scoreLists_; }

 private:
  void growIndex();

  std::vector<Node> nodes_;
  std::vector<ScoreList> scoreLists_;
  // Open-addressing map (parent, letter) → child, so that a node with many
  // children costs no more to extend than one with few.
  std::vector<std::uint64_t> slotKeys_;
  std::vector<std::uint32_t> slotValues_;
  std::size_t used_ = 0;
};

/// The element-wise maximum of two score lists; the longer one keeps its tail.
ScoreList maxScores(const ScoreList& a, const ScoreList& b);

/// Calls `onLine` for every line of `text`: split at line feeds, a final line
/// feed ending the last line rather than starting an empty one.
template <class OnLine>
void forEachLine(std::u32string_view text, OnLine onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(U'\n', start);
    if (end == std::u32string_view::npos) {
      onLine(text.substr(start));
      return;
    }
    onLine(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace morvane::detail
