#include "formats/charset.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "common/utf8.hpp"
#include "formats/charset_backend.hpp"
#include "formats/file_text.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

std::u32string decodeCharset(std::string_view bytes, std::string_view charset,
                             std::size_t offsetBase) {
  const auto invalid = [&](std::size_t at) {
    return CharsetError(
        "invalid " + shownText(charset) + " at byte offset " + std::to_string(offsetBase + at), at);
  };
  if (charset == "UTF-8" || charset == "utf-8") {
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
      char32_t c = 0;
      const std::size_t length = decodeUtf8Char(bytes.substr(at), c);
      if (length == 0) throw invalid(at);
      text.push_back(c);
      at += length;
    }
    return text;
  }
  if (charset == "ISO8859-1" || charset == "ISO-8859-1") {
    // Every byte is the code point of the same value: no converter needed,
    // and a large dictionary reads several times faster without one.
    std::u32string text(bytes.size(), U'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char b) { return static_cast<char32_t>(static_cast<unsigned char>(b)); });
    return text;
  }
  ConvertedText converted = convertCharset(bytes, charset);
  switch (converted.status) {
    case ConvertedText::Status::UnknownCharset:
      throw Error("unknown character set \"" + shownText(charset) + "\"");
    case ConvertedText::Status::Invalid:
      throw invalid(converted.invalidAt);
    case ConvertedText::Status::Done:
      break;
  }
  return std::move(converted.text);
}

}  // namespace morvane::detail
