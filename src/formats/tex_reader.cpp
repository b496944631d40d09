// TeX hyphenation pattern files, as the hyph-utf8 collection ships them.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "common/utf8.hpp"
#include "formats/charset.hpp"
#include "formats/file_text.hpp"
#include "formats/pattern_files.hpp"

namespace morvane::detail {

namespace {

bool isSpace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\f' || c == U'\v';
}
bool isTexLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }

/// TeX's ^^ notation in a token: ^^^^xxxx and ^^xx (lower-case hex) name a
/// character, ^^c the character 64 away from an ASCII c.
std::optional<std::u32string> decodeCarets(std::u32string_view token) {
  const auto hex = [](char32_t c) -> int {
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
    return -1;
  };
  const auto hexRun = [&](std::size_t at, std::size_t count) -> std::optional<char32_t> {
    if (at + count > token.size()) return std::nullopt;
    char32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const int digit = hex(token[at + i]);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<char32_t>(digit);
    }
    return value;
  };
  std::u32string out;
  for (std::size_t i = 0; i < token.size();) {
    if (token.substr(i, 2) != U"^^") {
      out.push_back(token[i++]);
      continue;
    }
    if (token.substr(i, 4) == U"^^^^") {
      const auto value = hexRun(i + 4, 4);
      if (!value) return std::nullopt;
      out.push_back(*value);
      i += 8;
    } else if (const auto value = hexRun(i + 2, 2)) {
      out.push_back(*value);
      i += 4;
    } else if (i + 2 < token.size() && token[i + 2] < 128) {
      const char32_t c = token[i + 2];
      out.push_back(c < 64 ? c + 64 : c - 64);
      i += 3;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

class TexReader {
 public:
  TexReader(std::u32string_view text, std::string_view name, PatternFileContent& content,
            TexInputs* input, int depth, std::size_t offsetBase)
      : text_(text),
        name_(name),
        content_(content),
        input_(input),
        depth_(depth),
        offsetBase_(offsetBase) {}

  void read() {
    while (at_ < text_.size() && !ended_) {
      const char32_t c = text_[at_];
      if (c == U'%') {
        readComment();
      } else if (c == U'\\') {
        readControlSequence();
      } else if (c == U'{') {
        skipGroup();
      } else if (c == U'}') {
        throw fail("a } with no { before it");
      } else {
        advance();
      }
      // \endinput ends the file at the end of its line.
      if (endingLine_ != 0 && line_ > endingLine_) ended_ = true;
    }
  }

 private:
  static constexpr int kMaxInputDepth = 16;

  Error fail(const std::string& what) const { return fileError(name_, line_, what); }

  void advance() {
    if (text_[at_++] == U'\n') ++line_;
  }
  void skipSpaces() {
    while (at_ < text_.size() && isSpace(text_[at_])) advance();
  }

  /// A comment; the header of hyph-utf8 files names the minimums in one
  /// ("hyphenmins:", "typesetting:", "left: 2", "right: 3").
  void readComment() {
    const std::size_t end = std::min(text_.find(U'\n', at_), text_.size());
    std::u32string_view body = text_.substr(at_ + 1, end - at_ - 1);
    std::size_t indent = 0;
    while (indent < body.size() && (body[indent] == U' ' || body[indent] == U'\t')) ++indent;
    body.remove_prefix(indent);
    while (!body.empty() && isSpace(body.back())) body.remove_suffix(1);
    if (body == U"hyphenmins:") {
      header_ = Header::kMinimums;
      headerIndent_ = indent;
    } else if (header_ != Header::kNone && indent <= headerIndent_) {
      header_ = Header::kNone;
    } else if (header_ == Header::kMinimums && body == U"typesetting:") {
      header_ = Header::kTypesetting;
    } else if (header_ == Header::kTypesetting && body.ends_with(U":")) {
      header_ = Header::kMinimums;
    } else if (header_ == Header::kTypesetting) {
      if (body.starts_with(U"left:")) setMinimum(content_.leftMin, body.substr(5));
      if (body.starts_with(U"right:")) setMinimum(content_.rightMin, body.substr(6));
    }
    at_ = end;
  }

  void setMinimum(std::optional<std::int64_t>& minimum, std::u32string_view digits) {
    while (!digits.empty() && isSpace(digits.front())) digits.remove_prefix(1);
    const std::string ascii = encodeUtf8(digits);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || value < 0) {
      throw fail("a hyphen minimum needs a number");
    }
    // The first file's minimums hold.
    if (depth_ == 0 && !minimum) minimum = value;
  }

  void readControlSequence() {
    advance();  // the backslash
    const std::size_t start = at_;
    while (at_ < text_.size() && isTexLetter(text_[at_])) advance();
    if (at_ == start && at_ < text_.size()) advance();  // a control symbol: \{, \%, …
    const std::u32string_view name = text_.substr(start, at_ - start);
    if (name == U"patterns" || name == U"hyphenation") {
      skipSpaces();
      if (at_ >= text_.size() || text_[at_] != U'{') {
        throw fail("\\" + shownText(name) + " needs a { after it");
      }
      readGroup(name == U"patterns");
    } else if (name == U"input") {
      readInput();
    } else if (name == U"endinput") {
      endingLine_ = line_;
    } else if (name == U"lefthyphenmin" || name == U"righthyphenmin") {
      skipSpaces();
      if (at_ < text_.size() && text_[at_] == U'=') advance();
      skipSpaces();
      const std::size_t digits = at_;
      while (at_ < text_.size() && text_[at_] >= U'0' && text_[at_] <= U'9') advance();
      setMinimum(name == U"lefthyphenmin" ? content_.leftMin : content_.rightMin,
                 text_.substr(digits, at_ - digits));
    }
    // Any other control sequence sets TeX up and says nothing of hyphens.
  }

  /// The words of \patterns{…} or \hyphenation{…}, separated by spaces.
  void readGroup(bool patterns) {
    const std::size_t opened = line_;
    advance();  // {
    while (true) {
      skipSpaces();
      if (at_ >= text_.size()) {
        throw fileError(
            name_, opened,
            std::string(patterns ? "\\patterns" : "\\hyphenation") + "{ with no } after it");
      }
      const char32_t c = text_[at_];
      if (c == U'}') {
        advance();
        return;
      }
      if (c == U'%') {
        readComment();
        continue;
      }
      if (c == U'{' || c == U'\\') {
        throw fail(std::string(c == U'{' ? "a {" : "a control sequence") + " inside " +
                   (patterns ? "\\patterns" : "\\hyphenation") + "{…}");
      }
      const std::size_t start = at_;
      while (at_ < text_.size() && !isSpace(text_[at_]) && text_[at_] != U'}' &&
             text_[at_] != U'%' && text_[at_] != U'{' && text_[at_] != U'\\') {
        advance();
      }
      const std::u32string_view written = text_.substr(start, at_ - start);
      const auto token = decodeCarets(written);
      if (!token) throw fail("a ^^ that names no character");
      if (const auto bad = firstNonCharacter(*token)) {
        // Where it is written, or where the token is when ^^ wrote it.
        const std::size_t at = start + (token->size() == written.size() ? *bad : 0);
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>((*token)[*bad]));
        throw fail(std::string(code) + " at byte offset " +
                   std::to_string(offsetBase_ + utf8Offset(text_, at)) +
                   ", a NUL or a surrogate, which no letter is");
      }
      if (patterns) {
        content_.addPattern(*token, name_, line_);
      } else {
        content_.addException(*token, name_, line_);
      }
    }
  }

  /// A group after a control sequence this reader ignores (\message{…}).
  void skipGroup() {
    const std::size_t opened = line_;
    int depth = 0;
    while (at_ < text_.size()) {
      const char32_t c = text_[at_];
      if (c == U'%') {
        readComment();
        continue;
      }
      if (c == U'\\') {
        advance();
        if (at_ < text_.size()) advance();
        continue;
      }
      advance();
      if (c == U'{') ++depth;
      if (c == U'}' && --depth == 0) return;
    }
    throw fileError(name_, opened, "a { with no } after it");
  }

  void readInput() {
    skipSpaces();
    std::u32string_view file;
    if (at_ < text_.size() && text_[at_] == U'{') {
      const std::size_t end = text_.find(U'}', at_);
      if (end == std::u32string_view::npos) throw fail("\\input{ with no } after it");
      file = text_.substr(at_ + 1, end - at_ - 1);
      at_ = end + 1;
    } else {
      const std::size_t start = at_;
      while (at_ < text_.size() && !isSpace(text_[at_]) && text_[at_] != U'%' &&
             text_[at_] != U'\\' && text_[at_] != U'}') {
        advance();
      }
      file = text_.substr(start, at_ - start);
    }
    if (file.empty()) throw fail("\\input needs a file name");
    if (input_ == nullptr) {
      throw fail("\\input " + shownText(file) + ": text read from memory has no files beside it");
    }
    if (depth_ >= kMaxInputDepth) throw fail("\\input nested more than 16 deep");
    std::optional<std::pair<std::string, std::string>> read;
    try {
      read = input_->read(file, name_);
    } catch (const Error& e) {
      throw fail("\\input " + shownText(file) + ": " + e.what());
    }
    if (read) readTex(read->first, read->second, content_, input_, depth_ + 1);
  }

  enum class Header { kNone, kMinimums, kTypesetting };

  std::u32string_view text_;
  std::string_view name_;
  PatternFileContent& content_;
  TexInputs* input_;
  int depth_;
  std::size_t offsetBase_;  // bytes of the file before the text (a byte order mark)
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::size_t endingLine_ = 0;
  bool ended_ = false;
  Header header_ = Header::kNone;
  std::size_t headerIndent_ = 0;
};

}  // namespace

void readTex(std::string_view bytes, std::string_view name, PatternFileContent& content,
             TexInputs* input, int depth) {
  const FileText file = utf8FileText(bytes, name);
  TexReader(file.text, name, content, input, depth, file.offsetBase).read();
}

}  // namespace morvane::detail
