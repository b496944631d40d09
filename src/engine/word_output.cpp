// What a hyphenator answers for a word, in each form the interface gives:
// points, pieces, the word with separators, every break, the breaks
// spelled. Each takes the breaks findBreaks finds.

#include <algorithm>

#include "common/scratch_buffer.hpp"
#include "common/utf8.hpp"
#include "engine/find_breaks.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane {

namespace {

using detail::FoundBreak;
using detail::Utf8Word;

detail::FoundBreaks breaksFound(const Hyphenator& h, std::u32string_view word) {
  return {detail::stateOf(h), word};
}

/// The standard break positions of a word, found first (on the stack when
/// the word is short) so that what is built from them can be sized once.
class Breaks {
 public:
  Breaks(const Hyphenator& h, std::u32string_view word) : positions_(word.size()) {
    count_ = detail::findStandardBreaks(detail::stateOf(h), word, positions_.span());
  }
  [[nodiscard]] std::size_t size() const { return count_; }
  [[nodiscard]] std::size_t operator[](std::size_t i) { return positions_[i]; }

 private:
  detail::ScratchBuffer<std::size_t, detail::kInlineWord> positions_;
  std::size_t count_ = 0;
};

/// The pieces of `word` between its breaks, each made in place from cut(from, to).
template <class Piece, class Cut>
std::vector<Piece> piecesOf(const Hyphenator& h, std::u32string_view word, Cut cut) {
  Breaks breaks(h, word);
  std::vector<Piece> pieces;
  pieces.reserve(breaks.size() + 1);
  std::size_t start = 0;
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    pieces.emplace_back(cut(start, breaks[i]));
    start = breaks[i];
  }
  pieces.emplace_back(cut(start, word.size()));
  return pieces;
}

/// `word` (in `Text` units, with `offset(i)` the unit where code point i
/// starts) with `separator` at every break.
template <class Text, class Offset>
Text joinWithSeparator(const Hyphenator& h, std::u32string_view codePoints,
                       std::basic_string_view<typename Text::value_type> word,
                       std::basic_string_view<typename Text::value_type> separator, Offset offset) {
  Breaks breaks(h, codePoints);
  Text out;
  out.reserve(word.size() + breaks.size() * separator.size());
  std::size_t start = 0;
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    const std::size_t at = offset(breaks[i]);
    out.append(word.substr(start, at - start));
    out.append(separator);
    start = at;
  }
  out.append(word.substr(start));
  return out;
}

/// The breaks of `word` as a line breaker takes them, in `String` units cut
/// by `cut(from, to)` from the caller's text; `encode` turns a changed
/// spelling into them.
template <class String, class Cut, class Encode>
std::vector<BasicWordBreak<String>> breaksOf(const Hyphenator& h, std::u32string_view word, Cut cut,
                                             Encode encode) {
  std::vector<BasicWordBreak<String>> breaks;
  for (const FoundBreak& b : breaksFound(h, word)) {
    BasicWordBreak<String> out;
    out.position = b.position;
    if (b.standard()) {
      out.before = cut(0, b.position);
      out.after = cut(b.position, word.size());
    } else {
      const std::size_t end = std::min(word.size(), b.changeStart + b.change->cut);
      out.before = cut(0, b.changeStart) + encode(b.before());
      out.after = encode(b.after()) + cut(end, word.size());
      out.standard = false;
    }
    breaks.push_back(std::move(out));
  }
  return breaks;
}

