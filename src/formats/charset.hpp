#pragma once

#include <string>
#include <string_view>

#include "morvane/error.hpp"

namespace morvane::detail {

/// Bytes that are not text in the character set they claim.
struct CharsetError : Error {
  CharsetError(const std::string& message, std::size_t at) : Error(message), offset(at) {}
  std::size_t offset;  // of the first byte that is not
};

/// Text in the character set `charset` (as an office dictionary names it on
/// its first line: "UTF-8", "ISO8859-2", "KOI8-R", "microsoft-cp1251", …),
/// converted to code points (by iconv, or by the JavaScript engine in
/// WebAssembly). Throws `Error` for a character set the converter does not
/// know ("unknown character set \"NAME\"") and `CharsetError`
/// for bytes that are not text in it ("invalid CHARSET at byte offset N",
/// N counted from the start of `bytes` plus `offsetBase`).
std::u32string decodeCharset(std::string_view bytes, std::string_view charset,
                             std::size_t offsetBase = 0);

}  // namespace morvane::detail
