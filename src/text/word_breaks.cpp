#include "text/word_breaks.hpp"

#include <algorithm>

#include "text/unicode.hpp"

namespace morvane::detail {

void textWordBreaks(const Hyphenator& h, std::u32string_view word,
                    std::vector<std::size_t>& breaks) {
  const auto score = [&h, &breaks](std::u32string_view letters) {
    breaks.resize(letters.size());
    const std::size_t count = hyphenationPoints(h, letters, breaks);
    breaks.resize(std::min(count, letters.size()));
  };
  // Below U+0300 text is in NFC and every character a grapheme cluster.
  if (std::all_of(word.begin(), word.end(), [](char32_t c) { return c < 0x300; })) {
    score(word);
    return;
  }
  if (mayNeedNormalising(word)) {
    // Breaks of the NFC form carry over where NFC starts a piece of the
    // word afresh; within a piece (a letter and its marks) there are none.
    const NormalisedWord nfc = normaliseNfc(word);
    score(nfc.text);
    std::size_t kept = 0;
    auto piece = nfc.starts.begin();
    for (const std::size_t p : breaks) {
      while (piece->second < p) ++piece;
      if (piece->second == p) breaks[kept++] = piece->first;
    }
    breaks.resize(kept);
  } else {
    score(word);
  }
  if (mayJoinGraphemes(word)) keepGraphemeBoundaries(word, breaks);
}

}  // namespace morvane::detail
