#include "engine/pattern_builder.hpp"

#include <algorithm>
#include <bit>
#include <limits>

#include "common/ascii.hpp"
#include "common/utf8.hpp"
#include "morvane/patterns.hpp"

namespace morvane::detail {

namespace {

constexpr std::uint64_t kEmptySlot = ~std::uint64_t{0};

std::uint64_t edgeKey(std::uint32_t node, char32_t letter) {
  return (std::uint64_t{node} << 32) | letter;
}

std::size_t slotOf(std::uint64_t key, std::size_t mask) {
  std::uint64_t hash = key * 0x9E3779B97F4A7C15ull;
  hash ^= hash >> 29;  // fold the well-mixed high bits into the ones the mask keeps
  return static_cast<std::size_t>(hash) & mask;
}

std::size_t hashScores(std::span<const Score> scores) {
  std::uint64_t hash = scores.size();
  for (const Score s : scores) hash = (hash ^ static_cast<std::uint64_t>(s)) * 0x100000001B3ULL;
  return static_cast<std::size_t>(hash ^ (hash >> 32));
}

}  // namespace

PatternBuilder::PatternBuilder() : nodes_(1), childCounts_(1, 0) {}

std::uint32_t PatternBuilder::child(std::uint32_t node, char32_t letter) {
  if (childCounts_[node] <= kListed) {
    for (std::uint32_t c = nodes_[node].firstChild; c != kNone; c = nodes_[c].nextSibling) {
      if (nodes_[c].letter == letter) return c;
    }
  } else {
    const std::uint64_t key = edgeKey(node, letter);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = slotOf(key, mask); slots_[slot].key != kEmptySlot;
         slot = (slot + 1) & mask) {
      if (slots_[slot].key == key) return slots_[slot].child;
    }
  }
  return addChild(node, letter);
}

std::uint32_t PatternBuilder::addChild(std::uint32_t node, char32_t letter) {
  const auto created = static_cast<std::uint32_t>(nodes_.size());
  Node fresh;
  fresh.letter = letter;
  fresh.nextSibling = nodes_[node].firstChild;
  nodes_.push_back(fresh);
  childCounts_.push_back(0);
  nodes_[node].firstChild = created;
  std::uint8_t& count = childCounts_[node];
  if (count < std::numeric_limits<std::uint8_t>::max()) ++count;
  if (count == kListed + 1) {
    for (std::uint32_t c = created; c != kNone; c = nodes_[c].nextSibling) index(node, c);
  } else if (count > kListed) {
    index(node, created);
  }
  return created;
}

void PatternBuilder::index(std::uint32_t parent, std::uint32_t child) {
  if ((used_ + 1) * 2 > slots_.size()) growIndex(std::max<std::size_t>(1024, slots_.size() * 2));
  ++used_;
  const std::uint64_t key = edgeKey(parent, nodes_[child].letter);
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = slotOf(key, mask);
  while (slots_[slot].key != kEmptySlot) slot = (slot + 1) & mask;
  slots_[slot] = {key, child};
}

void PatternBuilder::growIndex(std::size_t size) {
  std::vector<Slot> grown(size, Slot{kEmptySlot, 0});
  const std::size_t mask = grown.size() - 1;
  for (const Slot& old : slots_) {
    if (old.key == kEmptySlot) continue;
    std::size_t slot = slotOf(old.key, mask);
    while (grown[slot].key != kEmptySlot) slot = (slot + 1) & mask;
    grown[slot] = old;
  }
  slots_ = std::move(grown);
}

std::uint32_t PatternBuilder::addList(std::span<const Score> scores) {
  for (const Score s : scores) {
    smallest_ = std::min(smallest_, s);
    largest_ = std::max(largest_, s);
  }
  if ((lists_.size() + 1) * 2 > listSlots_.size()) {
    // Grow the set of lists and place them all again.
    listSlots_.assign(std::max<std::size_t>(64, listSlots_.size() * 2), kNone);
    for (std::uint32_t list = 0; list < lists_.size(); ++list) {
      std::size_t slot = hashScores(this->scores(list)) & (listSlots_.size() - 1);
      while (listSlots_[slot] != kNone) slot = (slot + 1) & (listSlots_.size() - 1);
      listSlots_[slot] = list;
    }
  }
  const std::size_t mask = listSlots_.size() - 1;
  std::size_t slot = hashScores(scores) & mask;
  for (; listSlots_[slot] != kNone; slot = (slot + 1) & mask) {
    const std::span<const Score> held = this->scores(listSlots_[slot]);
    if (std::equal(held.begin(), held.end(), scores.begin(), scores.end())) return listSlots_[slot];
  }
  listSlots_[slot] = static_cast<std::uint32_t>(lists_.size());
  lists_.emplace_back(scorePool_.size(), scores.size());
  scorePool_.insert(scorePool_.end(), scores.begin(), scores.end());
  return listSlots_[slot];
}

