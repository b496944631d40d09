// Text set in lines: words and their hyphenation points made into a
// paragraph's boxes, glue and penalties, broken, and written out.

#include <unicode/uchar.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/utf8.hpp"
#include "layout/paragraph_breaks.hpp"
#include "morvane/lines.hpp"
#include "morvane/text.hpp"
#include "text/text_breaks.hpp"

namespace morvane {

namespace {

bool isSpace(char32_t c) { return u_isWhitespace(static_cast<UChar32>(c)) != 0; }

bool allLetters(std::string_view word) {
  for (std::size_t at = 0; at < word.size();) {
    char32_t c = 0;
    const std::size_t length = detail::decodeUtf8Char(word.substr(at), c);
    if (length == 0 || u_isalpha(static_cast<UChar32>(c)) == 0) return false;
    at += length;
  }
  return !word.empty();
}

/// The length of the longest common prefix of `a` and `b`, or of their
/// longest common suffix.
std::size_t commonPrefix(std::string_view a, std::string_view b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  return n;
}
std::size_t commonSuffix(std::string_view a, std::string_view b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
  return n;
}

/// A stretch of a paragraph not yet set: its items, each with the text it
/// stands for (and, for a break that changes the spelling, the text that
/// begins the next line), those texts kept one after another in `texts`.
struct Items {
  struct Texts {
    std::size_t begin;
    std::size_t size;
    std::size_t postSize;  // right after the text
  };
  std::vector<ParagraphItem> items;
  std::vector<Texts> spans;
  std::string texts;

  void add(const ParagraphItem& item, std::string_view text, std::string_view post = {}) {
    items.push_back(item);
    spans.push_back({texts.size(), text.size(), post.size()});
    texts.append(text);
    texts.append(post);
  }
  [[nodiscard]] std::string_view text(std::size_t i) const {
    return std::string_view(texts).substr(spans[i].begin, spans[i].size);
  }
  [[nodiscard]] std::string_view post(std::size_t i) const {
    return std::string_view(texts).substr(spans[i].begin + spans[i].size, spans[i].postSize);
  }
  /// Forgets the items before `from`.
  void dropBefore(std::size_t from) {
    const std::size_t cut = from < items.size() ? spans[from].begin : texts.size();
    items.erase(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(from));
    spans.erase(spans.begin(), spans.begin() + static_cast<std::ptrdiff_t>(from));
    texts.erase(0, cut);
    for (Texts& t : spans) t.begin -= cut;
  }
  void clear() {
    items.clear();
    spans.clear();
    texts.clear();
  }
};

}  // namespace

struct LineStream::State {
  /// A stretch this long (some thousands of lines) is set at once; half of
  /// it is kept, unsettled, for the next.
  static constexpr std::size_t kWindowItems = std::size_t{1} << 15;

  State(Hyphenator hyphenator, double w, LineOptions o, Writer writer, MeasureText m)
      : h(std::move(hyphenator)),
        width(w),
        options(std::move(o)),
        out(std::move(writer)),
        measure(std::move(m)),
        space(measure(" ")),
        hyphen(measure(options.hyphen)),
        finder(h) {}

  Hyphenator h;
  double width;
  LineOptions options;
  Writer out;
  MeasureText measure;
  double space;
  double hyphen;
  detail::TextBreakFinder finder;

  std::string pending;      // the paragraph's text after its last complete word
  std::size_t scanned = 0;  // bytes of `pending` known to hold no white space
  bool longWord = false;    // a word too long to set is being copied
  Items stretch;
  bool anyWord = false;  // the stretch has a word before which a space goes
  detail::LineStart start;
  std::string lineBegin;  // what the stretch's first line begins with

