// What the JavaScript side calls: a few C functions over hyphenators held by
// number. Words and texts come as UTF-16 (the JavaScript string's own code
// units, lone surrogates and all) or, for long texts, as UTF-8 with
// surrogates encoded like any other code point (WTF-8); answers go back the
// same way, so that nothing a string holds is lost.

#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/utf8.hpp"
#include "morvane/core.hpp"
#include "morvane/html.hpp"
#include "morvane/text.hpp"
#include "text/text_breaks.hpp"

namespace morvane::detail {
void addLanguageFile(std::string name, std::string bytes);
bool hasLanguageFile(std::string_view name);
}  // namespace morvane::detail

namespace {

using morvane::Hyphenator;

/// A hyphenator the JavaScript side holds, and what finds the breaks of its
/// texts (with its memo of words), made on first use.
struct Held {
  std::optional<Hyphenator> hyphenator;
  std::unique_ptr<morvane::detail::TextBreakFinder> texts;
};
std::vector<Held> hyphenators;
std::u16string result16;  // the last answer of mv_text
std::string result;       // the last answer of html and the catalogue
std::string message;      // the last error

int keep(Hyphenator h) {
  for (std::size_t i = 0; i < hyphenators.size(); ++i) {
    if (!hyphenators[i].hyphenator) {
      hyphenators[i].hyphenator = std::move(h);
      return static_cast<int>(i);
    }
  }
  hyphenators.push_back({std::move(h), nullptr});
  return static_cast<int>(hyphenators.size() - 1);
}

/// Runs `make` (a hyphenator), keeping it; -1 with the message on an error.
template <class Make>
int made(Make make) {
  try {
    return keep(make());
  } catch (const std::exception& e) {
    message = e.what();
    return -1;
  }
}

const Hyphenator& hyphenatorOf(int handle) {
  return *hyphenators.at(static_cast<std::size_t>(handle)).hyphenator;
}

std::optional<std::int64_t> minimum(int value) {
  if (value < 0) return std::nullopt;
  return value;
}

/// UTF-16 code units as code points into `out`: pairs joined, lone
/// surrogates kept as the values they are.
void codePointsOf(const char16_t* units, std::size_t length, std::u32string& out) {
  out.clear();
  for (std::size_t i = 0; i < length; ++i) {
    const char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      out.push_back(u);
    }
  }
}

/// Whether every language file of a language tag has come from JavaScript.
bool loaded(morvane::Language language) {
  const std::string stem = "hyph-" + std::string(morvane::languageAffix(language));
  return morvane::detail::hasLanguageFile(stem + ".pat.txt.gz");
}

