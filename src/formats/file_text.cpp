#include "formats/file_text.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/ascii.hpp"
#include "common/utf8.hpp"
#include "formats/charset.hpp"

namespace morvane::detail {

Error fileError(std::string_view name, std::size_t line, std::string_view what) {
  return Error{std::string(name) + ":" + std::to_string(line) + ": " + std::string(what)};
}

std::string shownText(std::string_view bytes, std::size_t most) {
  std::string out;
  std::size_t shown = 0;
  for (std::size_t at = 0; at < bytes.size(); ++shown) {
    if (shown == most) {
      out += "\u2026";
      break;
    }
    char32_t c = static_cast<unsigned char>(bytes[at]);
    std::size_t length = c < 0x80 ? 1 : decodeUtf8Char(bytes.substr(at), c);
    const bool invalid = length == 0;
    if (invalid) length = 1;
    if (invalid || c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
      for (std::size_t i = 0; i < length; ++i) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(bytes[at + i]));
        out += hex;
      }
    } else if (c == U'"' || c == U'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      out.append(bytes.substr(at, length));
    }
    at += length;
  }
  return out;
}

std::string shownText(std::u32string_view text, std::size_t most) {
  std::string bytes;
  for (const char32_t c : text.substr(0, most + 1)) {
    bytes += c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF) ? encodeUtf8(std::u32string_view(&c, 1))
                                                         : std::string("\xFF");
  }
  return shownText(std::string_view(bytes), most);
}

FileText utf8FileText(std::string_view bytes, std::string_view name) {
  const std::string_view body = withoutByteOrderMark(bytes);
  const std::size_t offsetBase = bytes.size() - body.size();
  try {
    return {decodeCharset(body, "UTF-8", offsetBase), offsetBase};
  } catch (const CharsetError& e) {
    throw fileError(name, lineOf(body, e.offset), e.what());
  }
}

std::vector<std::u32string_view> fieldsOf(std::u32string_view text, char32_t separator) {
  std::vector<std::u32string_view> fields;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find(separator, at), text.size());
    fields.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return fields;
}

std::size_t utf8Offset(std::u32string_view text, std::size_t index) {
  std::size_t offset = 0;
  for (const char32_t c : text.substr(0, index)) {
    offset += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  }
  return offset;
}

std::string_view withoutByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes;
}

std::size_t lineOf(std::string_view bytes, std::size_t offset, std::size_t firstLine) {
  const std::string_view before = bytes.substr(0, std::min(offset, bytes.size()));
  return firstLine + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

namespace {

bool isSpace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\v' || c == U'\f';
}
bool isNotLetter(char32_t c) { return c == 0 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF; }

}  // namespace

std::optional<std::size_t> firstNonCharacter(std::u32string_view text) {
  const auto at = std::find_if(text.begin(), text.end(), isNotLetter);
  if (at == text.end()) return std::nullopt;
  return static_cast<std::size_t>(at - text.begin());
}

std::optional<std::string> patternProblem(std::u32string_view pattern) {
  if (std::any_of(pattern.begin(), pattern.end(), isNotLetter)) {
    return "a NUL or a surrogate in a pattern, which no letter is";
  }
  if (std::any_of(pattern.begin(), pattern.end(), isSpace)) return "white space in a pattern";
  if (std::all_of(pattern.begin(), pattern.end(), isAsciiDigit)) return "a pattern needs a letter";
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (isAsciiDigit(pattern[i]) && isAsciiDigit(pattern[i - 1]))
      return "two digits in a row in a pattern";
  }
  return std::nullopt;
}

std::optional<std::string> exceptionProblem(std::u32string_view word) {
  if (std::any_of(word.begin(), word.end(), isNotLetter)) {
    return "a NUL or a surrogate in an exception, which no letter is";
  }
  if (std::any_of(word.begin(), word.end(), isSpace)) return "white space in an exception";
  if (word.empty() || word.front() == U'-' || word.back() == U'-') {
    return "an exception needs letters on both sides of every hyphen";
  }
  if (word.find(U"--") != std::u32string_view::npos) return "two hyphens in a row in an exception";
  return std::nullopt;
}

LargeVector<char> readFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const auto fail = [&path](int error) {
    return Error("cannot read " + path + ": " + std::generic_category().message(error));
  };
  if (file == nullptr) throw fail(errno);
  // Read straight into place, sized at once where the file's size is known;
  // read to the end anyway.
  std::error_code ignored;
  const auto size = std::filesystem::file_size(path, ignored);
  LargeVector<char> bytes(ignored ? std::size_t{1} << 16 : static_cast<std::size_t>(size) + 1);
  std::size_t used = 0;
  std::size_t got = 0;
  while ((got = std::fread(bytes.data() + used, 1, bytes.size() - used, file)) > 0) {
    used += got;
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
  }
  const int error = std::ferror(file) != 0 ? errno : 0;
  std::fclose(file);
  if (error != 0) throw fail(error);
  bytes.resize(used);
  return bytes;
}

}  // namespace morvane::detail
