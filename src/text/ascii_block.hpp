#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/simd.hpp"

namespace morvane::detail {

/// Sixty-four bytes of text classified at once, a bit per byte (bit i for
/// byte i): most of a prose text is ASCII letters and spaces, and finding
/// where words and runs begin and end by bit arithmetic costs a few
/// instructions a word instead of a branch a byte.
struct AsciiBlock {
  static constexpr std::size_t kSize = 64;
  std::uint64_t letters = 0;  // A–Z, a–z
  std::uint64_t spaces = 0;   // ASCII white space
  std::uint64_t marks = 0;    // "@", ":", "."
  std::uint64_t special = 0;  // anything the block scan leaves to the unit-by-unit one

#if MORVANE_SSE2
  static constexpr bool kAvailable = true;

  /// Classifies data[0, kSize). `special` marks bytes beyond ASCII and the
  /// bytes of `alsoSpecial` (the language's ASCII joiners, "&" in HTML).
  static AsciiBlock of(const char* data, std::string_view alsoSpecial) {
    AsciiBlock block;
    for (std::size_t part = 0; part < kSize / 16; ++part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + part * 16));
      const auto splat = [](char c) { return _mm_set1_epi8(c); };
      // Bytes beyond ASCII are negative as signed bytes: never letters.
      const __m128i lower = _mm_or_si128(bytes, splat(0x20));
      const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(lower, splat('a' - 1)),
                                           _mm_cmplt_epi8(lower, splat('z' + 1)));
      const __m128i space = _mm_or_si128(
          _mm_cmpeq_epi8(bytes, splat(' ')),
          _mm_and_si128(_mm_cmpgt_epi8(bytes, splat(0x08)), _mm_cmplt_epi8(bytes, splat(0x0E))));
      const __m128i mark = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(bytes, splat('@')), _mm_cmpeq_epi8(bytes, splat(':'))),
          _mm_cmpeq_epi8(bytes, splat('.')));
      __m128i special = _mm_cmplt_epi8(bytes, _mm_setzero_si128());
      for (const char c : alsoSpecial)
        special = _mm_or_si128(special, _mm_cmpeq_epi8(bytes, splat(c)));
      const auto bits = [part](__m128i mask) {
        return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(mask)))
               << (part * 16);
      };
      block.letters |= bits(letter);
      block.spaces |= bits(space);
      block.marks |= bits(mark);
      block.special |= bits(special);
    }
    return block;
  }
#else
  static constexpr bool kAvailable = false;
  static AsciiBlock of(const char*, std::string_view) { return {}; }
#endif
};

/// Bits [from, to) of a 64-bit mask (0 ≤ from ≤ to ≤ 64).
inline std::uint64_t bitsBetween(std::size_t from, std::size_t to) {
  const std::uint64_t upTo = to >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1;
  const std::uint64_t below = from >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << from) - 1;
  return upTo & ~below;
}

}  // namespace morvane::detail
