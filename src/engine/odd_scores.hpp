#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "common/simd.hpp"

namespace morvane::detail {

/// Bytes an odd-score scan may read past the last boundary it reports.
inline constexpr std::size_t kOddScanSlack = 16;

/// Calls visit(p) for every p in lowest … highest with scores[p] odd (a
/// boundary where the word may break), ascending. Scores are read sixteen at
/// a time, kOddScanSlack bytes past `highest` included, so that the breaks
/// come from a bit mask rather than a branch per boundary.
template <class Visit>
void forEachOddScore(const std::uint8_t* scores, std::size_t lowest, std::size_t highest,
                     Visit&& visit) {
  for (std::size_t base = lowest; base <= highest; base += 16) {
#if MORVANE_SSE2
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(scores + base));
    // Each byte's lowest bit moved to its top, where movemask reads it.
    auto odd = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(bytes, 7)));
#else
    std::uint32_t odd = 0;
    for (std::size_t k = 0; k < 16; ++k) odd |= std::uint32_t{scores[base + k] & 1U} << k;
#endif
    if (highest - base < 15) odd &= (std::uint32_t{2} << (highest - base)) - 1;
    for (; odd != 0; odd &= odd - 1) visit(base + static_cast<std::size_t>(std::countr_zero(odd)));
  }
}

}  // namespace morvane::detail
