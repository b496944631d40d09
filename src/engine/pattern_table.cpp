#include "engine/pattern_table.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <map>

#include "common/narrow.hpp"
#include "common/scratch_buffer.hpp"
#include "engine/pattern_links.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

constexpr std::size_t kNarrowAlphabet = 63;  // symbols 1 to 63 are bits of a mask

// Walking the trie from every start costs up to the longest pattern at every
// letter; beyond these sizes (real patterns have at most 16 letters) a table
// scores through its failure links.
constexpr std::size_t kWalkLetters = 24;
constexpr std::size_t kWalkEntries = 32;
// Under the longest-prefix rule one list applies per character, so a walk
// costs its letters alone: office dictionaries' whole-word patterns fit.
constexpr std::size_t kWalkLongestLetters = 64;
constexpr std::size_t kWalkLongestEntries = 128;
// Characters of a dotted word kept on the stack while it is scored.
constexpr std::size_t kInlineSymbols = 66;

/// The letters on the edges of the trie, ascending, each once.
std::vector<char32_t> distinctLetters(const PatternBuilder::NodeList& nodes) {
  // Few distinct letters among many nodes: mark the common ones in a bit set
  // rather than sorting every node's letter.
  constexpr std::size_t kMarked = 0x10000;
  std::vector<bool> seen(kMarked);
  std::vector<char32_t> letters;
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    const char32_t c = nodes[i].letter;
    if (c >= kMarked) {
      letters.push_back(c);
    } else if (!seen[c]) {
      seen[c] = true;
      letters.push_back(c);
    }
  }
  std::sort(letters.begin(), letters.end());
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  return letters;
}

}  // namespace

