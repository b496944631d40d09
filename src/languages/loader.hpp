#pragma once

#include <string>

#include "languages/embedded_store.hpp"

namespace morvane::detail {

/// The decompressed bytes of the embedded file `name` (embeddedBytes),
/// leniently decoded (see `decodeUtf8Lenient`).
std::u32string embeddedText(const std::string& name);

}  // namespace morvane::detail
