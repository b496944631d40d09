// Total-fit line breaking (Knuth and Plass, "Breaking paragraphs into
// lines", 1981), and first fit for comparison.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "layout/paragraph_breaks.hpp"
#include "morvane/lines.hpp"

namespace morvane {

namespace detail {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The glue that ends a paragraph stretches this much: enough that the last
// line is never loose, finite so that ratios stay numbers.
constexpr double kFillStretch = 1e9;
constexpr double kMaxBadness = 10000;

/// The caller's items with TeX's paragraph end, when they end it: a glue
/// that fills the last line and a forced break.
std::vector<ParagraphItem> finished(std::span<const ParagraphItem> items, bool ends) {
  std::vector<ParagraphItem> all(items.begin(), items.end());
  if (!ends) return all;
  // A glue at the end would be a break of its own; the fill replaces it.
  if (!all.empty() && all.back().kind == ParagraphItem::Kind::kGlue) all.pop_back();
  all.push_back(ParagraphItem::penalty(0, kInfinitePenalty));
  all.push_back(ParagraphItem::glue(0, kFillStretch, 0));
  all.push_back(ParagraphItem::penalty(0, -kInfinitePenalty));
  return all;
}

int fitnessClass(double r) {
  if (r < -0.5) return 0;  // tight
  if (r <= 0.5) return 1;  // decent
  if (r <= 1) return 2;    // loose
  return 3;                // very loose
}

/// Running totals of widths, stretch and shrink, and where lines may break.
struct Paragraph {
  std::vector<ParagraphItem> items;
  std::vector<double> width{0};
  std::vector<double> stretch{0};
  std::vector<double> shrink{0};
  std::span<const double> lineWidths;

  Paragraph(std::span<const ParagraphItem> given, std::span<const double> widths, bool ends)
      : items(finished(given, ends)), lineWidths(widths) {
    for (const ParagraphItem& item : items) {
      const bool glue = item.kind == ParagraphItem::Kind::kGlue;
      width.push_back(width.back() + (item.kind == ParagraphItem::Kind::kPenalty ? 0 : item.width));
      stretch.push_back(stretch.back() + (glue ? item.stretch : 0));
      shrink.push_back(shrink.back() + (glue ? item.shrink : 0));
    }
  }

