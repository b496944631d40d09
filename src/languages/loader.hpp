#pragma once

#include <string>

namespace morvane::detail {

/// The decompressed bytes of the embedded file `name`; throws `Error`
/// "Could not find " + name when there is none.
std::string embeddedBytes(const std::string& name);

/// The same, leniently decoded (see `decodeUtf8Lenient`).
std::u32string embeddedText(const std::string& name);

}  // namespace morvane::detail
