// Total-fit line breaking (Knuth and Plass, "Breaking paragraphs into
// lines", 1981), and first fit for comparison.

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "morvane/lines.hpp"

namespace morvane {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The glue that ends a paragraph stretches this much: enough that the last
// line is never loose, finite so that ratios stay numbers.
constexpr double kFillStretch = 1e9;
constexpr double kMaxBadness = 10000;
// The paragraph's start, where no break came before.
constexpr std::size_t kNoBreak = std::numeric_limits<std::size_t>::max();

/// The caller's items with TeX's paragraph end: a glue that fills the last
/// line and a forced break.
std::vector<ParagraphItem> finished(std::span<const ParagraphItem> items) {
  std::vector<ParagraphItem> all(items.begin(), items.end());
  // A glue at the end would be a break of its own; the fill replaces it.
  if (!all.empty() && all.back().kind == ParagraphItem::Kind::kGlue) all.pop_back();
  all.push_back(ParagraphItem::penalty(0, kInfinitePenalty));
  all.push_back(ParagraphItem::glue(0, kFillStretch, 0));
  all.push_back(ParagraphItem::penalty(0, -kInfinitePenalty));
  return all;
}

/// Running totals of widths, stretch and shrink, and where lines may break.
struct Paragraph {
  std::vector<ParagraphItem> items;
  std::vector<double> width{0};
  std::vector<double> stretch{0};
  std::vector<double> shrink{0};
  std::span<const double> lineWidths;