  void write(std::string_view text) {
    // A slice at a time, so that a word too long to set is copied on
    // before much of it is held.
    constexpr std::size_t kSlice = std::size_t{1} << 16;
    for (std::size_t at = 0; at < text.size(); at += kSlice) {
      pending.append(text.substr(at, kSlice));
      if (longWord) copyLongWord(false);
      if (longWord) continue;
      readWords();
      if (pending.size() > kLongestRun) {
        setLines(true);  // the lines before it end as a paragraph's do
        longWord = true;
        copyLongWord(false);
      }
    }
  }

  void finish() {
    if (longWord) copyLongWord(true);
    readWords();
    word(pending);
    pending.clear();
    scanned = 0;
    setLines(true);
    start = {};
  }

  /// Takes the words of `pending` that white space has ended.
  void readWords() {
    std::size_t wordStart = 0;
    std::size_t at = scanned;
    while (at < pending.size()) {
      std::size_t length = 0;
      const bool space = spaceAt(pending, at, length);
      if (length == 0) break;  // a character the next piece completes
      if (space) {
        word(std::string_view(pending).substr(wordStart, at - wordStart));
        wordStart = at + length;
      }
      at += length;
    }
    pending.erase(0, wordStart);
    scanned = at - wordStart;
  }

  /// Whether white space starts at `at` of `text`, and how long the
  /// character there is: 0 when the text ends inside it. A byte that is
  /// not UTF-8 is part of a word, whatever its value.
  static bool spaceAt(std::string_view text, std::size_t at, std::size_t& length) {
    char32_t c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
      length = 1;
      return isSpace(c);
    }
    if (detail::startsTruncatedUtf8(text.substr(at))) {
      length = 0;
      return false;
    }
    length = detail::decodeUtf8Char(text.substr(at), c);
    if (length == 0) {
      length = 1;
      return false;
    }
    return isSpace(c);
  }

  /// A word of the paragraph, whole.
  void word(std::string_view text) {
    if (text.empty()) return;
    if (anyWord) {
      stretch.add(
          ParagraphItem::glue(space, space * options.spaceStretch, space * options.spaceShrink),
          " ");
    }
    anyWord = true;
    if (!addChangingWord(text)) addWord(text);
    if (stretch.items.size() >= kWindowItems) setLines(false);
  }

  /// The pieces of a word between its breaks, and after a hyphen it has.
  void addWord(std::string_view word) {
    const std::span<const std::size_t> marks = finder.breaks(word);
    std::size_t next = 0;  // of marks
    std::size_t from = 0;
    while (from < word.size()) {
      const bool marked = next < marks.size();
      const std::size_t mark = marked ? marks[next] : word.size();
      std::size_t cut = mark;
      const std::size_t dash = word.substr(from, cut - from).find('-');
      const bool explicitHyphen =
          dash != std::string_view::npos && dash > 0 && from + dash + 1 < word.size();
      if (explicitHyphen) cut = from + dash + 1;
      const std::string_view piece = word.substr(from, cut - from);
      stretch.add(ParagraphItem::box(measure(piece)), piece);
      from = cut;
      if (explicitHyphen) {
        stretch.add(ParagraphItem::penalty(0, options.explicitHyphenPenalty, true), "");
      } else if (marked) {
        ++next;
        if (from < word.size()) {
          stretch.add(ParagraphItem::penalty(hyphen, options.hyphenPenalty, true), options.hyphen);
        }
      }
    }
  }

