#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/large_block_allocator.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

/// An error in a file: "NAME:LINE: what is wrong".
[[nodiscard]] Error fileError(std::string_view name, std::size_t line, std::string_view what);

/// Text of a file as an error message may quote it: control characters and
/// bytes that are not UTF-8 written as \\xNN, `"` and `\\` as \\" and \\\\,
/// and no more than `most` characters, an ellipsis marking the cut.
[[nodiscard]] std::string shownText(std::string_view bytes, std::size_t most = 60);
[[nodiscard]] std::string shownText(std::u32string_view text, std::size_t most = 60);

/// The text of a UTF-8 file, without a byte order mark it begins with, and
/// the bytes that mark took; throws `Error` "NAME:LINE: invalid UTF-8 at
/// byte offset N".
struct FileText {
  std::u32string text;
  std::size_t offsetBase = 0;
};
[[nodiscard]] FileText utf8FileText(std::string_view bytes, std::string_view name);

/// The fields of `text` between `separator`s (one, empty, for empty text).
[[nodiscard]] std::vector<std::u32string_view> fieldsOf(std::u32string_view text,
                                                        char32_t separator);

/// Where character `index` of `text` begins in its UTF-8 form.
[[nodiscard]] std::size_t utf8Offset(std::u32string_view text, std::size_t index);

/// `bytes` without a UTF-8 byte order mark at its start.
[[nodiscard]] std::string_view withoutByteOrderMark(std::string_view bytes);

/// The line of `bytes` that byte `offset` is on, counting from `firstLine`.
[[nodiscard]] std::size_t lineOf(std::string_view bytes, std::size_t offset,
                                 std::size_t firstLine = 1);

/// Calls `onLine(line, number)` for every line of `text`, numbered from
/// `firstLine`, without its line feed or a carriage return before it.
template <class Char, class OnLine>
void forEachFileLine(std::basic_string_view<Char> text, std::size_t firstLine, OnLine onLine) {
  std::size_t start = 0;
  std::size_t number = firstLine;
  while (start < text.size()) {
    std::size_t end = text.find(Char('\n'), start);
    const std::size_t next = end == std::basic_string_view<Char>::npos ? text.size() : end + 1;
    if (end == std::basic_string_view<Char>::npos) end = text.size();
    if (end > start && text[end - 1] == Char('\r')) --end;
    onLine(text.substr(start, end - start), number++);
    start = next;
  }
}

/// Where the first character of `text` is that no letter can be (a NUL, a
/// surrogate, beyond Unicode), if any.
[[nodiscard]] std::optional<std::size_t> firstNonCharacter(std::u32string_view text);

/// What is wrong with a pattern as a file writes it (letters with single
/// digits between them), or nothing.
[[nodiscard]] std::optional<std::string> patternProblem(std::u32string_view pattern);

/// What is wrong with an exception as a file writes it (a word with single
/// hyphens between its letters), or nothing.
[[nodiscard]] std::optional<std::string> exceptionProblem(std::u32string_view word);

/// The bytes of `path`; throws `Error` "cannot read PATH: REASON".
[[nodiscard]] LargeVector<char> readFile(const std::string& path);

}  // namespace morvane::detail
