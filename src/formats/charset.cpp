#include "formats/charset.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "common/utf8.hpp"
#include "formats/charset_backend.hpp"
#include "formats/file_text.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

/// Where every byte of `charset` is a character of its own (ISO8859-*,
/// KOI8-R, microsoft-cp1251, …), the character of each, asked of the
/// converter once: a large dictionary then reads several times faster than
/// through the converter. Nothing for other sets, or where some byte is no
/// character (those bytes are then reported where they are).
using ByteTable = std::optional<std::array<char32_t, 256>>;
ByteTable askTable(std::string_view charset) {
  std::array<char32_t, 256> table{};
  for (std::size_t b = 0; b < table.size(); ++b) {
    const char byte = static_cast<char>(b);
    const ConvertedText one = convertCharset(std::string_view(&byte, 1), charset);
    if (one.status != ConvertedText::Status::Done || one.text.size() != 1) return std::nullopt;
    table[b] = one.text[0];
  }
  return table;
}

/// The table of `charset`, made once per set and process (a dictionary's
/// reader decodes it several times), safe from any thread. Only sets that
/// have a table are kept, so that names a file makes up (or misspells)
/// never grow the cache.
ByteTable singleByteTable(std::string_view charset) {
  static std::mutex guard;
  static std::map<std::string, std::array<char32_t, 256>, std::less<>> tables;
  const std::scoped_lock lock(guard);
  if (const auto found = tables.find(charset); found != tables.end()) return found->second;
  ByteTable table = askTable(charset);
  if (table) tables.emplace(std::string(charset), *table);
  return table;
}

}  // namespace

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
  if (const ByteTable table = singleByteTable(charset)) {
    std::u32string text(bytes.size(), U'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [&table](char b) { return (*table)[static_cast<unsigned char>(b)]; });
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
