#include "pattern_automaton.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace morvane::detail {

namespace {

/// Writes the score list of `node` (at `depth` letters) into its window,
/// which ends at the boundary after its last letter. False when the list
/// does not fit: a score beyond a byte, or a list that is not exactly one
/// entry longer than the letters (consecutive digits in a pattern make
/// longer ones, reaching past the letters).
bool placeOwnScores(const PatternTable& table, std::uint32_t node, std::uint32_t depth,
                    PatternAutomaton::Window& window) {
  const std::size_t length = table.scoreLength(node);
  if (length == 0) return true;
  if (length != std::size_t{depth} + 1 || length > PatternAutomaton::kWindow) return false;
  bool fits = true;
  table.forEachScore(node, [&](std::uint32_t offset, Score score) {
    if (score < 0 || score > std::numeric_limits<std::uint8_t>::max()) {
      fits = false;
    } else {
      window[PatternAutomaton::kWindow - length + offset] = static_cast<std::uint8_t>(score);
    }
  });
  return fits;
}

struct WindowHash {
  std::size_t operator()(const PatternAutomaton::Window& w) const {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::memcpy(&low, w.data(), sizeof low);
    std::memcpy(&high, w.data() + sizeof low, sizeof high);
    const std::uint64_t mixed = (low ^ std::rotl(high, 29)) * 0x9E3779B97F4A7C15ULL;
    return static_cast<std::size_t>(mixed ^ (mixed >> 32));
  }
};

}  // namespace

std::shared_ptr<const PatternAutomaton> PatternAutomaton::compile(const PatternTable& table,
                                                                  std::size_t maxCells) {
  const std::size_t states = table.nodeCount();
  const auto shift = static_cast<unsigned>(std::bit_width(table.alphabetSize() - 1));
  const std::size_t columns = std::size_t{1} << shift;
  constexpr std::size_t kMaxStates = std::numeric_limits<std::uint16_t>::max();
  // The root's own list would score every boundary, the empty word's too.
  if (states > kMaxStates || states * columns > maxCells || table.scoreLength(0) != 0) {
    return nullptr;
  }

  std::unique_ptr<PatternAutomaton> automaton(new PatternAutomaton());
  automaton->columnShift_ = shift;
  automaton->dot_ = table.dotSymbol();
  auto& next = automaton->next_;
  next.assign(states * columns, 0);
  // Breadth-first, a node's failure (its longest proper suffix in the trie)
  // is shallower than the node, so its row and window are complete.
  std::vector<std::uint32_t> failure(states, 0);
  std::vector<std::uint32_t> depth(states, 0);
  std::vector<Window> windows(states, Window{});
  std::vector<bool> ends(states, false);
  for (std::uint32_t node = 0; node < states; ++node) {
    if (!placeOwnScores(table, node, depth[node], windows[node])) return nullptr;
    ends[node] = table.scoreLength(node) != 0;
    const std::uint32_t fail = failure[node];
    if (node != 0) {
      std::copy_n(next.begin() + static_cast<std::ptrdiff_t>(fail * columns), columns,
                  next.begin() + static_cast<std::ptrdiff_t>(node * columns));
      for (std::size_t k = 0; k < kWindow; ++k) {
        windows[node][k] = std::max(windows[node][k], windows[fail][k]);
      }
      ends[node] = ends[node] || ends[fail];
    }
    table.forEachChild(node, [&](std::uint32_t symbol, std::uint32_t child) {
      failure[child] = node == 0 ? 0 : next[fail * columns + symbol];
      depth[child] = depth[node] + 1;
      next[node * columns + symbol] = static_cast<std::uint16_t>(child);
    });
  }

  std::unordered_map<Window, std::uint16_t, WindowHash> index;
  index.reserve(states);
  automaton->windows_.push_back(Window{});
  automaton->windowOf_.assign(states, 0);
  for (std::uint32_t node = 0; node < states; ++node) {
    if (!ends[node]) continue;
    auto [at, added] =
        index.try_emplace(windows[node], static_cast<std::uint16_t>(automaton->windows_.size()));
    if (added) automaton->windows_.push_back(windows[node]);
    automaton->windowOf_[node] = at->second;
  }
  return automaton;
}

}  // namespace morvane::detail