void PatternBuilder::setScores(std::uint32_t node, std::span<const Score> scores,
                               OnConflict onConflict) {
  Node& target = nodes_[node];
  if (target.scoreList == kNone || onConflict == OnConflict::kReplace) {
    target.scoreList = addList(scores);
  } else if (onConflict == OnConflict::kTakeMaximum) {
    const std::span<const Score> existing = this->scores(target.scoreList);
    target.scoreList = addList(maxScores(ScoreList(existing.begin(), existing.end()),
                                         ScoreList(scores.begin(), scores.end())));
  }
}

ScoreList maxScores(const ScoreList& a, const ScoreList& b) {
  const ScoreList& longer = a.size() >= b.size() ? a : b;
  const ScoreList& shorter = a.size() >= b.size() ? b : a;
  ScoreList result = longer;
  for (std::size_t i = 0; i < shorter.size(); ++i) result[i] = std::max(result[i], shorter[i]);
  return result;
}

/// What adding one line leaves for the next: pattern files are mostly
/// sorted, so the path of the previous line is kept and a line walks only
/// the letters after the prefix the two share. While the lines ascend, a
/// letter after the shared prefix is greater than every child there (those
/// came from earlier, smaller lines): it is new and needs no search.
struct PatternBuilder::Cursor {
  bool ascending = false;
  std::vector<char32_t> letters;
  std::vector<char32_t> previous;
  std::size_t previousCount = 0;
  std::vector<Score> scores;
  std::vector<std::uint32_t> path{0};  // path[i]: the node after i letters of `previous`
  std::vector<char32_t> decoded;       // the line, for UTF-8 text
};

void PatternBuilder::addLine(std::u32string_view line, Cursor& at) {
  if (at.letters.size() < line.size()) at.letters.resize(line.size());
  std::size_t count = 0;
  for (const char32_t c : line) {
    at.letters[count] = c;
    count += isAsciiDigit(c) ? 0 : 1;
  }
  const std::size_t common = std::min(count, at.previousCount);
  std::size_t shared = 0;
  while (shared < common && at.letters[shared] == at.previous[shared]) ++shared;
  if (shared < common ? at.letters[shared] < at.previous[shared] : count < at.previousCount) {
    at.ascending = false;
  }
  at.path.resize(shared + 1);
  for (std::size_t i = shared; i < count; ++i) {
    const std::uint32_t parent = at.path[i];
    at.path.push_back(at.ascending ? addChild(parent, at.letters[i])
                                   : child(parent, at.letters[i]));
  }
  std::swap(at.letters, at.previous);
  at.previousCount = count;
  // Forward order, first one kept: the same trie as inserting the lines from
  // last to first, each replacing what was there.
  const std::uint32_t node = at.path.back();
  if (nodes_[node].scoreList == kNone) {
    if (at.scores.size() <= line.size()) at.scores.resize(line.size() + 1);
    std::size_t length = 0;  // never more scores than characters + 1
    forEachPatternScore(line, [&](Score score) { at.scores[length++] = score; });
    nodes_[node].scoreList = addList(std::span<const Score>(at.scores.data(), length));
  }
}

PatternBuilder::Cursor PatternBuilder::startText(std::size_t size) {
  nodes_.reserve(nodes_.size() + size / 3);
  childCounts_.reserve(nodes_.capacity());
  Cursor at;
  at.ascending = nodes_.size() == 1;
  return at;
}

void PatternBuilder::addText(std::u32string_view text) {
  Cursor at = startText(text.size());
  forEachLine(text, [&](std::u32string_view line) { addLine(line, at); });
}

void PatternBuilder::addLenientUtf8Text(std::string_view text) {
  Cursor at = startText(text.size());
  // A line feed byte is never inside a multi-byte sequence: the lines of the
  // bytes decode to the lines of the text.
  forEachLine(text, [&](std::string_view line) {
    if (at.decoded.size() < line.size()) at.decoded.resize(line.size());
    addLine({at.decoded.data(), decodeUtf8Lenient(line, at.decoded.data())}, at);
  });
}

}  // namespace morvane::detail
