#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ascii.hpp"
#include "common/large_block_allocator.hpp"
#include "morvane/scores.hpp"

namespace morvane {
class Patterns;
}  // namespace morvane

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
    std::uint32_t scoreList = kNone;  // see scores(); kNone for none
  };

  PatternBuilder();

  /// Makes room for about `nodes` nodes, so that a large file's trie grows
  /// without copying.
  void reserve(std::size_t nodes) {
    nodes_.reserve(nodes);
    childCounts_.reserve(nodes);
  }

  /// The child of `node` for `letter`, created if missing.
  std::uint32_t child(std::uint32_t node, char32_t letter);
  /// What `setScores` does when the node already has a score list.
  enum class OnConflict { kKeepFirst, kTakeMaximum, kReplace };

  /// Gives `node` a score list.
  void setScores(std::uint32_t node, std::span<const Score> scores, OnConflict onConflict);
  /// Adds every line of pattern text; of two lines with the same letters the
  /// first one wins.
  void addText(std::u32string_view text);
  /// The same for UTF-8 text decoded as `decodeUtf8Lenient` does, a line at
  /// a time rather than whole.
  void addLenientUtf8Text(std::string_view text);

  /// Marks `node` with `tag` (not 0), for what is compiled from the builder
  /// to find again (the spelling change of an office dictionary's pattern).
  void setTag(std::uint32_t node, std::uint32_t tag) { tags_.emplace_back(node, tag); }
  /// (node, tag) pairs, in the order they were set; a later pair for the
  /// same node wins.
  [[nodiscard]] const std::vector<std::pair<std::uint32_t, std::uint32_t>>& tags() const {
    return tags_;
  }

  using NodeList = LargeVector<Node>;
  [[nodiscard]] const NodeList& nodes() const { return nodes_; }
  [[nodiscard]] std::size_t listCount() const { return lists_.size(); }
  /// Bounds of every score in every list (and 0).
  [[nodiscard]] Score smallestScore() const { return smallest_; }
  [[nodiscard]] Score largestScore() const { return largest_; }
  /// The score list of a node's `scoreList`.
  [[nodiscard]] std::span<const Score> scores(std::uint32_t list) const {
    const auto [offset, length] = lists_[list];
    return {scorePool_.data() + offset, length};
  }

 private:
  struct Cursor;
  /// Makes room for about `size` characters of text and starts reading it.
  Cursor startText(std::size_t size);
  void addLine(std::u32string_view line, Cursor& at);
  struct Slot {
    std::uint64_t key;
    std::uint32_t child;
  };
  /// Rehashes into `size` slots (a power of two).
  void growIndex(std::size_t size);
  /// The list of `scores`: an equal list already stored, or a new one.
  std::uint32_t addList(std::span<const Score> scores);

  NodeList nodes_;
  std::vector<std::uint8_t> childCounts_;  // of each node, stopping at 255
  // Every distinct score list once, end to end, so that a pattern costs no
  // allocation; patterns share equal lists (few differ).
  std::vector<Score> scorePool_;
  std::vector<std::pair<std::size_t, std::size_t>> lists_;  // (offset, length) in scorePool_
  std::vector<std::uint32_t> listSlots_;  // open-addressing set of lists_, by content
  Score smallest_ = 0;
  Score largest_ = 0;
  // Open-addressing map (parent, letter) → child for the nodes with more
  // than kListed children, so that a node with many children costs no more
  // to extend than one with few; the others search their sibling list.
  static constexpr std::uint32_t kListed = 32;
  void index(std::uint32_t parent, std::uint32_t child);
  /// Creates the child of `node` for `letter`, which it must not have yet.
  std::uint32_t addChild(std::uint32_t node, char32_t letter);
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> tags_;
};

/// The immutable trie of what `builder` holds.
Patterns freeze(const PatternBuilder& builder);

/// Calls `emit` with each score of `pattern` in turn: a digit scores the
/// boundary before the character after it (and takes that character along),
/// every other character scores 0, and the end adds a final 0.
template <class Emit>
void forEachPatternScore(std::u32string_view pattern, Emit emit) {
  std::size_t at = 0;
  while (true) {
    if (at == pattern.size()) {
      emit(Score{0});
      return;
    }
    const char32_t c = pattern[at];
    if (!isAsciiDigit(c)) {
      emit(Score{0});
      ++at;
      continue;
    }
    emit(static_cast<Score>(c - U'0'));
    if (at + 1 == pattern.size()) return;
    at += 2;
  }
}

/// The element-wise maximum of two score lists; the longer one keeps its tail.
ScoreList maxScores(const ScoreList& a, const ScoreList& b);

/// Calls `onLine` for every line of `text`: split at line feeds, a final line
/// feed ending the last line rather than starting an empty one.
template <class Char, class OnLine>
void forEachLine(std::basic_string_view<Char> text, OnLine onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(Char('\n'), start);
    if (end == std::basic_string_view<Char>::npos) {
      onLine(text.substr(start));
      return;
    }
    onLine(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace morvane::detail
