#include "engine/minimums.hpp"

#include <algorithm>
#include <limits>

#include "common/utf8.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

// Minimums are arbitrary 64-bit values; sums and differences with the word
// length are taken without overflow.
__extension__ using Wide = __int128;

}  // namespace

std::size_t Minimums::shortestBreakableForAnyMinimums(std::size_t minWordLength) const {
  const Wide room =
      std::clamp<Wide>(Wide{left} + Wide{right}, 0, std::numeric_limits<std::size_t>::max());
  return std::max(minWordLength, static_cast<std::size_t>(room));
}

std::optional<std::pair<std::size_t, std::size_t>> Minimums::rangeForAnyMinimums(
    std::u32string_view word, std::size_t rawLength) const {
  const Wide n = static_cast<Wide>(word.size());
  if (rawLength == 0 && left <= 0) {
    throw Error("Malformed hyphenation score for " + encodeUtf8(word));
  }
  // The first `left` boundaries are zeroed, and at most n − left − right + 1
  // entries are kept after them (after none, when left ≤ 0).
  const Wide lowest = std::max<Wide>(left, 1);
  const Wide highest = std::min<Wide>(
      {n, static_cast<Wide>(rawLength) - 1, left >= 1 ? n - right : n - Wide{left} - right});
  // Both within 1 … n when not empty: the loops need no wide arithmetic.
  if (highest < lowest) return std::nullopt;
  return std::pair{static_cast<std::size_t>(lowest), static_cast<std::size_t>(highest)};
}

}  // namespace morvane::detail
