#include "pattern_builder.hpp"

#include <algorithm>

#include "morvane/patterns.hpp"

namespace morvane::detail {

namespace {

constexpr std::uint64_t kEmptySlot = ~std::uint64_t{0};

std::uint64_t edgeKey(std::uint32_t node, char32_t letter) {
  return (std::uint64_t{node} << 32) | letter;
}

std::size_t slotOf(std::uint64_t key, std::size_t mask) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 24) & mask;
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

PatternBuilder::PatternBuilder() : nodes_(1) {
  slotKeys_.assign(1024, kEmptySlot);
  slotValues_.assign(1024, 0);
}

std::uint32_t PatternBuilder::child(std::uint32_t node, char32_t letter) {
  const std::uint64_t key = edgeKey(node, letter);
  const std::size_t mask = slotKeys_.size() - 1;
  std::size_t slot = slotOf(key, mask);
  while (slotKeys_[slot] != kEmptySlot) {
    if (slotKeys_[slot] == key) return slotValues_[slot];
    slot = (slot + 1) & mask;
  }
  const auto created = static_cast<std::uint32_t>(nodes_.size());
  Node fresh;
  fresh.letter = letter;
  fresh.nextSibling = nodes_[node].firstChild;
  nodes_.push_back(fresh);
  nodes_[node].firstChild = created;
  slotKeys_[slot] = key;
  slotValues_[slot] = created;
  if (++used_ * 2 > slotKeys_.size()) growIndex();
  return created;
}

void PatternBuilder::growIndex() {
  std::vector<std::uint64_t> keys(slotKeys_.size() * 2, kEmptySlot);
  std::vector<std::uint32_t> values(keys.size(), 0);
  const std::size_t mask = keys.size() - 1;
  for (std::size_t i = 0; i < slotKeys_.size(); ++i) {
    if (slotKeys_[i] == kEmptySlot) continue;
    std::size_t slot = slotOf(slotKeys_[i], mask);
    while (keys[slot] != kEmptySlot) slot = (slot + 1) & mask;
    keys[slot] = slotKeys_[i];
    values[slot] = slotValues_[i];
  }
  slotKeys_ = std::move(keys);
  slotValues_ = std::move(values);
}

void PatternBuilder::setScores(std::uint32_t node, ScoreList scores, OnConflict onConflict) {
  Node& target = nodes_[node];
  if (target.scoreList == kNone) {
    target.scoreList = static_cast<std::uint32_t>(scoreLists_.size());
    scoreLists_.push_back(std::move(scores));
  } else if (onConflict == OnConflict::kTakeMaximum) {
    ScoreList& existing = scoreLists_[target.scoreList];
    existing = maxScores(existing, scores);
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
  // About one node for every three letters of text: size the index for that
  // once rather than growing it step by step.
  while (slotKeys_.size() < (used_ + text.size() / 3) * 2) growIndex();
  forEachLine(text, [this](std::u32string_view line) {
    std::uint32_t node = 0;
    for (const char32_t c : line) {
      if (!isDigit(c)) node = child(node, c);
    }
    // Forward order, first one kept: the same trie as inserting the lines
    // from last to first, each replacing what was there.
    if (nodes_[node].scoreList == kNone)
      setScores(node, scorePattern(line), OnConflict::kKeepFirst);
  });
}

}  // namespace morvane::detail
