#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "morvane/hyphenator.hpp"

namespace morvane {

/// `text` with `separator` at every break of every word. A word is a maximal
/// run of letters and combining marks (Unicode categories L and M); all else is
/// copied unchanged, so removing the separators gives back the input exactly.
/// Left as they are: a word that already holds a soft hyphen, and every word
/// of a URL or e-mail address.
[[nodiscard]] std::u32string hyphenateText(const Hyphenator& h, std::u32string_view text,
                                           std::u32string_view separator = U"\u00AD");
/// The same for UTF-8. Bytes that are not valid UTF-8 are copied unchanged and
/// never get a separator inside or beside them as part of a word.
[[nodiscard]] std::string hyphenateText(const Hyphenator& h, std::string_view text,
                                        std::string_view separator = "\u00AD");

/// Appends the hyphenated `text` to `out` and returns how many words it met.
/// For streaming in pieces, cut the input only at white space, so that every
/// piece holds whole words. `text` and `separator` may point into `out`.
std::size_t appendHyphenatedText(const Hyphenator& h, std::string_view text,
                                 std::string_view separator, std::string& out);

}  // namespace morvane
