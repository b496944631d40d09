#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::detail {

/// Bytes in a character set other than UTF-8 as code points, by whatever
/// converts them where the library runs: iconv natively
/// (charset_iconv.cpp), the JavaScript engine's TextDecoder in WebAssembly.
struct ConvertedText {
  enum class Status { Done, UnknownCharset, Invalid } status = Status::Done;
  std::u32string text;
  std::size_t invalidAt = 0;  // with Invalid: the first byte that is no character
};
ConvertedText convertCharset(std::string_view bytes, std::string_view charset);

}  // namespace morvane::detail
