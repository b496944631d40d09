#include "engine/pattern_links.hpp"

#include <algorithm>
#include <deque>
#include <limits>

#include "common/narrow.hpp"
#include "engine/pattern_table.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

std::int32_t narrowSigned(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw Error("pattern table too large");
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

PatternLinks::PatternLinks(const PatternTable& table) : table_(table) {
  const auto count = static_cast<std::uint32_t>(table.nodeCount());
  // Nodes are numbered breadth-first, so a node's parent, and its failure
  // (which is shallower), come before it.
  failure_.assign(count, 0);
  LargeVector<std::uint32_t> depth(count, 0);
  table.forEachChild(0, [&](std::uint32_t, std::uint32_t child) { depth[child] = 1; });
  for (std::uint32_t node = 1; node < count; ++node) {
    table.forEachChild(node, [&](std::uint32_t symbol, std::uint32_t child) {
      failure_[child] = step(failure_[node], symbol);
      depth[child] = depth[node] + 1;
    });
  }

  if (table.matching() == PatternTable::Matching::kLongestPrefix)
    depth_.assign(depth.begin(), depth.end());

  if (const std::size_t length = table.scoreLength(0); length != 0) {
    rootCodes_.assign(length, 0);
    table.forEachCode(0, [&](std::uint32_t offset, Code code) { rootCodes_[offset] = code; });
    rootPrefixMax_ = rootCodes_;
    for (std::size_t i = 1; i < length; ++i) {
      rootPrefixMax_[i] = std::max(rootPrefixMax_[i], rootPrefixMax_[i - 1]);
    }
  }

  outputOf_.assign(count, 0);
  // Room for an output for each node and the entries of the table's lists,
  // which is about what a large table needs, so that it is not copied as it
  // grows.
  outputs_.reserve(std::size_t{count} + 1);
  entries_.reserve(table.entryCount());
  outputs_.emplace_back();
  std::vector<Entry> own;
  std::vector<Entry> tail;
  std::vector<Entry> merged;
  // Under the longest-prefix rule a node scores with its own pattern alone.
  const bool ownOnly = table.matching() == PatternTable::Matching::kLongestPrefix;
  for (std::uint32_t node = 1; node < count; ++node) {
    const std::uint32_t inherited = ownOnly ? 0 : outputOf_[failure_[node]];
    const std::size_t length = table.scoreLength(node);
    if (length == 0) {
      outputOf_[node] = inherited;
      continue;
    }
    // Within the word every boundary starts from 0, so entries before the
    // last letter matter only when positive; from the boundary after it on
    // (past the end of the word) negative ones count too.
    const std::int64_t letters = depth[node];
    own.clear();
    tail.clear();
    table.forEachCode(node, [&](std::uint32_t offset, Code code) {
      const std::int64_t at = static_cast<std::int64_t>(offset) - letters;
      if (code > 0 || at >= 0) (at > 0 ? tail : own).push_back({narrowSigned(at), code});
    });
    const std::int32_t reach = narrowSigned(static_cast<std::int64_t>(length) - letters);
    const Output suffixes = outputs_[inherited];  // a copy: outputs_ grows below
    std::uint32_t tails = suffixes.next;
    if (reach > 1) {  // the list goes on past the boundary after its letters
      tails = narrowIndex(outputs_.size());
      outputs_.push_back(
          {narrowIndex(entries_.size()), narrowIndex(tail.size()), reach, suffixes.next});
      entries_.insert(entries_.end(), tail.begin(), tail.end());
    }
    mergeEnding(own, reach,
                std::span<const Entry>(entries_.data() + suffixes.firstEntry, suffixes.entryCount),
                suffixes.reach, merged);
    outputOf_[node] = narrowIndex(outputs_.size());
    outputs_.push_back({narrowIndex(entries_.size()), narrowIndex(merged.size()),
                        inherited == 0 ? reach : std::max(reach, suffixes.reach), tails});
    entries_.insert(entries_.end(), merged.begin(), merged.end());
  }
}

void PatternLinks::mergeEnding(std::span<const Entry> a, std::int32_t reachA,
                               std::span<const Entry> b, std::int32_t reachB,
                               std::vector<Entry>& out) {
  out.clear();
  const auto keep = [&out](std::int32_t at, Code code) {
    if (code > 0 || (code < 0 && at >= 0)) out.push_back({at, code});
  };
  // Where a list has no entry but covers the boundary (before its reach), it
  // counts as 0 there.
  const auto alone = [](const Entry& e, std::int32_t otherReach) {
    return e.at < otherReach ? std::max(e.code, Code{0}) : e.code;
  };
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() || j < b.size()) {
    if (j == b.size() || (i < a.size() && a[i].at < b[j].at)) {
      keep(a[i].at, alone(a[i], reachB));
      ++i;
    } else if (i == a.size() || b[j].at < a[i].at) {
      keep(b[j].at, alone(b[j], reachA));
      ++j;
    } else {
      keep(a[i].at, std::max(a[i].code, b[j].code));
      ++i;
      ++j;
    }
  }
}