  [[nodiscard]] bool legal(std::size_t b) const {
    const ParagraphItem& item = items[b];
    if (item.kind == ParagraphItem::Kind::kPenalty) return item.cost < kInfinitePenalty;
    return item.kind == ParagraphItem::Kind::kGlue && b > 0 &&
           items[b - 1].kind == ParagraphItem::Kind::kBox;
  }
  [[nodiscard]] bool forced(std::size_t b) const {
    return items[b].kind == ParagraphItem::Kind::kPenalty && items[b].cost <= -kInfinitePenalty;
  }
  [[nodiscard]] double lineWidth(std::size_t line) const {
    if (lineWidths.empty()) return kInfinity;
    return lineWidths[std::min(line, lineWidths.size() - 1)];
  }
  /// Where the line after a break at `b` begins: past what the break
  /// replaces and the glue and penalties that follow, up to a box or a
  /// forced break.
  [[nodiscard]] std::size_t lineStart(std::size_t b) const {
    std::size_t at = b + 1 + items[b].replaces;
    while (at < items.size() && items[at].kind != ParagraphItem::Kind::kBox &&
           !(at > b + 1 && forced(at))) {
      ++at;
    }
    return at;
  }
  /// The width of the line from `start`, begun with `startWidth` (what a
  /// changed spelling puts there), to a break at `b`, unadjusted.
  [[nodiscard]] double natural(double startWidth, std::size_t start, std::size_t b) const {
    return startWidth + width[b] - width[start] +
           (items[b].kind == ParagraphItem::Kind::kPenalty ? items[b].width : 0);
  }
  /// The adjustment ratio of that line.
  [[nodiscard]] double ratio(double startWidth, std::size_t start, std::size_t b,
                             std::size_t line) const {
    const double natural = this->natural(startWidth, start, b);
    const double target = lineWidth(line);
    if (natural < target) {
      const double y = stretch[b] - stretch[start];
      return y > 0 ? (target - natural) / y : kInfinity;
    }
    if (natural > target) {
      const double z = shrink[b] - shrink[start];
      return z > 0 ? (target - natural) / z : -kInfinity;
    }
    return 0;
  }
};

/// A feasible break, with the best way to reach it. Nodes live in one
/// array and name the node before them by index, so that no chain of them,
/// however long the paragraph, is freed or walked recursively.
struct Node {
  static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
  std::size_t position;  // the break; the line after it starts at `start`
  std::size_t start;
  double startWidth;  // what the break begins that line with
  std::size_t line;   // lines before the break
  int fitness;
  double demerits;
  double ratio;  // of the line ending here
  bool overfull;
  bool flagged;
  std::uint32_t previous;
};

/// The breaks from the paragraph's start to `last`, positions cut at `end`.
std::vector<LineBreakPoint> chain(const std::vector<Node>& nodes, std::uint32_t last,
                                  std::size_t end) {
  std::vector<LineBreakPoint> breaks;
  for (std::uint32_t at = last; at != Node::kNone && nodes[at].previous != Node::kNone;
       at = nodes[at].previous) {
    const Node& node = nodes[at];
    breaks.push_back({std::min(node.position, end), node.ratio, node.overfull});
  }
  std::reverse(breaks.begin(), breaks.end());
  return breaks;
}

/// One pass of total fit with `tolerance`, into `nodes`: the node chosen
/// at the end, or none when some break could only be reached by an
/// overfull line and `allowOverfull` is false. When the paragraph does not
/// end, the active node with the fewest demerits is chosen.
std::uint32_t totalFit(const Paragraph& p, const BreakParameters& parameters, const LineStart& from,
                       bool ends, double tolerance, bool allowOverfull, std::vector<Node>& nodes) {
  nodes.clear();
  nodes.push_back(
      Node{0, 0, from.width, from.line, from.fitness, 0, 0, false, from.flagged, Node::kNone});
  std::vector<std::uint32_t> active{0};
  const auto add = [&nodes, &active](const Node& node) {
    active.push_back(static_cast<std::uint32_t>(nodes.size()));
    nodes.push_back(node);
  };
  // Lines are told apart by their number only where widths still vary.
  const std::size_t distinctLines = p.lineWidths.size();
  // The best way to each fitness class (and line, while widths vary) at a
  // break, and the active nodes kept past it: made once, emptied at each.
  struct Candidate {
    double demerits = kInfinity;
    std::uint32_t from = Node::kNone;
    double ratio = 0;
  };
  std::vector<std::vector<Candidate>> best;  // [line class][fitness]
  std::vector<std::uint32_t> kept;
  for (std::size_t b = 0; b < p.items.size(); ++b) {
    if (!p.legal(b)) continue;
    const ParagraphItem& item = p.items[b];
    const bool flagged = item.kind == ParagraphItem::Kind::kPenalty && item.flagged;
    const double penalty = item.kind == ParagraphItem::Kind::kPenalty ? item.cost : 0;
    for (auto& classes : best) std::fill(classes.begin(), classes.end(), Candidate{});
    // Of the nodes dropped here, the one whose line overflows least.
    std::uint32_t leastOverflow = Node::kNone;
    double overflow = kInfinity;
    double droppedRatio = 0;
    kept.clear();
    for (const std::uint32_t index : active) {
      const Node& a = nodes[index];
      const double r = p.ratio(a.startWidth, a.start, b, a.line);
      if (r < -1 || p.forced(b)) {
        const double excess = p.natural(a.startWidth, a.start, b) - p.lineWidth(a.line);
        if (excess < overflow ||
            (excess == overflow && a.demerits < nodes[leastOverflow].demerits)) {
          overflow = excess;
          leastOverflow = index;
          droppedRatio = r;
        }
      } else {
        kept.push_back(index);
      }
      if (r < -1 || r > tolerance) continue;
      const double badness = std::min(100 * std::pow(std::abs(r), 3), kMaxBadness);
      double d = std::pow(parameters.linePenalty + badness, 2);
      if (penalty >= 0) {
        d += penalty * penalty;
      } else if (penalty > -kInfinitePenalty) {
        d -= penalty * penalty;
      }
      if (flagged && a.flagged) d += parameters.doubleHyphenDemerits;
      const int c = fitnessClass(r);
      if (std::abs(c - a.fitness) > 1) d += parameters.fitnessDemerits;
      d += a.demerits;
      const std::size_t lineClass =
          parameters.looseness != 0 ? a.line + 1 : std::min(a.line + 1, distinctLines);
      if (best.size() <= lineClass) best.resize(lineClass + 1, std::vector<Candidate>(4));
      Candidate& slot = best[lineClass][static_cast<std::size_t>(c)];
      if (d < slot.demerits) slot = {d, index, r};
    }
    std::swap(active, kept);
    const std::size_t start = p.lineStart(b);
    const double startWidth = item.postWidth;
    for (const auto& classes : best) {
      // Within a line class, a fitness class worse than the best by more
      // than its demerits can never be part of a better paragraph.
      double least = kInfinity;
      for (const Candidate& c : classes) least = std::min(least, c.demerits);
      for (std::size_t c = 0; c < classes.size(); ++c) {
        const Candidate& candidate = classes[c];
        if (candidate.demerits > least + parameters.fitnessDemerits ||
            candidate.demerits == kInfinity) {
          continue;
        }
        add(Node{b, start, startWidth, nodes[candidate.from].line + 1, static_cast<int>(c),
                 candidate.demerits, candidate.ratio, false, flagged, candidate.from});
      }
    }
    if (active.empty() && leastOverflow != Node::kNone) {
      // Nothing fits: the best line there was becomes an overfull one,
      // rather than losing the paragraph.
      if (!allowOverfull) return Node::kNone;
      const Node& dropped = nodes[leastOverflow];
      add(Node{b, start, startWidth, dropped.line + 1, 1,
               dropped.demerits + kMaxBadness * kMaxBadness, droppedRatio, droppedRatio < -1,
               flagged, leastOverflow});
    }
  }
  std::uint32_t chosen = Node::kNone;
  if (!ends) {
    for (const std::uint32_t a : active) {
      if (chosen == Node::kNone || nodes[a].demerits < nodes[chosen].demerits) chosen = a;
    }
    return chosen;
  }
  // The paragraph ends with a forced break: every active node ends there.
  const std::size_t end = p.items.size() - 1;
  for (const std::uint32_t a : active) {
    if (nodes[a].position != end) continue;
    if (chosen == Node::kNone || nodes[a].demerits < nodes[chosen].demerits) chosen = a;
  }
  if (chosen != Node::kNone && parameters.looseness != 0) {
    const auto target = static_cast<long long>(nodes[chosen].line) + parameters.looseness;
    std::uint32_t loosest = chosen;
    for (const std::uint32_t a : active) {
      if (nodes[a].position != end) continue;
      const auto distance = std::abs(static_cast<long long>(nodes[a].line) - target);
      const auto bestDistance = std::abs(static_cast<long long>(nodes[loosest].line) - target);
      if (distance < bestDistance ||
          (distance == bestDistance && nodes[a].demerits < nodes[loosest].demerits)) {
        loosest = a;
      }
    }
    chosen = loosest;
  }
  return chosen;
}

std::vector<LineBreakPoint> firstFit(const Paragraph& p, const LineStart& from, std::size_t end) {
  std::vector<LineBreakPoint> breaks;
  std::size_t start = 0;
  double startWidth = from.width;
  std::size_t line = from.line;
  std::size_t lastFit = 0;
  bool haveFit = false;
  for (std::size_t b = start; b < p.items.size(); ++b) {
    if (!p.legal(b)) continue;
    const double r = p.ratio(startWidth, start, b, line);
    if (r >= -1 && !p.forced(b)) {
      lastFit = b;
      haveFit = true;
      continue;
    }
    // This break is too far (or forced): end the line at the last that
    // fitted, or, if none did, here, overfull.
    std::size_t at = b;
    if (r < -1 && haveFit) at = lastFit;
    const double ratio = p.ratio(startWidth, start, at, line);
    breaks.push_back({std::min(at, end), ratio, ratio < -1});
    start = p.lineStart(at);
    startWidth = p.items[at].postWidth;
    ++line;
    haveFit = false;
    b = start - 1;  // look again from the new line's start
  }
  // In a paragraph that goes on, the line being filled is not yet ended.
  return breaks;
}

}  // namespace

LineStart startAfter(std::span<const ParagraphItem> items, const LineBreakPoint& b,
                     std::size_t line) {
  const ParagraphItem& item = items[b.position];
  LineStart start;
  start.line = line + 1;
  start.fitness = b.overfull ? 1 : fitnessClass(b.ratio);
  start.flagged = item.kind == ParagraphItem::Kind::kPenalty && item.flagged;
  start.width = item.postWidth;
  return start;
}

std::vector<LineBreakPoint> breakStretch(std::span<const ParagraphItem> items,
                                         std::span<const double> lineWidths,
                                         const BreakParameters& parameters, const LineStart& start,
                                         bool ends, bool greedy) {
  if (items.empty()) return {};
  const Paragraph p(items, lineWidths, ends);
  if (greedy) return firstFit(p, start, items.size());
  // As TeX does: first within the tolerance; where that cannot be done, any
  // line that does not overflow; overfull lines only where nothing else fits.
  std::vector<Node> nodes;
  std::uint32_t last = totalFit(p, parameters, start, ends, parameters.tolerance, false, nodes);
  if (last == Node::kNone) last = totalFit(p, parameters, start, ends, kInfinity, true, nodes);
  return chain(nodes, last, items.size());
}

}  // namespace detail

std::vector<LineBreakPoint> breakParagraph(std::span<const ParagraphItem> items,
                                           std::span<const double> lineWidths,
                                           const BreakParameters& parameters) {
  return detail::breakStretch(items, lineWidths, parameters, {}, true, false);
}

std::vector<LineBreakPoint> breakParagraphGreedy(std::span<const ParagraphItem> items,
                                                 std::span<const double> lineWidths) {
  return detail::breakStretch(items, lineWidths, {}, {}, true, true);
}

}  // namespace morvane