  /// The items of a word some of whose breaks change its spelling (an
  /// office dictionary's): each such break a discretionary whose no-break
  /// text is the letters it changes; standard breaks among those give way
  /// to it. False (and nothing added) when the word has no such break.
  bool addChangingWord(std::string_view word) {
    // Only an office dictionary's breaks change the spelling: for any other
    // hyphenator the word's breaks are not worked out twice.
    if (!breaksMayChangeSpelling(h) || !allLetters(word)) return false;
    const std::vector<Utf8WordBreak> breaks = hyphenationBreaks(h, word);
    if (std::all_of(breaks.begin(), breaks.end(), [](const auto& b) { return b.standard; })) {
      return false;
    }
    std::size_t done = 0;  // bytes of the word given to items
    for (const Utf8WordBreak& b : breaks) {
      if (b.standard) {
        const std::size_t at = b.before.size();
        if (at <= done) continue;  // among letters a change took
        stretch.add(ParagraphItem::box(measure(word.substr(done, at - done))),
                    word.substr(done, at - done));
        stretch.add(ParagraphItem::penalty(hyphen, options.hyphenPenalty, true), options.hyphen);
        done = at;
        continue;
      }
      // The word is before + after with the changed letters between, spelled
      // otherwise: word[from, to) becomes before[from...] and after[...].
      const std::size_t from = std::min(commonPrefix(b.before, word), b.before.size());
      const std::size_t to =
          std::max(from, word.size() - std::min(commonSuffix(b.after, word), b.after.size()));
      if (from < done) continue;
      if (from > done) {
        stretch.add(ParagraphItem::box(measure(word.substr(done, from - done))),
                    word.substr(done, from - done));
      }
      const std::string pre = std::string(b.before.substr(from)) + options.hyphen;
      const std::string_view post =
          std::string_view(b.after).substr(0, b.after.size() - (word.size() - to));
      stretch.add(ParagraphItem::discretionary(measure(pre), measure(post), to > from ? 1 : 0,
                                               options.hyphenPenalty),
                  pre, post);
      if (to > from) {
        stretch.add(ParagraphItem::box(measure(word.substr(from, to - from))),
                    word.substr(from, to - from));
      }
      done = to;
    }
    if (done < word.size()) {
      stretch.add(ParagraphItem::box(measure(word.substr(done))), word.substr(done));
    }
    return true;
  }

  [[nodiscard]] double lineWidth(std::size_t line) const {
    return line == 0 ? options.firstWidth.value_or(width) : width;
  }

  /// Sets the stretch: all of it when the paragraph `ends`, else its
  /// earlier half, keeping the rest to be set with what follows.
  void setLines(bool ends) {
    if (stretch.items.empty()) {
      anyWord = false;
      return;
    }
    const double widths[] = {lineWidth(0), width};
    const std::vector<LineBreakPoint> breaks = detail::breakStretch(
        stretch.items, widths, options.parameters, start, ends, options.greedy);
    std::size_t settled = breaks.size();
    if (!ends) {
      // Breaks in the earlier half are kept whatever follows; with none
      // there, all that were found.
      const std::size_t half = stretch.items.size() / 2;
      settled = static_cast<std::size_t>(
          std::count_if(breaks.begin(), breaks.end(),
                        [half](const LineBreakPoint& b) { return b.position < half; }));
      if (settled == 0) settled = breaks.size();
      if (settled == 0) return;  // no break at all yet: the stretch grows
    }
    std::size_t from = 0;
    for (std::size_t k = 0; k < settled; ++k) {
      const LineBreakPoint& b = breaks[k];
      const bool last = ends && k + 1 == breaks.size();
      out(lineOf(from, b, options.justify && !last, lineWidth(start.line + k)));
      lineBegin.clear();
      if (b.position < stretch.items.size()) {
        from = b.position + 1 + stretch.items[b.position].replaces;
        lineBegin = stretch.post(b.position);
      }
    }
    if (ends) {
      stretch.clear();
      anyWord = false;
      lineBegin.clear();
      return;
    }
    start = detail::startAfter(stretch.items, breaks[settled - 1], start.line + settled - 1);
    stretch.dropBefore(from);
  }

