#include "formats/file_text.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace morvane::detail {

Error fileError(std::string_view name, std::size_t line, std::string_view what) {
  return Error{std::string(name) + ":" + std::to_string(line) + ": " + std::string(what)};
}

std::size_t lineOf(std::string_view bytes, std::size_t offset, std::size_t firstLine) {
  const std::string_view before = bytes.substr(0, std::min(offset, bytes.size()));
  return firstLine + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isSpace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\v' || c == U'\f';
}

}  // namespace

std::optional<std::string> patternProblem(std::u32string_view pattern) {
  if (std::any_of(pattern.begin(), pattern.end(), isSpace)) return "white space in a pattern";
  if (std::all_of(pattern.begin(), pattern.end(), isDigit)) return "a pattern needs a letter";
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    if (isDigit(pattern[i]) && isDigit(pattern[i - 1])) return "two digits in a row in a pattern";
  }
  return std::nullopt;
}

std::optional<std::string> exceptionProblem(std::u32string_view word) {
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
