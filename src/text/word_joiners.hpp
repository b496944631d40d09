#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/char_map.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane::detail {

/// The characters other than letters and marks that a language counts as
/// part of a word when they stand between two letters: those its character
/// map names (the apostrophes of French or Ukrainian, the joiners of Indic
/// scripts). Hyphens never are: they are breaks already.
class WordJoiners {
 public:
  WordJoiners() = default;
  explicit WordJoiners(const CharMap& map);
  [[nodiscard]] bool contains(char32_t c) const {
    return !joiners_.empty() && std::binary_search(joiners_.begin(), joiners_.end(), c);
  }
  /// Those that are ASCII, as bytes.
  [[nodiscard]] std::string_view ascii() const { return ascii_; }

 private:
  std::vector<char32_t> joiners_;
  std::string ascii_;
};

/// The joiners of `h`: worked out once per character map (costly, for a
/// call that hyphenates a line) and kept by the text layer while the map
/// lives; valid while `h` is.
const WordJoiners& wordJoinersOf(const Hyphenator& h);

}  // namespace morvane::detail