PatternTable::PatternTable(const PatternBuilder& builder, Matching matching) : matching_(matching) {
  const auto& source = builder.nodes();

  // Symbols in ascending code point order, from 1.
  std::vector<char32_t> letters = distinctLetters(source);
  std::vector<std::pair<char32_t, char32_t>> symbolPairs;
  symbolPairs.reserve(letters.size());
  for (std::size_t i = 0; i < letters.size(); ++i)
    symbolPairs.emplace_back(letters[i], narrowIndex(i + 1));
  symbols_ = CharMap(symbolPairs);
  dot_ = symbol(U'.');
  wide_ = letters.size() > kNarrowAlphabet;

  // Scores become codes: the scores themselves when all fit in 32 bits, else
  // their ranks, spaced so that each keeps its parity.
  const bool identity = builder.smallestScore() >= std::numeric_limits<Code>::min() &&
                        builder.largestScore() <= std::numeric_limits<Code>::max();
  std::map<Score, Code> codes;
  if (!identity) {
    std::vector<Score> distinct;
    for (std::uint32_t list = 0; list < builder.listCount(); ++list) {
      for (const Score s : builder.scores(list)) {
        if (s != 0) distinct.push_back(s);
      }
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    // Codes run from minCode_ upwards; zero keeps code 0.
    std::vector<std::pair<Score, Code>> assigned;
    const auto negatives = std::lower_bound(distinct.begin(), distinct.end(), Score{0});
    Code next = 0;
    for (auto at = negatives; at-- != distinct.begin();) {  // below zero, downwards
      next -= 1;
      if (((next % 2) != 0) != ((*at % 2) != 0)) next -= 1;
      assigned.emplace_back(*at, next);
    }
    minCode_ = next;
    next = 0;
    for (auto at = negatives; at != distinct.end(); ++at) {
      next += 1;
      if (((next % 2) != 0) != ((*at % 2) != 0)) next += 1;
      assigned.emplace_back(*at, next);
    }
    values_.assign(static_cast<std::size_t>(next - minCode_) + 1, 0);
    for (const auto& [value, code] : assigned) {
      codes.emplace(value, code);
      values_[static_cast<std::size_t>(code - minCode_)] = value;
    }
  }
  const auto codeOf = [&](Score s) { return identity ? static_cast<Code>(s) : codes.at(s); };

  // Breadth-first renumbering: each node's children get consecutive numbers,
  // in symbol order.
  nodes_.reserve(source.size());
  if (wide_) {
    childCount_.resize(source.size());
    edge_.resize(source.size());
  }
  rootChild_.assign(letters.size() + 1, 0);
  lists_.emplace_back();
  const std::vector<std::uint32_t> tableList = addLists(builder, codeOf);
  LargeVector<std::uint32_t> order{0};  // builder index of each new node
  order.reserve(source.size());
  LargeVector<std::uint32_t> depth{0};
  depth.reserve(source.size());
  std::size_t deepest = 0;
  std::size_t longestList = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> children;  // (symbol, builder index)
  // Letter → symbol for the walk below: a plain array when the letters span
  // few code points (as in every built-in language).
  std::vector<std::uint16_t> dense;
  if (!letters.empty() && letters.back() < 0x10000 && letters.size() < 0xFFFF) {
    dense.assign(letters.back() + 1, 0);
    for (std::size_t i = 0; i < letters.size(); ++i) {
      dense[letters[i]] = static_cast<std::uint16_t>(i + 1);
    }
  }
  const auto symbolOf = [&](char32_t c) -> std::uint32_t {
    return c < dense.size() ? dense[c] : symbol(c);
  };
  for (std::size_t at = 0; at < order.size(); ++at) {
    const PatternBuilder::Node& from = source[order[at]];
    Node& to = nodes_.emplace_back();  // nodes are made in the order they are numbered
    children.clear();
    for (std::uint32_t c = from.firstChild; c != PatternBuilder::kNone; c = source[c].nextSibling) {
      children.emplace_back(symbolOf(source[c].letter), c);
    }
    // Siblings are listed newest first: from sorted pattern text, descending.
    std::reverse(children.begin(), children.end());
    if (!std::is_sorted(children.begin(), children.end())) {
      std::sort(children.begin(), children.end());
    }
    to.firstChild = narrowIndex(order.size());
    if (wide_) childCount_[at] = narrowIndex(children.size());
    for (const auto& [sym, index] : children) {
      if (at == 0) rootChild_[sym] = narrowIndex(order.size());
      if (wide_) {
        edge_[order.size()] = sym;
      } else {
        to.children |= std::uint64_t{1} << sym;
      }
      order.push_back(index);
      depth.push_back(depth[at] + 1);
    }
    if (from.scoreList != PatternBuilder::kNone) to.scoreList = tableList[from.scoreList];
    deepest = std::max<std::size_t>(deepest, depth[at]);
    longestList = std::max<std::size_t>(longestList, lists_[to.scoreList].length);
  }
  if (!builder.tags().empty()) {
    std::vector<std::uint32_t> nodeOf(source.size());
    for (std::size_t at = 0; at < order.size(); ++at) nodeOf[order[at]] = narrowIndex(at);
    tags_.assign(nodes_.size(), 0);
    for (const auto& [node, tag] : builder.tags()) tags_[nodeOf[node]] = tag;
  }
  walkable_ = matching_ == Matching::kEveryPattern
                  ? deepest <= kWalkLetters && longestList <= kWalkEntries
                  : deepest <= kWalkLongestLetters && longestList <= kWalkLongestEntries &&
                        nodes_[0].scoreList == 0;
  if (!walkable_) (void)links();
}

PatternTable::~PatternTable() = default;

const PatternLinks& PatternTable::links() const {
  return *links_.get([this] { return std::make_unique<const PatternLinks>(*this); });
}

template <class CodeOf>
std::vector<std::uint32_t> PatternTable::addLists(const PatternBuilder& builder, CodeOf codeOf) {
  std::vector<std::uint32_t> tableList(builder.listCount(), 0);
  for (std::uint32_t list = 0; list < builder.listCount(); ++list) {
    const std::span<const Score> scores = builder.scores(list);
    if (scores.empty()) continue;  // no list
    tableList[list] = narrowIndex(lists_.size());
    ListInfo info{narrowIndex(entries_.size()), 0, narrowIndex(scores.size())};
    for (std::size_t i = 0; i < scores.size(); ++i) {
      if (scores[i] != 0) entries_.push_back({narrowIndex(i), codeOf(scores[i])});
    }
    info.entryCount = narrowIndex(entries_.size() - info.firstEntry);
    lists_.push_back(info);
  }
  return tableList;
}

std::uint32_t PatternTable::wideChild(std::uint32_t node, std::uint32_t symbol) const {
  const std::uint32_t* first = edge_.data() + nodes_[node].firstChild;
  const std::uint32_t* last = first + childCount_[node];
  const std::uint32_t* at = std::lower_bound(first, last, symbol);
  return at != last && *at == symbol ? static_cast<std::uint32_t>(at - edge_.data()) : 0;
}

template <bool kWide, class Visit>
[[gnu::always_inline]] inline void PatternTable::forEachMatch(std::span<const std::uint32_t> dotted,
                                                              Visit&& visit) const {
  const std::size_t m = dotted.size();
  const std::uint32_t rootList = nodes_[0].scoreList;
  for (std::size_t start = 0; start < m; ++start) {
    if (rootList != 0) visit(lists_[rootList], start);
    std::uint32_t node = rootChild_[dotted[start]];
    for (std::size_t next = start + 1; node != 0; ++next) {
      if (const std::uint32_t list = nodes_[node].scoreList; list != 0) visit(lists_[list], start);
      if (next == m) break;
      node = kWide ? wideChild(node, dotted[next]) : narrowChild(node, dotted[next]);
    }
  }
  // The root's own list also stands alone after the final ".".
  if (rootList != 0) visit(lists_[rootList], m);
}

template <bool kWide>
[[gnu::always_inline]] inline bool PatternTable::scoreWith(std::span<const std::uint32_t> dotted,
                                                           std::span<Code> raw) const {
  const std::size_t m = dotted.size();
  bool reachesEnd = false;
  forEachMatch<kWide>(dotted, [&](const ListInfo& list, std::size_t at) {
    const Entry* entry = entries_.data() + list.firstEntry;
    const Entry* const end = entry + list.entryCount;
    if (list.length > m - at) {
      reachesEnd = true;  // and entries past the final "." are not kept
      while (entry != end && entry->offset < m - at) {
        raw[at + entry->offset] = std::max(raw[at + entry->offset], entry->code);
        ++entry;
      }
      return;
    }
    for (; entry != end; ++entry)
      raw[at + entry->offset] = std::max(raw[at + entry->offset], entry->code);
  });
  return reachesEnd;
}

template <bool kWide, bool kSources>
bool PatternTable::scoreLongest(std::span<const std::uint32_t> dotted, std::span<Code> raw,
                                std::span<std::uint32_t> sources,
                                std::span<std::uint32_t> starts) const {
  const std::size_t m = dotted.size();
  // The node of the longest stretch ending at each character (0 for none)
  // and where it starts; scores are then applied in the order of the ends,
  // so that of equal ones the first stays.
  ScratchBuffer<std::uint32_t, kInlineSymbols> longest(m);
  ScratchBuffer<std::uint32_t, kInlineSymbols> longestStart(m);
  std::fill_n(longest.data(), m, 0);
  for (std::size_t start = 0; start < m; ++start) {
    std::uint32_t node = rootChild_[dotted[start]];
    for (std::size_t end = start; node != 0;) {
      if (longest[end] == 0) {
        longest[end] = node;
        longestStart[end] = static_cast<std::uint32_t>(start);
      }
      if (++end == m) break;
      node = kWide ? wideChild(node, dotted[end]) : narrowChild(node, dotted[end]);
    }
  }
  bool reachesEnd = false;
  for (std::size_t end = 0; end < m; ++end) {
    const std::uint32_t node = longest[end];
    if (node == 0 || nodes_[node].scoreList == 0) continue;
    const ListInfo& list = lists_[nodes_[node].scoreList];
    const std::size_t start = longestStart[end];
    if (list.length > m - start) reachesEnd = true;  // and entries past the final "." are not kept
    const Entry* entry = entries_.data() + list.firstEntry;
    for (const Entry* last = entry + list.entryCount; entry != last; ++entry) {
      const std::size_t at = start + entry->offset;
      if (at >= m) break;
      if constexpr (kSources) {
        if (entry->code > raw[at]) {
          raw[at] = entry->code;
          sources[at] = node;
          starts[at] = static_cast<std::uint32_t>(start);
        }
      } else {
        raw[at] = std::max(raw[at], entry->code);
      }
    }
  }
  return reachesEnd;
}

bool PatternTable::scoreWithSources(std::span<const std::uint32_t> dotted, std::span<Code> raw,
                                    std::span<std::uint32_t> sources,
                                    std::span<std::uint32_t> starts) const {
  if (!walkable_) return links().scoreWithSources(dotted, raw, sources, starts);
  return wide_ ? scoreLongest<true, true>(dotted, raw, sources, starts)
               : scoreLongest<false, true>(dotted, raw, sources, starts);
}

bool PatternTable::scoreAnyCpu(std::span<const std::uint32_t> dotted, std::span<Code> raw) const {
  return wide_ ? scoreWith<true>(dotted, raw) : scoreWith<false>(dotted, raw);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same loop where the processor's population count instruction may be used.
[[gnu::target("popcnt")]] bool PatternTable::scoreWithPopcount(
    std::span<const std::uint32_t> dotted, std::span<Code> raw) const {
  return wide_ ? scoreWith<true>(dotted, raw) : scoreWith<false>(dotted, raw);
}

bool PatternTable::score(std::span<const std::uint32_t> dotted, std::span<Code> raw) const {
  if (!walkable_) return links().score(dotted, raw);
  if (matching_ == Matching::kLongestPrefix) {
    return wide_ ? scoreLongest<true, false>(dotted, raw, {}, {})
                 : scoreLongest<false, false>(dotted, raw, {}, {});
  }
  static const bool popcount = __builtin_cpu_supports("popcnt") != 0;
  return popcount ? scoreWithPopcount(dotted, raw) : scoreAnyCpu(dotted, raw);
}
#else
bool PatternTable::score(std::span<const std::uint32_t> dotted, std::span<Code> raw) const {
  if (!walkable_) return links().score(dotted, raw);
  if (matching_ == Matching::kLongestPrefix) {
    return wide_ ? scoreLongest<true, false>(dotted, raw, {}, {})
                 : scoreLongest<false, false>(dotted, raw, {}, {});
  }
  return scoreAnyCpu(dotted, raw);
}
#endif

ScoreList PatternTable::rawScores(std::span<const std::uint32_t> dotted) const {
  ScoreList result;
  for (const Code code : links().rawCodes(dotted)) result.push_back(valueOf(code));
  return result;
}

}  // namespace morvane::detail