std::uint32_t PatternLinks::step(std::uint32_t state, std::uint32_t symbol) const {
  while (state != 0) {
    if (const std::uint32_t child = table_.child(state, symbol); child != 0) return child;
    state = failure_[state];
  }
  return table_.child(0, symbol);
}

template <class Visit>
void PatternLinks::forEachMatch(std::span<const std::uint32_t> dotted, Visit&& visit) const {
  std::uint32_t state = 0;
  for (std::size_t at = 0; at < dotted.size(); ++at) {
    state = step(state, dotted[at]);
    if (const std::uint32_t o = outputOf_[state]; o != 0) {
      visit(outputs_[o], at + 1, false, state);
      for (std::uint32_t t = outputs_[o].next; t != 0; t = outputs_[t].next) {
        visit(outputs_[t], at + 1, true, state);
      }
    }
  }
}

bool PatternLinks::scoreWithSources(std::span<const std::uint32_t> dotted, std::span<Code> raw,
                                    std::span<std::uint32_t> sources,
                                    std::span<std::uint32_t> starts) const {
  const auto m = static_cast<std::ptrdiff_t>(dotted.size());
  bool reachesEnd = !rootCodes_.empty();
  forEachMatch(
      dotted, [&](const Output& out, std::size_t after, bool /*isTail*/, std::uint32_t node) {
        const auto end = static_cast<std::ptrdiff_t>(after);
        if (end + out.reach > m) reachesEnd = true;
        const Entry* entry = entries_.data() + out.firstEntry;
        for (const Entry* last = entry + out.entryCount; entry != last; ++entry) {
          const std::ptrdiff_t at = end + entry->at;
          if (at >= m) break;
          // Only a greater score takes a boundary over: of equal ones the first stays.
          if (entry->code > raw[static_cast<std::size_t>(at)]) {
            raw[static_cast<std::size_t>(at)] = entry->code;
            sources[static_cast<std::size_t>(at)] = node;
            starts[static_cast<std::size_t>(at)] = static_cast<std::uint32_t>(end) - depth_[node];
          }
        }
      });
  return reachesEnd;
}

bool PatternLinks::score(std::span<const std::uint32_t> dotted, std::span<Code> raw) const {
  const auto m = static_cast<std::ptrdiff_t>(dotted.size());
  // The list of no letters starts at the boundary after the final "." too.
  bool reachesEnd = !rootCodes_.empty();
  forEachMatch(dotted, [&](const Output& out, std::size_t after, bool /*isTail*/,
                           std::uint32_t /*node*/) {
    const auto end = static_cast<std::ptrdiff_t>(after);
    if (end + out.reach > m) reachesEnd = true;  // and entries past the final "." are not kept
    const Entry* entry = entries_.data() + out.firstEntry;
    for (const Entry* last = entry + out.entryCount; entry != last; ++entry) {
      const std::ptrdiff_t at = end + entry->at;
      if (at >= m) break;
      raw[static_cast<std::size_t>(at)] = std::max(raw[static_cast<std::size_t>(at)], entry->code);
    }
  });
  if (!rootCodes_.empty()) {
    const std::size_t last = rootPrefixMax_.size() - 1;
    for (std::size_t b = 0; b < raw.size(); ++b) {
      raw[b] = std::max(raw[b], rootPrefixMax_[std::min(b, last)]);
    }
  }
  return reachesEnd;
}

