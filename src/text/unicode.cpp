// What the text layer asks of Unicode, where the answer is worked out from
// a few questions a Unicode library answers (unicode_backend.hpp): ICU's in
// the native library, the JavaScript engine's in the WebAssembly build.

#include "text/unicode.hpp"

#include <algorithm>

#include "text/unicode_backend.hpp"

namespace morvane::detail {

std::uint8_t BmpClasses::fill(char32_t c) const {
  const char32_t first = c & ~char32_t{0xFF};
  for (char32_t i = first; i < first + 256; ++i) {
    entries_[i].store(classFromUnicode(i) | kKnown, std::memory_order_relaxed);
  }
  return entries_[c].load(std::memory_order_relaxed);
}

NormalisedWord normaliseNfc(std::u32string_view word) {
  NormalisedWord out;
  std::size_t start = 0;
  const auto flush = [&](std::size_t end) {
    out.starts.emplace_back(start, out.text.size());
    appendNfc(word.substr(start, end - start), out.text);
  };
  for (std::size_t i = 1; i < word.size(); ++i) {
    if (nfcBoundaryBefore(word[i])) {
      flush(i);
      start = i;
    }
  }
  if (!word.empty()) flush(word.size());
  out.starts.emplace_back(word.size(), out.text.size());
  return out;
}

bool mayJoinGraphemes(std::u32string_view word) {
  return std::any_of(word.begin(), word.end(),
                     [](char32_t c) { return (classOf(c) & text_class::kClusterPart) != 0; });
}

}  // namespace morvane::detail
