#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "morvane/lines.hpp"

namespace morvane::detail {

/// Where a stretch of a paragraph begins: at its start, or after a break
/// already taken, whose line is as the fields say.
struct LineStart {
  std::size_t line = 0;  // lines set before the stretch
  int fitness = 1;       // of the line before it (decent, at the start)
  bool flagged = false;  // the line before it ended in a hyphen
  double width = 0;      // what that break begins the next line with (a changed spelling)
};

/// The line start after a break `b` of `items` taken as line `line`.
[[nodiscard]] LineStart startAfter(std::span<const ParagraphItem> items, const LineBreakPoint& b,
                                   std::size_t line);

/// The breaks of `items`, set from `start`: by total fit, or first fit when
/// `greedy`. When `ends`, the items end the paragraph (TeX's end follows them,
/// and the last break is at items.size()); otherwise the paragraph goes on,
/// and the breaks are those of the best way found to the end of `items`,
/// of which the caller keeps the earlier ones.
[[nodiscard]] std::vector<LineBreakPoint> breakStretch(std::span<const ParagraphItem> items,
                                                       std::span<const double> lineWidths,
                                                       const BreakParameters& parameters,
                                                       const LineStart& start, bool ends,
                                                       bool greedy);

}  // namespace morvane::detail
