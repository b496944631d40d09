#include "morvane/text.hpp"

#include <algorithm>
#include <functional>

#include "common/scratch_buffer.hpp"
#include "common/utf8.hpp"
#include "text/unicode_letters.hpp"

namespace morvane {

namespace {

constexpr std::size_t kInlineWord = 64;

/// Reads the code point at `at`: its value and length in code units, and
/// whether it is a real character (invalid UTF-8 and out-of-range values are
/// not, and are copied through as they are).
struct Unit {
  char32_t value;
  std::size_t length;
  bool valid;
};

Unit unitAt(std::u32string_view text, std::size_t at) {
  const char32_t c = text[at];
  return {c, 1, c <= 0x10FFFF};
}

Unit unitAt(std::string_view text, std::size_t at) {
  char32_t c = 0;
  const std::size_t length = detail::decodeUtf8Char(text.substr(at), c);
  if (length == 0) return {0, 1, false};
  return {c, length, true};
}

bool isWordPart(const Unit& unit) {
  return unit.valid && (detail::isLetterOrMark(unit.value) || unit.value == kSoftHyphen);
}

char32_t lowerAscii(char32_t c) { return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c; }

/// A URL or an e-mail address: its words are names, not language.
template <class Char>
bool looksLikeAddress(std::basic_string_view<Char> chunk) {
  const auto contains = [&](std::string_view ascii) {
    if (chunk.size() < ascii.size()) return false;
    for (std::size_t i = 0; i + ascii.size() <= chunk.size(); ++i) {
      bool same = true;
      for (std::size_t j = 0; j < ascii.size() && same; ++j) {
        same = lowerAscii(static_cast<char32_t>(chunk[i + j])) == static_cast<char32_t>(ascii[j]);
      }
      if (same) return true;
    }
    return false;
  };
  return contains("://") || contains("@") || contains("www.");
}

template <class Char>
class TextHyphenator {
 public:
  using View = std::basic_string_view<Char>;
  using String = std::basic_string<Char>;

  TextHyphenator(const Hyphenator& h, View separator, String& out)
      : h_(h), separator_(separator), out_(out) {}

  /// Hyphenates `text` into the output; returns the number of words.
  std::size_t run(View text) {
    std::size_t at = 0;
    while (at < text.size()) {
      const Unit unit = unitAt(text, at);
      if (unit.valid && detail::isWhiteSpace(unit.value)) {
        out_.append(text.substr(at, unit.length));
        at += unit.length;
        continue;
      }
      std::size_t end = at + unit.length;
      while (end < text.size()) {
        const Unit next = unitAt(text, end);
        if (next.valid && detail::isWhiteSpace(next.value)) break;
        end += next.length;
      }
      chunk(text.substr(at, end - at));
      at = end;
    }
    return words_;
  }

 private:
  // A run of text between white space.
  void chunk(View text) {
    if (looksLikeAddress(text)) {
      out_.append(text);
      return;
    }
    std::size_t at = 0;
    while (at < text.size()) {
      std::size_t end = at;
      bool softHyphen = false;
      while (end < text.size()) {
        const Unit unit = unitAt(text, end);
        if (!isWordPart(unit)) break;
        softHyphen = softHyphen || unit.value == kSoftHyphen;
        end += unit.length;
      }
      if (end == at) {  // not part of a word
        const std::size_t length = unitAt(text, at).length;
        out_.append(text.substr(at, length));
        at += length;
        continue;
      }
      const View word = text.substr(at, end - at);
      ++words_;
      if (softHyphen) {
        out_.append(word);
      } else {
        hyphenateWord(word);
      }
      at = end;
    }
  }

  // A word of valid letters and marks, without soft hyphens.
  void hyphenateWord(View word) {
    detail::ScratchBuffer<char32_t, kInlineWord> letters(word.size());
    detail::ScratchBuffer<std::size_t, kInlineWord + 1> offsets(word.size() + 1);
    std::size_t count = 0;
    for (std::size_t at = 0; at < word.size();) {
      const Unit unit = unitAt(word, at);
      letters[count] = unit.value;
      offsets[count++] = at;
      at += unit.length;
    }
    offsets[count] = word.size();
    detail::ScratchBuffer<std::size_t, kInlineWord> points(count);
    const std::size_t breaks =
        hyphenationPoints(h_, std::u32string_view(letters.data(), count), points.span());
    std::size_t start = 0;
    for (std::size_t i = 0; i < std::min(breaks, count); ++i) {
      const std::size_t cut = offsets[points[i]];
      out_.append(word.substr(start, cut - start));
      out_.append(separator_);
      start = cut;
    }
    out_.append(word.substr(start));
  }

  const Hyphenator& h_;
  View separator_;
  String& out_;
  std::size_t words_ = 0;
};

}  // namespace

std::u32string hyphenateText(const Hyphenator& h, std::u32string_view text,
                             std::u32string_view separator) {
  std::u32string out;
  out.reserve(text.size() + text.size() / 8);
  (void)TextHyphenator<char32_t>(h, separator, out).run(text);
  return out;
}

std::string hyphenateText(const Hyphenator& h, std::string_view text, std::string_view separator) {
  std::string out;
  (void)appendHyphenatedText(h, text, separator, out);
  return out;
}

std::size_t appendHyphenatedText(const Hyphenator& h, std::string_view text,
                                 std::string_view separator, std::string& out) {
  // Appending may move `out`: text or separator held in it are copied first.
  const auto inOut = [&out](std::string_view s) {
    return !s.empty() && std::less_equal<>()(out.data(), s.data()) &&
           std::less<>()(s.data(), out.data() + out.capacity());
  };
  if (inOut(text) || inOut(separator)) {
    const std::string ownText(text);
    const std::string ownSeparator(separator);
    return appendHyphenatedText(h, ownText, ownSeparator, out);
  }
  out.reserve(out.size() + text.size() + text.size() / 8);
  return TextHyphenator<char>(h, separator, out).run(text);
}

}  // namespace morvane
