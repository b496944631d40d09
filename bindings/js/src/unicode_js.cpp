// The text layer's questions of Unicode (text/unicode_backend.hpp), answered
// by the JavaScript engine: its regular expressions' Unicode properties,
// String.prototype.normalize, and Intl.Segmenter for grapheme clusters and
// the words of scripts written without spaces. Where JavaScript has no
// property of its own (the line-break class, the combining class), the
// answer errs on the safe side: a word is looked at more closely than it
// needs, never less.

#include <algorithm>
#include <vector>

#include "text/unicode_backend.hpp"

namespace morvane::detail {

// In src/unicode_imports.js.
extern "C" {
int morvane_class_of(unsigned c);
int morvane_nfc_boundary_before(unsigned c);
int morvane_needs_nfc(const unsigned* word, unsigned length);
unsigned morvane_nfc(const unsigned* piece, unsigned length, unsigned* out, unsigned room);
void morvane_segments(const unsigned* text, unsigned length, int kind, unsigned char* starts);
}

namespace {

/// Code points of `text` at which a segment begins, by `granularity`.
std::vector<unsigned char> segmentStarts(std::u32string_view text, int granularity) {
  std::vector<unsigned char> starts(text.size() + 1, 0);
  morvane_segments(reinterpret_cast<const unsigned*>(text.data()),
                   static_cast<unsigned>(text.size()), granularity, starts.data());
  starts[text.size()] = 1;
  return starts;
}

}  // namespace

std::uint8_t classFromUnicode(char32_t c) { return static_cast<std::uint8_t>(morvane_class_of(c)); }

bool mayNeedNormalising(std::u32string_view word) {
  if (std::all_of(word.begin(), word.end(),
                  [](char32_t c) { return (classOf(c) & text_class::kNfcPlain) != 0; })) {
    return false;
  }
  return morvane_needs_nfc(reinterpret_cast<const unsigned*>(word.data()),
                           static_cast<unsigned>(word.size())) != 0;
}

bool nfcBoundaryBefore(char32_t c) {
  return (classOf(c) & text_class::kNfcPlain) != 0 || morvane_nfc_boundary_before(c) != 0;
}

void appendNfc(std::u32string_view piece, std::u32string& out) {
  const std::size_t at = out.size();
  std::size_t room = piece.size() * 3 + 4;
  for (;;) {
    out.resize(at + room);
    const unsigned length = morvane_nfc(
        reinterpret_cast<const unsigned*>(piece.data()), static_cast<unsigned>(piece.size()),
        reinterpret_cast<unsigned*>(out.data() + at), static_cast<unsigned>(room));
    if (length <= room) {
      out.resize(at + length);
      return;
    }
    room = length;
  }
}

std::size_t keepGraphemeBoundaries(std::u32string_view word, std::span<std::size_t> positions) {
  const std::vector<unsigned char> starts = segmentStarts(word, 0);
  std::size_t kept = 0;
  for (const std::size_t p : positions) {
    if (starts[p] != 0) positions[kept++] = p;
  }
  return kept;
}

void unspacedWordBreaks(std::u32string_view run, std::vector<std::size_t>& breaks) {
  const std::vector<unsigned char> starts = segmentStarts(run, 1);
  breaks.clear();
  for (std::size_t i = 1; i < run.size(); ++i) {
    if (starts[i] != 0) breaks.push_back(i);
  }
}

}  // namespace morvane::detail
