#pragma once

#include <optional>
#include <string_view>

namespace morvane::detail {

/// The code point of the HTML named character reference `name` (without "&"
/// and ";", as in "eacute"), when it stands for exactly one.
std::optional<char32_t> namedReference(std::string_view name);

}  // namespace morvane::detail
