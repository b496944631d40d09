#include "pattern_builder.hpp"

#include <algorithm>
#include <bit>

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

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

PatternBuilder::PatternBuilder() : nodes_(1), slots_(1024, Slot{kEmptySlot, 0}) {}

std::uint32_t PatternBuilder::child(std::uint32_t node, char32_t letter) {
  if (nodes_[node].childCount <= kListed) {
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
  Node& parent = nodes_[node];
  parent.firstChild = created;
  if (++parent.childCount == kListed + 1) {
    for (std::uint32_t c = created; c != kNone; c = nodes_[c].nextSibling) index(node, c);
  } else if (parent.childCount > kListed) {
    index(node, created);
  }
  return created;
}

void PatternBuilder::index(std::uint32_t parent, std::uint32_t child) {
  if ((used_ + 1) * 2 > slots_.size()) growIndex(slots_.size() * 2);
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
  lists_.emplace_back(scorePool_.size(), scores.size());
  scorePool_.insert(scorePool_.end(), scores.begin(), scores.end());
  for (const Score s : scores) {
    smallest_ = std::min(smallest_, s);
    largest_ = std::max(largest_, s);
  }
  return static_cast<std::uint32_t>(lists_.size() - 1);
}

void PatternBuilder::setScores(std::uint32_t node, std::span<const Score> scores,
                               OnConflict onConflict) {
  Node& target = nodes_[node];
  if (target.scoreList == kNone) {
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

void PatternBuilder::addText(std::u32string_view text) {
  nodes_.reserve(nodes_.size() + text.size() / 3);
  scorePool_.reserve(scorePool_.size() + text.size());
  largest_ = std::max<Score>(largest_, 9);  // a pattern's scores are its digits
  // Pattern files are mostly sorted: the path of the previous line is kept,
  // so a line walks only the letters after the prefix the two share.
  // While the lines ascend, a letter after the shared prefix is greater than
  // every child there (those came from earlier, smaller lines): it is new
  // and needs no search.
  bool ascending = nodes_.size() == 1;
  std::vector<char32_t> letters;
  std::vector<char32_t> previous;
  std::size_t previousCount = 0;
  std::vector<std::uint32_t> path{0};  // path[i]: the node after i letters of `previous`
  forEachLine(text, [&](std::u32string_view line) {
    if (letters.size() < line.size()) letters.resize(line.size());
    std::size_t count = 0;
    for (const char32_t c : line) {
      letters[count] = c;
      count += isDigit(c) ? 0 : 1;
    }
    const std::size_t common = std::min(count, previousCount);
    std::size_t shared = 0;
    while (shared < common && letters[shared] == previous[shared]) ++shared;
    if (shared < common ? letters[shared] < previous[shared] : count < previousCount) {
      ascending = false;
    }
    path.resize(shared + 1);
    for (std::size_t i = shared; i < count; ++i) {
      path.push_back(ascending ? addChild(path[i], letters[i]) : child(path[i], letters[i]));
    }
    std::swap(letters, previous);
    previousCount = count;
    // Forward order, first one kept: the same trie as inserting the lines
    // from last to first, each replacing what was there.
    const std::uint32_t node = path.back();
    if (nodes_[node].scoreList == kNone) {
      nodes_[node].scoreList = static_cast<std::uint32_t>(lists_.size());
      const std::size_t offset = scorePool_.size();
      scorePool_.resize(offset + line.size() + 1);  // never more scores than characters + 1
      Score* out = scorePool_.data() + offset;
      forEachPatternScore(line, [&out](Score score) { *out++ = score; });
      scorePool_.resize(static_cast<std::size_t>(out - scorePool_.data()));
      lists_.emplace_back(offset, scorePool_.size() - offset);
    }
  });
}

}  // namespace morvane::detail
