#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvane::detail {

/// For every letter of `letters`, the characters that are its upper-case and
/// title-case forms (when they differ from it and are not among `letters`
/// themselves), paired with it: a character map that lets capitalised words
/// of a file's patterns break as their letters do. By `caseMapping()`.
std::vector<std::pair<char32_t, char32_t>> capitalsOf(std::u32string_view letters);

/// `text` with each character as its simple upper-case form.
std::u32string upperCase(std::u32string_view text);
/// `text` with each character as its simple lower-case form.
std::u32string lowerCase(std::u32string_view text);

}  // namespace morvane::detail