/// `word` with every break marked; a standard break inside or just after
/// letters a non-standard one rewrites gives way to it, as in the C library.
template <class String, class Cut, class Encode>
String spell(const Hyphenator& h, std::u32string_view word, const String& separator, Cut cut,
             Encode encode) {
  auto found = breaksFound(h, word);
  std::vector<FoundBreak> breaks(found.begin(), found.end());
  std::erase_if(breaks, [&breaks](const FoundBreak& b) {
    return b.standard() && std::any_of(breaks.begin(), breaks.end(), [&b](const auto& c) {
             return !c.standard() && b.position > c.changeStart &&
                    b.position <= c.changeStart + c.change->cut;
           });
  });
  String out;
  std::size_t written = 0;
  for (const FoundBreak& b : breaks) {
    const std::size_t from = b.standard() ? b.position : b.changeStart;
    if (from < written) continue;
    out += cut(written, from);
    if (b.standard()) {
      out += separator;
      written = b.position;
    } else {
      out += encode(b.before()) + separator + encode(b.after());
      written = std::min(word.size(), b.changeStart + b.change->cut);
    }
  }
  out += cut(written, word.size());
  return out;
}

std::u32string same(std::u32string_view s) { return std::u32string(s); }

/// Pieces of a code-point word, and of a UTF-8 one from its own bytes.
auto cutOf(std::u32string_view word) {
  return [word](std::size_t from, std::size_t to) {
    return std::u32string(word.substr(from, to - from));
  };
}
auto cutOf(std::string_view word, Utf8Word& decoded) {
  return [word, &decoded](std::size_t from, std::size_t to) {
    const std::size_t begin = decoded.offset(from);
    return std::string(word.substr(begin, decoded.offset(to) - begin));
  };
}

}  // namespace

std::vector<std::size_t> hyphenationPoints(const Hyphenator& h, std::u32string_view word) {
  Breaks breaks(h, word);
  std::vector<std::size_t> points(breaks.size());
  for (std::size_t i = 0; i < breaks.size(); ++i) points[i] = breaks[i];
  return points;
}

std::size_t hyphenationPoints(const Hyphenator& h, std::u32string_view word,
                              std::span<std::size_t> out) {
  return detail::findStandardBreaks(detail::stateOf(h), word, out);
}

std::vector<std::size_t> hyphenationPoints(const Hyphenator& h, std::string_view word) {
  Utf8Word decoded(word);
  return hyphenationPoints(h, decoded.text());
}

std::vector<std::u32string> hyphenate(const Hyphenator& h, std::u32string_view word) {
  return piecesOf<std::u32string>(
      h, word, [word](std::size_t from, std::size_t to) { return word.substr(from, to - from); });
}

std::vector<std::string> hyphenate(const Hyphenator& h, std::string_view word) {
  Utf8Word decoded(word);
  return piecesOf<std::string>(h, decoded.text(), [&](std::size_t from, std::size_t to) {
    const std::size_t begin = decoded.offset(from);
    return word.substr(begin, decoded.offset(to) - begin);
  });
}

std::u32string insertHyphens(const Hyphenator& h, std::u32string_view word,
                             std::u32string_view separator) {
  return joinWithSeparator<std::u32string>(h, word, word, separator,
                                           [](std::size_t i) { return i; });
}

std::string insertHyphens(const Hyphenator& h, std::string_view word, std::string_view separator) {
  Utf8Word decoded(word);
  return joinWithSeparator<std::string>(h, decoded.text(), word, separator,
                                        [&decoded](std::size_t i) { return decoded.offset(i); });
}

std::vector<WordBreak> hyphenationBreaks(const Hyphenator& h, std::u32string_view word) {
  return breaksOf<std::u32string>(h, word, cutOf(word), same);
}

std::vector<Utf8WordBreak> hyphenationBreaks(const Hyphenator& h, std::string_view word) {
  Utf8Word decoded(word);
  return breaksOf<std::string>(h, decoded.text(), cutOf(word, decoded), detail::encodeUtf8);
}

std::u32string spellBreaks(const Hyphenator& h, std::u32string_view word,
                           std::u32string_view separator) {
  return spell(h, word, std::u32string(separator), cutOf(word), same);
}

std::string spellBreaks(const Hyphenator& h, std::string_view word, std::string_view separator) {
  Utf8Word decoded(word);
  return spell(h, decoded.text(), std::string(separator), cutOf(word, decoded), detail::encodeUtf8);
}

}  // namespace morvane