void appendJsonString(std::string& out, std::string_view s) {
  out += '"';
  for (const char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

extern "C" {

/// A language's file, inflated: its pattern, exception or character text.
EMSCRIPTEN_KEEPALIVE void mv_add_file(const char* name, const char* bytes, std::size_t length) {
  morvane::detail::addLanguageFile(name, std::string(bytes, length));
}

/// The languages as JSON: [[code, name, [tags…], left, right], …].
EMSCRIPTEN_KEEPALIVE const char* mv_catalogue() {
  result = "[";
  for (const morvane::Language l : morvane::enumFrom(morvane::kFirstLanguage)) {
    if (result.size() > 1) result += ',';
    result += '[';
    appendJsonString(result, morvane::languageAffix(l));
    result += ',';
    appendJsonString(result, morvane::show(l));
    result += ",[";
    bool first = true;
    for (const std::string_view tag : morvane::languageTags(l)) {
      if (!first) result += ',';
      first = false;
      appendJsonString(result, tag);
    }
    result += "]]";
  }
  result += ']';
  return result.c_str();
}

/// The language of a code, name or tag (its number), or -1.
EMSCRIPTEN_KEEPALIVE int mv_find_language(const char* name) {
  const auto language = morvane::findLanguage(name);
  return language ? static_cast<int>(morvane::fromEnum(*language)) : -1;
}

EMSCRIPTEN_KEEPALIVE int mv_language_hyphenator(int language) {
  return made([language] { return morvane::languageHyphenator(morvane::toEnum(language)); });
}

EMSCRIPTEN_KEEPALIVE int mv_tex_hyphenator(const char* bytes, std::size_t length, int left,
                                           int right) {
  return made([&] {
    return morvane::readTexPatterns(std::string_view(bytes, length), "patterns",
                                    {.leftMin = minimum(left), .rightMin = minimum(right)});
  });
}

EMSCRIPTEN_KEEPALIVE int mv_dictionary_hyphenator(const char* bytes, std::size_t length, int left,
                                                  int right) {
  return made([&] {
    return morvane::readDictionary(std::string_view(bytes, length), "dictionary",
                                   {.leftMin = minimum(left), .rightMin = minimum(right)});
  });
}

EMSCRIPTEN_KEEPALIVE int mv_with_exceptions(int handle, const char* text, std::size_t length) {
  return made([&] {
    return morvane::withExceptions(hyphenatorOf(handle), std::string_view(text, length));
  });
}

EMSCRIPTEN_KEEPALIVE int mv_with_minimums(int handle, int left, int right) {
  return made([&] {
    const Hyphenator& h = hyphenatorOf(handle);
    return morvane::withMinimums(h, left < 0 ? morvane::hyphenatorLeftMin(h) : left,
                                 right < 0 ? morvane::hyphenatorRightMin(h) : right);
  });
}

EMSCRIPTEN_KEEPALIVE int mv_with_min_word_length(int handle, int length) {
  return made([&] {
    return morvane::withMinWordLength(hyphenatorOf(handle), static_cast<std::size_t>(length));
  });
}

EMSCRIPTEN_KEEPALIVE void mv_release(int handle) {
  Held& held = hyphenators.at(static_cast<std::size_t>(handle));
  held.hyphenator.reset();
  held.texts.reset();
}

EMSCRIPTEN_KEEPALIVE int mv_left(int handle) {
  return static_cast<int>(morvane::hyphenatorLeftMin(hyphenatorOf(handle)));
}
EMSCRIPTEN_KEEPALIVE int mv_right(int handle) {
  return static_cast<int>(morvane::hyphenatorRightMin(hyphenatorOf(handle)));
}

/// The breaks of a word given as UTF-16, as UTF-16 offsets into `out`
/// (room for `length`); how many, or -1 with the message on an error.
EMSCRIPTEN_KEEPALIVE int mv_positions(int handle, const char16_t* word, std::size_t length,
                                      std::uint32_t* out) {
  // Kept from call to call: a word costs no allocation once they have grown.
  static std::u32string codePoints;
  static std::vector<std::size_t> points;
  try {
    codePointsOf(word, length, codePoints);
    if (points.size() < codePoints.size()) points.resize(codePoints.size());
    const std::size_t count = morvane::hyphenationPoints(hyphenatorOf(handle), codePoints, points);
    // Code points to UTF-16 offsets, walking both once.
    std::size_t unit = 0;
    std::size_t cp = 0;
    for (std::size_t k = 0; k < count; ++k) {
      while (cp < points[k]) unit += codePoints[cp++] > 0xFFFF ? 2 : 1;
      out[k] = static_cast<std::uint32_t>(unit);
    }
    return static_cast<int>(count);
  } catch (const std::exception& e) {
    message = e.what();
    return -1;
  }
}

/// Running text (WTF-8) with `separator` (UTF-16) at every break, as
/// UTF-16 into `mv_result16()`: its length in code units, or -1. JavaScript
/// decodes that in one step, which is quicker than cutting its own string.
EMSCRIPTEN_KEEPALIVE int mv_text(int handle, const char* text, std::size_t length,
                                 const char16_t* separator, std::size_t separatorLength) {
  try {
    Held& held = hyphenators.at(static_cast<std::size_t>(handle));
    if (!held.texts) {
      held.texts = std::make_unique<morvane::detail::TextBreakFinder>(*held.hyphenator);
    }
    const std::string_view bytes(text, length);
    const std::span<const std::size_t> breaks = held.texts->breaks(bytes);
    // A byte is at most a code unit; a four-byte sequence is two.
    result16.resize(length + breaks.size() * separatorLength);
    char16_t* out = result16.data();
    auto next = breaks.begin();
    for (std::size_t at = 0; at < length;) {
      const std::size_t end = next == breaks.end() ? length : *next;
      for (; at < end && static_cast<unsigned char>(bytes[at]) < 0x80; ++at) *out++ = bytes[at];
      while (at < end) {
        // WTF-8 as this side wrote it: every sequence whole.
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t size = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = size == 1 ? lead : lead & (0x7F >> size);
        for (std::size_t k = 1; k < size; ++k) c = (c << 6) | (bytes[at + k] & 0x3F);
        if (c > 0xFFFF) {
          *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
          *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
          *out++ = static_cast<char16_t>(c);
        }
        at += size;
      }
      if (next != breaks.end()) {
        out = std::copy_n(separator, separatorLength, out);
        ++next;
      }
    }
    result16.resize(static_cast<std::size_t>(out - result16.data()));
    return static_cast<int>(result16.size());
  } catch (const std::exception& e) {
    message = e.what();
    return -1;
  }
}

EMSCRIPTEN_KEEPALIVE const char16_t* mv_result16() { return result16.data(); }

/// An HTML document (WTF-8): syntax 0 detected, 1 HTML, 2 XHTML. Text in a
/// language whose files have not come is left as it is.
EMSCRIPTEN_KEEPALIVE int mv_html(int handle, const char* document, std::size_t length,
                                 const char* separator, std::size_t separatorLength, int syntax) {
  try {
    morvane::HtmlOptions options(std::string(separator, separatorLength));
    options.syntax = syntax == 1   ? morvane::HtmlOptions::Syntax::Html
                     : syntax == 2 ? morvane::HtmlOptions::Syntax::Xhtml
                                   : morvane::HtmlOptions::Syntax::Detect;
    options.hyphenatorFor = [](std::string_view tag) -> std::optional<Hyphenator> {
      const auto language = morvane::languageFromTag(tag);
      if (!language || !loaded(*language)) return std::nullopt;
      return morvane::languageHyphenator(*language);
    };
    result =
        morvane::hyphenateHtml(hyphenatorOf(handle), std::string_view(document, length), options);
    return static_cast<int>(result.size());
  } catch (const std::exception& e) {
    message = e.what();
    return -1;
  }
}

EMSCRIPTEN_KEEPALIVE const char* mv_result() { return result.data(); }
EMSCRIPTEN_KEEPALIVE const char* mv_error() { return message.c_str(); }

}  // extern "C"
