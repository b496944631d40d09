#include "pattern_table.hpp"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

struct ScoreListHash {
  std::size_t operator()(const ScoreList& scores) const noexcept {
    std::size_t hash = 1469598103934665603ull;
    for (const Score s : scores) hash = (hash ^ static_cast<std::size_t>(s)) * 1099511628211ull;
    return hash;
  }
};

template <class T>
std::uint32_t narrow(T value) {
  if (value > std::numeric_limits<std::uint32_t>::max() - 1) throw Error("pattern table too large");
  return static_cast<std::uint32_t>(value);
}

}  // namespace

PatternTable::PatternTable(const PatternBuilder& builder) {
  const auto& source = builder.nodes();

  // Symbols in ascending code point order, from 1.
  std::vector<char32_t> letters;
  letters.reserve(source.size());
  for (std::size_t i = 1; i < source.size(); ++i) letters.push_back(source[i].letter);
  std::sort(letters.begin(), letters.end());
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  std::vector<std::pair<char32_t, char32_t>> symbolPairs;
  symbolPairs.reserve(letters.size());
  for (std::size_t i = 0; i < letters.size(); ++i) {
    symbolPairs.emplace_back(letters[i], narrow(i + 1));
  }
  symbols_ = CharMap(symbolPairs);
  dot_ = symbol(U'.');
  const auto symbolOf = [&](char32_t c) {
    return static_cast<std::uint32_t>(std::lower_bound(letters.begin(), letters.end(), c) -
                                      letters.begin() + 1);
  };

  // Breadth-first renumbering: each node's children get consecutive numbers.
  nodes_.resize(source.size());
  edge_.resize(source.size());
  std::vector<std::uint32_t> order{0};  // builder index of each new node
  order.reserve(source.size());
  std::vector<std::pair<std::uint32_t, std::uint32_t>> children;  // (symbol, builder index)
  std::unordered_map<ScoreList, std::uint32_t, ScoreListHash> listOffsets;
  for (std::size_t at = 0; at < order.size(); ++at) {
    const PatternBuilder::Node& from = source[order[at]];
    Node& to = nodes_[at];
    children.clear();
    for (std::uint32_t c = from.firstChild; c != PatternBuilder::kNone; c = source[c].nextSibling) {
      children.emplace_back(symbolOf(source[c].letter), c);
    }
    std::sort(children.begin(), children.end());
    to.firstChild = narrow(order.size());
    to.childCount = narrow(children.size());
    for (const auto& [sym, index] : children) {
      edge_[order.size()] = sym;
      order.push_back(index);
    }
    if (from.scoreList != PatternBuilder::kNone) {
      const ScoreList& list = builder.scoreLists()[from.scoreList];
      auto [found, added] = listOffsets.try_emplace(list, narrow(scores_.size()));
      if (added) scores_.insert(scores_.end(), list.begin(), list.end());
      to.scoreBegin = found->second;
      to.scoreLength = narrow(list.size());
    }
  }

  rootChild_.assign(letters.size() + 1, 0);
  const Node& root = nodes_[0];
  for (std::uint32_t i = 0; i < root.childCount; ++i) {
    rootChild_[edge_[root.firstChild + i]] = root.firstChild + i;
  }
}

std::uint32_t PatternTable::findChild(const Node& node, std::uint32_t symbol) const {
  const std::uint32_t* first = edge_.data() + node.firstChild;
  const std::uint32_t* last = first + node.childCount;
  if (node.childCount > 8) {
    const std::uint32_t* at = std::lower_bound(first, last, symbol);
    return at != last && *at == symbol ? static_cast<std::uint32_t>(at - edge_.data()) : 0;
  }
  for (const std::uint32_t* at = first; at != last; ++at) {
    if (*at == symbol) return static_cast<std::uint32_t>(at - edge_.data());
  }
  return 0;
}

bool PatternTable::score(std::span<const std::uint32_t> dotted, std::span<Score> raw,
                         ScoreList* overhang) const {
  const std::size_t m = dotted.size();
  bool reachesEnd = false;
  // Past the final "." only the lists that reach there count: no zero stands in.
  const auto addOverhang = [&](const Score* scores, std::size_t from, std::size_t to) {
    if (overhang->size() < to - from) {
      overhang->resize(to - from, std::numeric_limits<Score>::min());
    }
    for (std::size_t t = from; t < to; ++t) {
      Score& slot = (*overhang)[t - from];
      slot = std::max(slot, scores[t]);
    }
  };
  const auto apply = [&](const Node& node, std::size_t at) {
    std::size_t length = node.scoreLength;
    const Score* scores = scores_.data() + node.scoreBegin;
    if (length > m - at) {
      reachesEnd = true;
      if (overhang != nullptr) addOverhang(scores, m - at, length);
      length = m - at;
    }
    Score* target = raw.data() + at;
    for (std::size_t t = 0; t < length; ++t) target[t] = std::max(target[t], scores[t]);
  };

  const Node& root = nodes_[0];
  // The root's own list also stands alone after the final ".".
  if (root.scoreLength > 0) {
    reachesEnd = true;
    if (overhang != nullptr) addOverhang(scores_.data() + root.scoreBegin, 0, root.scoreLength);
  }
  for (std::size_t start = 0; start < m; ++start) {
    if (root.scoreLength > 0) apply(root, start);
    const std::uint32_t first = dotted[start];
    std::uint32_t node = first == kNoSymbol ? 0 : rootChild_[first];
    for (std::size_t next = start + 1; node != 0; ++next) {
      apply(nodes_[node], start);
      if (next == m || dotted[next] == kNoSymbol) break;
      node = findChild(nodes_[node], dotted[next]);
    }
  }
  return reachesEnd;
}

}  // namespace morvane::detail
