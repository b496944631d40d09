#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvane::detail {

/// What the text layer asks of a character, as bits of a byte.
namespace text_class {
inline constexpr std::uint8_t kLetter = 1;       // general category L or M
inline constexpr std::uint8_t kSpace = 2;        // Unicode White_Space
inline constexpr std::uint8_t kUnspaced = 4;     // a script written without spaces (line break SA)
inline constexpr std::uint8_t kAddressMark = 8;  // "@", ":" or ".", which addresses are told by
inline constexpr std::uint8_t kNfcPlain = 16;    // NFC by itself and combining class 0
inline constexpr std::uint8_t kClusterPart =
    32;  // may join a grapheme cluster of several characters
}  // namespace text_class

/// The text_class bits of `c`, asked of the Unicode library (unicode_backend.hpp).
std::uint8_t classFromUnicode(char32_t c);

/// The text_class bits of ASCII, known in advance: plain English text never
/// needs the table below (a test holds them equal to ICU's answers).
inline constexpr std::array<std::uint8_t, 128> kAsciiClasses = [] {
  std::array<std::uint8_t, 128> classes{};
  for (char32_t c = 0; c < 128; ++c) {
    std::uint8_t bits = text_class::kNfcPlain;
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) bits |= text_class::kLetter;
    if ((c >= 0x09 && c <= 0x0D) || c == U' ') bits |= text_class::kSpace;
    if (c == U'@' || c == U':' || c == U'.') bits |= text_class::kAddressMark;
    classes[c] = bits;
  }
  return classes;
}();

/// The text_class bits of the Basic Multilingual Plane, asked of ICU a block
/// of 256 characters at a time on first use, so that a text pays only for
/// the scripts it is written in. Safe to share between threads: a block
/// filled twice at once gets the same values twice.
class BmpClasses {
 public:
  /// The bits of `c` (at most U+FFFF), with kKnown set.
  [[nodiscard]] std::uint8_t operator[](char32_t c) const {
    const std::uint8_t bits = entries_[c].load(std::memory_order_relaxed);
    return bits != 0 ? bits : fill(c);
  }

 private:
  static constexpr std::uint8_t kKnown = 128;  // an entry still 0 is not filled yet
  std::uint8_t fill(char32_t c) const;
  mutable std::array<std::atomic<std::uint8_t>, 0x10000> entries_{};
};

inline constinit BmpClasses bmpClasses{};

/// The text_class bits of `c`.
inline std::uint8_t classOf(char32_t c) {
  if (c < 0x80) return kAsciiClasses[c];
  return c <= 0xFFFF ? bmpClasses[c] : classFromUnicode(c);
}

/// Unicode general categories L (letters) and M (marks).
inline bool isLetterOrMark(char32_t c) { return (classOf(c) & text_class::kLetter) != 0; }

/// True when `word` might not be in NFC (the quick check says no or maybe, or
/// combining marks are out of canonical order). Never false for a word that
/// is not in NFC.
bool mayNeedNormalising(std::u32string_view word);

/// `word` in NFC, cut where NFC never joins characters across: `starts`
/// receives, for every piece, where it starts in `word` and in the result
/// (the result's end and `word.size()` close the list).
struct NormalisedWord {
  std::u32string text;
  std::vector<std::pair<std::size_t, std::size_t>> starts;  // (in word, in text)
};
NormalisedWord normaliseNfc(std::u32string_view word);

/// True when some character of `word` can take part in a grapheme cluster of
/// more than one character (a combining mark, a spacing vowel sign, a
/// joiner, a Hangul jamo).
bool mayJoinGraphemes(std::u32string_view word);

/// Keeps of `positions` (ascending, within 1 … word.size() − 1) those that
/// are grapheme cluster boundaries of `word`, at its start; returns how many.
std::size_t keepGraphemeBoundaries(std::u32string_view word, std::span<std::size_t> positions);

/// The word boundaries ICU's word segmentation (a word list, for Thai)
/// finds in `run`, a run of letters of a script written without spaces,
/// ascending, without 0 and `run.size()`.
void unspacedWordBreaks(std::u32string_view run, std::vector<std::size_t>& breaks);

}  // namespace morvane::detail
