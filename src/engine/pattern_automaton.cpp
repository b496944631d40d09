#include "engine/pattern_automaton.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

namespace morvane::detail {

namespace {

using Window = std::array<std::uint8_t, PatternAutomaton::kMaxWindow>;

/// Writes the score list of `node` (at `depth` letters) into its window,
/// which ends at the boundary after its last letter. False when the list
/// does not fit: a score beyond a byte, or a list that is not exactly one
/// entry longer than the letters (consecutive digits in a pattern make
/// longer ones, reaching past the letters).
bool placeOwnScores(const PatternTable& table, std::uint32_t node, std::uint32_t depth,
                    Window& window) {
  const std::size_t length = table.scoreLength(node);
  if (length == 0) return true;
  if (length != std::size_t{depth} + 1 || length > PatternAutomaton::kMaxWindow) return false;
  bool fits = true;
  table.forEachScore(node, [&](std::uint32_t offset, Score score) {
    if (score < 0 || score > std::numeric_limits<std::uint8_t>::max()) {
      fits = false;
    } else {
      window[PatternAutomaton::kMaxWindow - length + offset] = static_cast<std::uint8_t>(score);
    }
  });
  return fits;
}

struct WindowHash {
  std::size_t operator()(const Window& w) const {
    std::uint64_t hash = 0;
    for (std::size_t i = 0; i < w.size(); i += sizeof hash) {
      std::uint64_t part = 0;
      std::memcpy(&part, w.data() + i, sizeof part);
      hash = std::rotl(hash, 29) ^ (part * 0x9E3779B97F4A7C15ULL);
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
  }
};

}  // namespace

std::shared_ptr<const PatternAutomaton> PatternAutomaton::compile(const PatternTable& table,
                                                                  std::size_t maxCells,
                                                                  Layout quickest) {
  const std::size_t nodes = table.nodeCount();
  const std::size_t columns = table.alphabetSize();
  // The root's own list would score every boundary, the empty word's too.
  if (table.scoreLength(0) != 0) return nullptr;

  // States are the root and the inner nodes; a leaf goes on as its failure
  // (its longest proper suffix in the trie) does. Breadth-first, a node's
  // failure is shallower than the node, so its transitions are known when
  // the node's are made: the failure's, with the node's own children put in.
  //
  // A dense state has a row of every symbol's target. When a table is too
  // large for a row per state, a state with few children is sparse: its
  // targets that differ from a dense state's row (its base, the nearest
  // dense state among its failures), its children and those of the sparse
  // failures between, are listed, and the rest read from the base's row.
  std::size_t innerNodes = 0;
  for (std::uint32_t node = 0; node < nodes; ++node) {
    bool inner = false;
    table.forEachChild(node, [&inner](std::uint32_t, std::uint32_t) { inner = true; });
    innerNodes += inner || node == 0 ? 1 : 0;
  }
  const bool sparseLayout = quickest == Layout::kSparse || innerNodes * columns > maxCells;

  constexpr std::uint32_t kNone = 0xFFFFFFFF;
  std::vector<std::uint32_t> failure(nodes, 0);
  std::vector<std::uint32_t> depth(nodes, 0);
  std::vector<std::uint32_t> stateNode(nodes, 0);      // the node whose transitions it takes
  std::vector<std::uint32_t> rowOf(nodes, kNone);      // dense states' rows in `next`
  std::vector<std::uint32_t> baseOf(nodes, 0);         // sparse states' base
  std::vector<std::uint32_t> listStart(nodes + 1, 0);  // sparse states' lists in `listed`
  std::vector<std::pair<std::uint32_t, std::uint32_t>> listed;  // (symbol, target node)
  std::vector<Window> windows(nodes, Window{});
  std::vector<bool> ends(nodes, false);
  std::vector<std::uint32_t> next;
  std::size_t rows = 0;
  // The target of `state` (a state's node) on `symbol`, as a node.
  const auto step = [&](std::uint32_t state, std::uint32_t symbol) {
    if (rowOf[state] != kNone) return next[std::size_t{rowOf[state]} * columns + symbol];
    for (std::uint32_t k = listStart[state]; k < listStart[state + 1]; ++k) {
      if (listed[k].first == symbol) return listed[k].second;
    }
    return next[std::size_t{rowOf[baseOf[state]]} * columns + symbol];
  };
  const bool everyPattern = table.matching() == PatternTable::Matching::kEveryPattern;
  std::size_t longestList = 0;
  // Under the longest-prefix rule a pattern whose scores do not fit a
  // window is marked as a tagged one is, so that the few words that reach
  // it are scored from the table; under TeX's rule its scores would be
  // merged into other states', so the table is not compiled.
  std::vector<bool> escapes(nodes, false);
  bool anyEscapes = false;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> children;
  for (std::uint32_t node = 0; node < nodes; ++node) {
    listStart[node + 1] = listStart[node];
    if (!placeOwnScores(table, node, depth[node], windows[node])) {
      if (everyPattern) return nullptr;
      windows[node] = Window{};
      escapes[node] = true;
      anyEscapes = true;
    } else {
      longestList = std::max(longestList, table.scoreLength(node));
    }
    ends[node] = table.scoreLength(node) != 0;
    const std::uint32_t fail = stateNode[failure[node]];
    // Under TeX's rule a state scores with every pattern ending there: its
    // own and its failure's.
    if (node != 0 && everyPattern) {
      for (std::size_t k = 0; k < kMaxWindow; ++k) {
        windows[node][k] = std::max(windows[node][k], windows[failure[node]][k]);
      }
      ends[node] = ends[node] || ends[failure[node]];
    }
    children.clear();
    table.forEachChild(node, [&](std::uint32_t symbol, std::uint32_t child) {
      children.emplace_back(symbol, child);
      // The failure of a child: where the node's failure goes on that symbol.
      failure[child] = node == 0 ? 0 : step(fail, symbol);
      depth[child] = depth[node] + 1;
    });
    if (node != 0 && children.empty()) {
      stateNode[node] = fail;
      continue;
    }
    stateNode[node] = node;
    if (sparseLayout && node != 0 && depth[node] > 1 && children.size() <= kSparseChildren) {
      const bool failIsDense = rowOf[fail] != kNone;
      const std::size_t inherited = failIsDense ? 0 : listStart[fail + 1] - listStart[fail];
      if (children.size() + inherited <= kSparseTargets) {
        baseOf[node] = failIsDense ? fail : baseOf[fail];
        for (const auto& child : children) listed.push_back(child);
        if (!failIsDense) {
          for (std::uint32_t k = listStart[fail]; k < listStart[fail + 1]; ++k) {
            const std::uint32_t symbol = listed[k].first;
            if (std::none_of(children.begin(), children.end(),
                             [symbol](const auto& c) { return c.first == symbol; })) {
              listed.push_back(listed[k]);
            }
          }
        }
        listStart[node + 1] = static_cast<std::uint32_t>(listed.size());
        if ((rows + 1) * columns + 2 * listed.size() > maxCells) return nullptr;
        continue;
      }
    }
    if ((rows + 1) * columns + 2 * listed.size() > maxCells) return nullptr;
    rowOf[node] = static_cast<std::uint32_t>(rows++);
    next.resize(rows * columns, 0);
    const auto row = next.begin() + static_cast<std::ptrdiff_t>(std::size_t{rowOf[node]} * columns);
    if (node != 0 && rowOf[fail] != kNone) {
      std::copy_n(next.begin() + static_cast<std::ptrdiff_t>(std::size_t{rowOf[fail]} * columns),
                  columns, row);
    } else if (node != 0) {
      for (std::uint32_t symbol = 0; symbol < columns; ++symbol) row[symbol] = step(fail, symbol);
    }
    for (const auto& [symbol, child] : children) row[symbol] = child;
  }

  std::unique_ptr<PatternAutomaton> automaton(new PatternAutomaton());
  automaton->dot_ = table.dotSymbol();
  automaton->width_ = longestList <= 16 ? 16 : kMaxWindow;
  const std::size_t width = automaton->width_;
  // Distinct windows, numbered from 1 (0, all zeros, is for no pattern).
  std::unordered_map<Window, std::uint32_t, WindowHash> index;
  std::vector<std::uint32_t> windowOf(nodes, 0);
  auto& stored = automaton->windows_;
  stored.assign(width, 0);
  // Untagged windows first, then the tagged patterns' own.
  for (const bool tagged : {false, true}) {
    if (tagged && (table.hasTags() || anyEscapes)) {
      index.clear();
      automaton->firstTagged_ = static_cast<std::uint32_t>(stored.size() / width);
    }
    for (std::uint32_t node = 0; node < nodes; ++node) {
      if (!ends[node] || (table.tag(node) != 0 || escapes[node]) != tagged) continue;
      auto [at, added] =
          index.try_emplace(windows[node], static_cast<std::uint32_t>(stored.size() / width));
      if (added) {
        stored.insert(stored.end(), windows[node].end() - static_cast<std::ptrdiff_t>(width),
                      windows[node].end());
      }
      windowOf[node] = at->second;
    }
  }
  // Dense states are numbered first, in the order of their rows (the
  // root's is 0), then the sparse ones, by where their records start.
  std::vector<std::uint32_t> stateIndex(nodes, kNone);
  std::size_t states = 0;
  for (std::uint32_t node = 0; node < nodes; ++node) {
    if (stateNode[node] == node && rowOf[node] != kNone)
      stateIndex[node] = static_cast<std::uint32_t>(states++);
  }
  const std::size_t denseStates = states;
  for (std::uint32_t node = 0; node < nodes; ++node) {
    if (stateNode[node] == node && rowOf[node] == kNone) {
      stateIndex[node] = static_cast<std::uint32_t>(states);
      states += 2 + 2 * std::size_t{listStart[node + 1] - listStart[node]};
    }
  }
  const auto windowBits = static_cast<unsigned>(std::bit_width(stored.size() / width - 1));
  if (windowBits >= 32 || states - 1 > (std::numeric_limits<std::uint32_t>::max() >> windowBits) ||
      rows * columns > std::numeric_limits<std::uint32_t>::max()) {
    return nullptr;
  }
  automaton->windowBits_ = windowBits;
  automaton->denseStates_ = static_cast<std::uint32_t>(denseStates);
  const auto cellOf = [&](std::uint32_t target) {
    return (stateIndex[stateNode[target]] << windowBits) | windowOf[target];
  };
  constexpr std::size_t kHalf = std::numeric_limits<std::uint16_t>::max();
  const bool split = quickest == Layout::kSplit && listed.empty() && states - 1 <= kHalf &&
                     stored.size() / width - 1 <= kHalf && next.size() <= kMostSplitCells;
  automaton->layout_ = split ? Layout::kSplit : listed.empty() ? Layout::kPacked : Layout::kSparse;
  for (std::size_t c = 0; c < columns; ++c)
    automaton->columns_.push_back(static_cast<std::uint32_t>(c * rows));
  if (split) {
    automaton->nextStates_.resize(next.size());
    automaton->windowsOf_.resize(next.size());
  } else {
    automaton->cells_.resize(next.size());
  }
  for (std::size_t c = 0; c < columns; ++c) {
    for (std::size_t r = 0; r < rows; ++r) {
      const std::uint32_t target = next[r * columns + c];
      if (split) {
        automaton->nextStates_[c * rows + r] =
            static_cast<std::uint16_t>(stateIndex[stateNode[target]]);
        automaton->windowsOf_[c * rows + r] = static_cast<std::uint16_t>(windowOf[target]);
      } else {
        automaton->cells_[c * rows + r] = cellOf(target);
      }
    }
  }
  auto& records = automaton->records_;
  records.reserve(states - denseStates);
  for (std::uint32_t node = 0; node < nodes; ++node) {
    if (stateNode[node] != node || rowOf[node] != kNone) continue;
    records.push_back(stateIndex[baseOf[node]]);
    records.push_back(listStart[node + 1] - listStart[node]);
    for (std::uint32_t k = listStart[node]; k < listStart[node + 1]; ++k) {
      records.push_back(listed[k].first);
      records.push_back(cellOf(listed[k].second));
    }
  }
  return automaton;
}

}  // namespace morvane::detail
