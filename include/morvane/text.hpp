#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "morvane/cxx20.hpp"
#include "morvane/hyphenator.hpp"
#include "morvane/stream.hpp"

namespace morvane {

/// A run of more than this many code units without white space is not prose
/// (encoded data, minified code): text is copied through it as it is, which
/// keeps memory bounded when text is streamed.
inline constexpr std::size_t kLongestRun = std::size_t{1} << 20;

/// `text` with `separator` at every break of every word; everything else is
/// copied unchanged, so removing the separators gives back the input exactly.
///
/// A word is a maximal run of letters and combining marks (Unicode
/// categories L and M), joined by the characters other than hyphens that the
/// language's character map names (the apostrophes of French, Italian or
/// Ukrainian: "aujourd’hui", "aujourd'hui") when they stand between two
/// letters. Hyphens are breaks already: the parts between them are
/// hyphenated on their own. Words are scored in NFC, so canonically
/// equivalent spellings break alike, and never break inside a grapheme
/// cluster; in scripts written without spaces (Thai) words are found with a
/// dictionary first.
///
/// Left as they are: a word that already holds a soft hyphen, every word of
/// a run between white space that looks like a URL or an e-mail address
/// ("://", "@", "www."), and any run of more than kLongestRun code units
/// without white space.
[[nodiscard]] std::u32string hyphenateText(const Hyphenator& h, std::u32string_view text,
                                           std::u32string_view separator = U"\u00AD");
/// The same for UTF-8. Bytes that are not valid UTF-8 are copied unchanged and
/// never get a separator inside or beside them as part of a word.
[[nodiscard]] std::string hyphenateText(const Hyphenator& h, std::string_view text,
                                        std::string_view separator = "\u00AD");

/// Appends the hyphenated `text` to `out` and returns how many words it met.
/// `text` and `separator` may point into `out`.
std::size_t appendHyphenatedText(const Hyphenator& h, std::string_view text,
                                 std::string_view separator, std::string& out);

/// Hyphenates UTF-8 text that arrives in pieces, cut anywhere (even inside
/// a character), and hands the result to `out` in pieces of bounded size:
/// together they are exactly `hyphenateText` of the whole input, and memory
/// stays bounded however long the input, its lines or the separator.
class TextStream : public HyphenatingStream {
 public:
  TextStream(const Hyphenator& h, std::string_view separator, Writer out);
};

}  // namespace morvane
