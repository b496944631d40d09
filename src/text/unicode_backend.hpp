#pragma once

// The questions of Unicode the text layer asks a Unicode library: ICU's
// answers (unicode_icu.cpp) in the native library, the JavaScript engine's
// (bindings/js) in the WebAssembly build. unicode.hpp builds on them.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/unicode.hpp"

namespace morvane::detail {

/// Whether NFC never joins `c` with what comes before it.
bool nfcBoundaryBefore(char32_t c);

/// `piece` in NFC, appended to `out`.
void appendNfc(std::u32string_view piece, std::u32string& out);

}  // namespace morvane::detail
