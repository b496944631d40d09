#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvane::detail {

/// Character properties the text layer asks about, from ICU, with the
/// ASCII answers in a table so that plain English text never calls out.
class CharClass {
 public:
  enum : std::uint8_t {
    kLetter = 1,      // general category L or M
    kWhiteSpace = 2,  // Unicode White_Space
  };
  /// The ASCII bytes' classes.
  static constexpr std::array<std::uint8_t, 128> kAscii = [] {
    std::array<std::uint8_t, 128> classes{};
    for (char32_t c = 0; c < 128; ++c) {
      if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) classes[c] = kLetter;
      if ((c >= 0x09 && c <= 0x0D) || c == U' ') classes[c] = kWhiteSpace;
    }
    return classes;
  }();
};

bool isLetterOrMarkSlow(char32_t c);
bool isWhiteSpaceSlow(char32_t c);

/// Unicode general categories L (letters) and M (marks).
inline bool isLetterOrMark(char32_t c) {
  return c < 0x80 ? (CharClass::kAscii[c] & CharClass::kLetter) != 0 : isLetterOrMarkSlow(c);
}

/// Unicode White_Space.
inline bool isWhiteSpace(char32_t c) {
  return c < 0x80 ? (CharClass::kAscii[c] & CharClass::kWhiteSpace) != 0 : isWhiteSpaceSlow(c);
}

/// True for a character of a script written without spaces between words
/// (Thai, Lao, Khmer, Myanmar: line-breaking class SA), whose words are found
/// with a dictionary.
bool needsDictionary(char32_t c);

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
/// are grapheme cluster boundaries of `word`.
void keepGraphemeBoundaries(std::u32string_view word, std::vector<std::size_t>& positions);

/// For every letter of `letters`, the characters that are its upper-case and
/// title-case forms (when they are single characters, differ from it, and
/// are not among `letters` themselves), paired with it: a character map that
/// lets capitalised words break as their letters do.
std::vector<std::pair<char32_t, char32_t>> capitalsOf(std::u32string_view letters);

/// `text` with each character as its simple upper-case form.
std::u32string upperCase(std::u32string_view text);
/// `text` with each character as its simple lower-case form.
std::u32string lowerCase(std::u32string_view text);

/// The word boundaries a dictionary finds in `run` (a run of letters of a
/// script without spaces), ascending, without 0 and `run.size()`.
void dictionaryWordBreaks(std::u32string_view run, std::vector<std::size_t>& breaks);

}  // namespace morvane::detail
