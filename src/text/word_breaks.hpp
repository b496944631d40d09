#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "morvane/hyphenator.hpp"

namespace morvane::detail {

/// Where a word of running text breaks: the positions (in code points of
/// `word`) after which a separator goes, ascending, in the first entries of
/// `breaks` (grown to at least `word.size()` entries); returns how many. The
/// word is scored in NFC, so that canonically equivalent spellings break
/// alike, and never breaks inside a grapheme cluster.
std::size_t textWordBreaks(const Hyphenator& h, std::u32string_view word,
                           std::vector<std::size_t>& breaks);

}  // namespace morvane::detail
