#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

namespace morvane::detail {

/// Characters first … first + stride·(count − 1) map to themselves + delta.
struct CaseRun {
  std::uint32_t first;
  std::uint32_t count;
  std::uint32_t stride;
  std::int32_t delta;
};

/// `c` mapped by `runs` (sorted by their first character), or `c`.
inline char32_t mapped(std::span<const CaseRun> runs, char32_t c) {
  const auto after =
      std::upper_bound(runs.begin(), runs.end(), static_cast<std::uint32_t>(c),
                       [](std::uint32_t u, const CaseRun& r) { return u < r.first; });
  if (after == runs.begin()) return c;
  const CaseRun& run = *(after - 1);
  const std::uint32_t offset = static_cast<std::uint32_t>(c) - run.first;
  if (offset % run.stride != 0 || offset / run.stride >= run.count) return c;
  return static_cast<char32_t>(static_cast<std::int64_t>(c) + run.delta);
}

/// Unicode's simple case mappings, from the table generated from ICU
/// (case_table.cpp), for a core built without ICU.
char32_t tableUpper(char32_t c);
char32_t tableLower(char32_t c);
char32_t tableTitle(char32_t c);

}  // namespace morvane::detail