std::vector<PatternLinks::Code> PatternLinks::rawCodes(
    std::span<const std::uint32_t> dotted) const {
  const std::size_t m = dotted.size();
  // Within the word every boundary starts from 0, so only positive entries
  // count there. Past it only the lists that reach there count, each with
  // its own entry or, where it has none, 0: per boundary, how many lists
  // cover it, how many of them with a negative entry, and the extremes.
  std::vector<Code> codes(m, 0);
  struct Past {
    std::int64_t coverDelta = 0;
    std::size_t negatives = 0;
    Code lowest = 0;   // the largest negative entry, when `negatives`
    Code highest = 0;  // the largest positive entry, or 0
  };
  std::vector<Past> past;
  forEachMatch(dotted, [&](const Output& out, std::size_t after, bool isTail,
                           std::uint32_t /*node*/) {
    // A node's merged output covers at most the boundary after its letters
    // (when one of its lists reaches that far); each output of entries past
    // it covers from the boundary after that to its reach.
    const auto end = static_cast<std::int64_t>(after);
    const std::int64_t coverFrom = std::max(end + (isTail ? 1 : 0), static_cast<std::int64_t>(m));
    const std::int64_t coverEnd = end + (isTail ? out.reach : std::min(out.reach, 1));
    if (coverEnd > coverFrom) {
      const auto beyond = static_cast<std::size_t>(coverEnd) - m;
      if (past.size() < beyond + 1) past.resize(beyond + 1);
      ++past[static_cast<std::size_t>(coverFrom) - m].coverDelta;
      --past[beyond].coverDelta;
    }
    const Entry* entry = entries_.data() + out.firstEntry;
    for (const Entry* last = entry + out.entryCount; entry != last; ++entry) {
      const auto at = static_cast<std::size_t>(end + entry->at);
      if (at < m) {
        codes[at] = std::max(codes[at], entry->code);
        continue;
      }
      Past& slot = past[at - m];
      if (entry->code > 0) {
        slot.highest = std::max(slot.highest, entry->code);
      } else {
        slot.lowest = slot.negatives++ == 0 ? entry->code : std::max(slot.lowest, entry->code);
      }
    }
  });

  // The list of no letters starts at every boundary 0 … m: before the end
  // its running maximum counts; at m + q the maximum of its entries q …
  // min(q + m, length − 1), a window that slides forward.
  const std::size_t rootLength = rootCodes_.size();
  for (std::size_t b = 0; b < m && rootLength != 0; ++b) {
    codes[b] = std::max(codes[b], rootPrefixMax_[std::min(b, rootLength - 1)]);
  }
  std::vector<Code> rootPast(rootLength);
  std::deque<std::size_t> window;  // indices of decreasing codes
  std::size_t added = 0;
  for (std::size_t q = 0; q < rootLength; ++q) {
    for (; added <= std::min(q + m, rootLength - 1); ++added) {
      while (!window.empty() && rootCodes_[window.back()] <= rootCodes_[added]) window.pop_back();
      window.push_back(added);
    }
    while (window.front() < q) window.pop_front();
    rootPast[q] = rootCodes_[window.front()];
  }

  const std::size_t beyond = std::max(past.empty() ? 0 : past.size() - 1, rootLength);
  codes.reserve(m + beyond);
  std::int64_t cover = 0;
  for (std::size_t q = 0; q < beyond; ++q) {
    Code value = std::numeric_limits<Code>::min();
    if (q < past.size()) {
      const Past& slot = past[q];
      cover += slot.coverDelta;
      if (cover > 0) {
        value = slot.highest > 0                                    ? slot.highest
                : cover > static_cast<std::int64_t>(slot.negatives) ? Code{0}
                                                                    : slot.lowest;
      }
    }
    if (q < rootLength) value = std::max(value, rootPast[q]);
    codes.push_back(value);
  }
  return codes;
}

}  // namespace morvane::detail
