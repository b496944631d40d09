#include "reference_hyphenator.hpp"

#include <algorithm>

namespace morvane::reference {

namespace {

ScoreList maxList(const ScoreList& a, const ScoreList& b) {
  ScoreList out(std::max(a.size(), b.size()));
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i < a.size() && i < b.size()) {
      out[i] = std::max(a[i], b[i]);
    } else {
      out[i] = i < a.size() ? a[i] : b[i];
    }
  }
  return out;
}

ScoreList shifted(const ScoreList& list) {
  ScoreList out{0};
  out.insert(out.end(), list.begin(), list.end());
  return out;
}

ScoreList take(const ScoreList& list, std::int64_t count) {
  const auto n = static_cast<std::size_t>(
      std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(list.size())));
  return {list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n)};
}

ScoreList drop(const ScoreList& list, std::int64_t count) {
  const auto n = static_cast<std::size_t>(
      std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(list.size())));
  return {list.begin() + static_cast<std::ptrdiff_t>(n), list.end()};
}

}  // namespace

ScoreList lookupPattern(std::u32string_view word, const Patterns& trie) {
  std::u32string dotted(1, U'.');
  dotted.append(word);
  dotted.push_back(U'.');
  ScoreList raw = trie.scores();
  for (std::size_t i = dotted.size(); i-- > 0;) {
    ScoreList match = trie.scores();
    const Patterns* node = &trie;
    for (std::size_t j = i; j < dotted.size(); ++j) {
      const auto child = node->children().find(dotted[j]);
      if (child == node->children().end()) break;
      node = &child->second;
      match = maxList(match, node->scores());
    }
    raw = maxList(match, shifted(raw));
  }
  if (raw.empty()) throw Error("scores0");
  raw.erase(raw.begin());
  if (raw.empty()) throw Error("scores1");
  raw.pop_back();
  return raw;
}

std::vector<std::u32string> hyphenate(const CharFunction& chars, const Patterns& patterns,
                                      const Exceptions& exceptions, std::int64_t leftMin,
                                      std::int64_t rightMin, std::u32string_view word) {
  const auto n = static_cast<std::int64_t>(word.size());
  ScoreList s;
  if (n < leftMin + rightMin) {
    s.assign(word.size(), 0);
  } else {
    std::u32string normalised;
    for (const char32_t c : word) normalised.push_back(chars(c));
    ScoreList raw;
    if (auto entry = lookupException(normalised, exceptions)) {
      raw = *entry;
    } else {
      raw = reference::lookupPattern(normalised, patterns);
      // A pattern result is never malformed: the empty word's empty list
      // allows no break rather than failing.
      if (raw.empty()) raw = {0};
    }
    const std::int64_t d = n - leftMin - rightMin + 1;
    ScoreList trimmed;
    if (leftMin >= 1) {
      trimmed.assign(static_cast<std::size_t>(leftMin), 0);
      const ScoreList kept = take(drop(raw, leftMin), d);
      trimmed.insert(trimmed.end(), kept.begin(), kept.end());
    } else {
      trimmed = take(raw, d);
    }
    if (trimmed.empty()) {
      throw Error("Malformed hyphenation score for " + std::string(word.begin(), word.end()));
    }
    s.assign(trimmed.begin() + 1, trimmed.end());
  }
  std::vector<std::u32string> pieces;
  std::u32string piece;
  std::size_t k = 0;
  for (; k < word.size() && k < s.size(); ++k) {
    piece.push_back(word[k]);
    if (s[k] % 2 != 0) pieces.push_back(std::exchange(piece, {}));
  }
  piece.append(word.substr(k));
  pieces.push_back(piece);
  return pieces;
}

}  // namespace morvane::reference