  /// The line of the stretch's items `from` up to the break `b`.
  TextLine lineOf(std::size_t from, const LineBreakPoint& b, bool justify, double lineWidth) const {
    TextLine line;
    line.ratio = b.ratio;
    line.overfull = b.overfull;
    line.text = lineBegin;
    std::vector<std::size_t> spaces;  // where glue went, in the text
    const std::vector<ParagraphItem>& items = stretch.items;
    for (std::size_t i = from; i < b.position; ++i) {
      const ParagraphItem& item = items[i];
      if (item.kind == ParagraphItem::Kind::kGlue) {
        if (line.text.empty()) continue;  // glue at a line's start is dropped
        spaces.push_back(line.text.size());
        line.text += stretch.text(i);
      } else if (item.kind == ParagraphItem::Kind::kBox) {
        line.text += stretch.text(i);
      }
    }
    if (b.position < items.size() && items[b.position].kind == ParagraphItem::Kind::kPenalty) {
      line.text += stretch.text(b.position);  // the hyphen of a broken word
    }
    if (justify && !spaces.empty()) {
      // Spread the missing columns over the spaces, left to right.
      const double missing = lineWidth - measure(line.text);
      const auto extra = static_cast<std::size_t>(std::max(0.0, missing));
      std::string padded;
      std::size_t copied = 0;
      for (std::size_t k = 0; k < spaces.size(); ++k) {
        padded.append(line.text, copied, spaces[k] - copied);
        padded.append(extra / spaces.size() + (k < extra % spaces.size() ? 1 : 0), ' ');
        copied = spaces[k];
      }
      padded.append(line.text, copied);
      line.text = std::move(padded);
    }
    return line;
  }

  /// A word longer than any prose has (data) goes on a line of its own,
  /// copied in pieces as it comes, up to the white space that ends it
  /// (`ends`: or the end of the paragraph).
  void copyLongWord(bool ends) {
    std::size_t end = 0;
    bool spaceFound = false;
    while (end < pending.size()) {
      std::size_t length = 0;
      spaceFound = spaceAt(pending, end, length);
      if (spaceFound || length == 0) break;
      end += length;
    }
    if (ends && !spaceFound) end = pending.size();
    ends = ends || spaceFound;
    TextLine piece;
    piece.overfull = true;
    piece.text = pending.substr(0, end);
    piece.continued = !ends;
    if (!piece.text.empty() || ends) out(piece);
    pending.erase(0, end);
    scanned = 0;
    if (ends) {
      longWord = false;
      start = {};
      start.line = 1;  // what follows is not the paragraph's first line
    }
  }
};

LineStream::LineStream(const Hyphenator& h, double width, const LineOptions& options, Writer out,
                       MeasureText measure)
    : state_(std::make_unique<State>(h, width, options, std::move(out), std::move(measure))) {}

LineStream::~LineStream() = default;

void LineStream::write(std::string_view text) { state_->write(text); }

void LineStream::finish() { state_->finish(); }

double terminalColumns(std::string_view utf8) {
  double columns = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    char32_t c = static_cast<unsigned char>(utf8[at]);
    std::size_t length = c < 0x80 ? 1 : detail::decodeUtf8Char(utf8.substr(at), c);
    if (length == 0) {
      columns += 1;  // a byte that is not UTF-8 shows as one replacement character
      at += 1;
      continue;
    }
    at += length;
    const auto u = static_cast<UChar32>(c);
    const auto category = u_charType(u);
    if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK ||
        category == U_FORMAT_CHAR || category == U_CONTROL_CHAR) {
      continue;
    }
    const auto east = u_getIntPropertyValue(u, UCHAR_EAST_ASIAN_WIDTH);
    columns += east == U_EA_WIDE || east == U_EA_FULLWIDTH ? 2 : 1;
  }
  return columns;
}

std::vector<TextLine> breakLines(const Hyphenator& h, std::string_view text, double width,
                                 const LineOptions& options, const MeasureText& measure) {
  std::vector<TextLine> lines;
  bool joining = false;  // the last line goes on in the next piece
  LineStream stream(
      h, width, options,
      [&lines, &joining](const TextLine& line) {
        if (joining) {
          lines.back().text += line.text;
          lines.back().continued = false;
        } else {
          lines.push_back(line);
        }
        joining = line.continued;
        lines.back().continued = false;
      },
      measure);
  stream.write(text);
  stream.finish();
  return lines;
}

}  // namespace morvane
