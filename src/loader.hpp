#pragma once

#include <string>

namespace morvane::detail {

/// The decompressed, leniently decoded text of the embedded file `name`;
/// throws `Error` "Could not find " + name when there is none.
std::u32string embeddedText(const std::string& name);

}  // namespace morvane::detail