  Paragraph(std::span<const ParagraphItem> given, std::span<const double> widths)
      : items(finished(given)), lineWidths(widths) {
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
  /// What a line begins with after a break at `b` (a changed spelling).
  [[nodiscard]] double startWidth(std::size_t b) const { return items[b].postWidth; }
  /// The width of the line from `start` (after a break at `after`) to a
  /// break at `b`, unadjusted.
  [[nodiscard]] double natural(std::size_t after, std::size_t start, std::size_t b) const {
    return (after == kNoBreak ? 0 : startWidth(after)) + width[b] - width[start] +
           (items[b].kind == ParagraphItem::Kind::kPenalty ? items[b].width : 0);
  }
  /// The adjustment ratio of that line.
  [[nodiscard]] double ratio(std::size_t after, std::size_t start, std::size_t b,
                             std::size_t line) const {
    const double natural = this->natural(after, start, b);
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

int fitnessClass(double r) {
  if (r < -0.5) return 0;  // tight
  if (r <= 0.5) return 1;  // decent
  if (r <= 1) return 2;    // loose
  return 3;                // very loose
}

/// A feasible break, with the best way to reach it.
struct Node {
  std::size_t position;  // the break; the line after it starts at `start`
  std::size_t start;
  std::size_t line;  // lines before the break
  int fitness;
  double demerits;
  double ratio;  // of the line ending here
  bool overfull;
  bool flagged;
  std::shared_ptr<const Node> previous;
};
using NodePointer = std::shared_ptr<const Node>;

std::vector<LineBreakPoint> chain(const NodePointer& last, std::size_t end) {
  std::vector<LineBreakPoint> breaks;
  for (const Node* node = last.get(); node != nullptr && node->previous != nullptr;
       node = node->previous.get()) {
    breaks.push_back({std::min(node->position, end), node->ratio, node->overfull});
  }
  std::reverse(breaks.begin(), breaks.end());
  return breaks;
}

/// One pass of total fit with `tolerance`; null when some break could only
/// be reached by an overfull line and `allowOverfull` is false.
NodePointer totalFit(const Paragraph& p, const BreakParameters& parameters, double tolerance,
                     bool allowOverfull) {
  std::vector<NodePointer> active{
      std::make_shared<const Node>(Node{0, 0, 0, 1, 0, 0, false, false, nullptr})};
  // Lines are told apart by their number only where widths still vary.
  const std::size_t distinctLines = p.lineWidths.size();
  // The best way to each fitness class (and line, while widths vary) at a
  // break, and the active nodes kept past it: made once, emptied at each.
  struct Candidate {
    double demerits = kInfinity;
    NodePointer from;
    double ratio = 0;
  };
  std::vector<std::vector<Candidate>> best;  // [line class][fitness]
  std::vector<NodePointer> kept;
  for (std::size_t b = 0; b < p.items.size(); ++b) {
    if (!p.legal(b)) continue;
    const ParagraphItem& item = p.items[b];
    const bool flagged = item.kind == ParagraphItem::Kind::kPenalty && item.flagged;
    const double penalty = item.kind == ParagraphItem::Kind::kPenalty ? item.cost : 0;
    for (auto& classes : best) std::fill(classes.begin(), classes.end(), Candidate{});
    // Of the nodes dropped here, the one whose line overflows least.
    NodePointer leastOverflow;
    double overflow = kInfinity;
    double droppedRatio = 0;
    kept.clear();
    for (const NodePointer& a : active) {
      const double r = p.ratio(a->position, a->start, b, a->line);
      if (r < -1 || p.forced(b)) {
        const double excess = p.natural(a->position, a->start, b) - p.lineWidth(a->line);
        if (excess < overflow || (excess == overflow && a->demerits < leastOverflow->demerits)) {
          overflow = excess;
          leastOverflow = a;
          droppedRatio = r;
        }
      } else {
        kept.push_back(a);
      }
      if (r < -1 || r > tolerance) continue;
      const double badness = std::min(100 * std::pow(std::abs(r), 3), kMaxBadness);
      double d = std::pow(parameters.linePenalty + badness, 2);
      if (penalty >= 0) {
        d += penalty * penalty;
      } else if (penalty > -kInfinitePenalty) {
        d -= penalty * penalty;
      }
      if (flagged && a->flagged) d += parameters.doubleHyphenDemerits;
      const int c = fitnessClass(r);
      if (std::abs(c - a->fitness) > 1) d += parameters.fitnessDemerits;
      d += a->demerits;
      const std::size_t lineClass =
          parameters.looseness != 0 ? a->line + 1 : std::min(a->line + 1, distinctLines);
      if (best.size() <= lineClass) best.resize(lineClass + 1, std::vector<Candidate>(4));
      Candidate& slot = best[lineClass][static_cast<std::size_t>(c)];
      if (d < slot.demerits) slot = {d, a, r};
    }
    std::swap(active, kept);
    const std::size_t start = p.lineStart(b);
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
        active.push_back(std::make_shared<const Node>(
            Node{b, start, candidate.from->line + 1, static_cast<int>(c), candidate.demerits,
                 candidate.ratio, false, flagged, candidate.from}));
      }
    }
    if (active.empty() && leastOverflow != nullptr) {
      // Nothing fits: the best line there was becomes an overfull one,
      // rather than losing the paragraph.
      if (!allowOverfull) return nullptr;
      active.push_back(std::make_shared<const Node>(Node{
          b, start, leastOverflow->line + 1, 1, leastOverflow->demerits + kMaxBadness * kMaxBadness,
          droppedRatio, droppedRatio < -1, flagged, leastOverflow}));
    }
  }
  // The paragraph ends with a forced break: every active node ends there.
  NodePointer chosen;
  const std::size_t end = p.items.size() - 1;
  for (const NodePointer& a : active) {
    if (a->position != end) continue;
    if (chosen == nullptr || a->demerits < chosen->demerits) chosen = a;
  }
  if (chosen != nullptr && parameters.looseness != 0) {
    const auto target = static_cast<long long>(chosen->line) + parameters.looseness;
    NodePointer loosest = chosen;
    for (const NodePointer& a : active) {
      if (a->position != end) continue;
      const auto distance = std::abs(static_cast<long long>(a->line) - target);
      const auto bestDistance = std::abs(static_cast<long long>(loosest->line) - target);
      if (distance < bestDistance ||
          (distance == bestDistance && a->demerits < loosest->demerits)) {
        loosest = a;
      }
    }
    chosen = loosest;
  }
  return chosen;
}

}  // namespace

std::vector<LineBreakPoint> breakParagraph(std::span<const ParagraphItem> items,
                                           std::span<const double> lineWidths,
                                           const BreakParameters& parameters) {
  if (items.empty()) return {};
  const Paragraph p(items, lineWidths);
  // As TeX does: first within the tolerance; where that cannot be done, any
  // line that does not overflow; overfull lines only where nothing else fits.
  NodePointer last = totalFit(p, parameters, parameters.tolerance, false);
  if (last == nullptr) last = totalFit(p, parameters, kInfinity, true);
  return chain(last, items.size());
}

std::vector<LineBreakPoint> breakParagraphGreedy(std::span<const ParagraphItem> items,
                                                 std::span<const double> lineWidths) {
  if (items.empty()) return {};
  const Paragraph p(items, lineWidths);
  std::vector<LineBreakPoint> breaks;
  std::size_t start = 0;
  std::size_t after = kNoBreak;
  std::size_t line = 0;
  std::size_t lastFit = 0;
  bool haveFit = false;
  for (std::size_t b = start; b < p.items.size(); ++b) {
    if (!p.legal(b)) continue;
    const double r = p.ratio(after, start, b, line);
    if (r >= -1 && !p.forced(b)) {
      lastFit = b;
      haveFit = true;
      continue;
    }
    // This break is too far (or forced): end the line at the last that
    // fitted, or, if none did, here, overfull.
    std::size_t at = b;
    if (r < -1 && haveFit) at = lastFit;
    const double ratio = p.ratio(after, start, at, line);
    breaks.push_back({std::min(at, items.size()), ratio, ratio < -1});
    start = p.lineStart(at);
    after = at;
    ++line;
    haveFit = false;
    b = start - 1;  // look again from the new line's start
  }
  return breaks;
}

}  // namespace morvane
