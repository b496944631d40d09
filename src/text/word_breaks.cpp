#include "text/word_breaks.hpp"

#include <algorithm>
#include <span>

#include "engine/make_hyphenator.hpp"
#include "text/unicode.hpp"

namespace morvane::detail {

std::size_t textWordBreaks(const Hyphenator& h, std::u32string_view word,
                           std::vector<std::size_t>& breaks) {
  const auto score = [&h, &breaks](std::u32string_view letters) {
    if (breaks.size() < letters.size()) breaks.resize(letters.size());  // NFC may be longer
    return std::min(hyphenationPoints(h, letters, breaks), letters.size());
  };
  // Below U+0300 text is in NFC and every character a grapheme cluster.
  if (std::all_of(word.begin(), word.end(), [](char32_t c) { return c < 0x300; })) {
    return score(word);
  }
  std::size_t count = 0;
  if (mayNeedNormalising(word)) {
    // Breaks of the NFC form carry over where NFC starts a piece of the
    // word afresh; within a piece (a letter and its marks) there are none.
    const NormalisedWord nfc = normaliseNfc(word);
    const std::size_t scored = score(nfc.text);
    auto piece = nfc.starts.begin();
    for (std::size_t i = 0; i < scored; ++i) {
      const std::size_t p = breaks[i];
      while (piece->second < p) ++piece;
      if (piece->second == p) breaks[count++] = piece->first;
    }
  } else {
    count = score(word);
  }
  if (count != 0 && mayJoinGraphemes(word)) {
    count = keepGraphemeBoundaries(word, std::span(breaks).first(count));
  }
  return count;
}

}  // namespace morvane::detail
