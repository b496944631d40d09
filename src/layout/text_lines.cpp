// Text set in lines: words and their hyphenation points made into a
// paragraph's boxes, glue and penalties, broken, and written out.

#include <unicode/uchar.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "common/utf8.hpp"
#include "engine/hyphenator_parts.hpp"
#include "morvane/lines.hpp"
#include "morvane/text.hpp"

namespace morvane {

namespace {

// Marks the hyphenation points hyphenateText finds: a private-use
// character no text of a word holds.
constexpr std::string_view kMark = "\xEE\x80\x80";  // U+E000

bool isSpace(char32_t c) { return u_isWhitespace(static_cast<UChar32>(c)) != 0; }

/// The words of `text`: runs between white space.
std::vector<std::string_view> wordsOf(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  std::size_t start = std::string_view::npos;
  while (at < text.size()) {
    char32_t c = static_cast<unsigned char>(text[at]);
    std::size_t length = c < 0x80 ? 1 : detail::decodeUtf8Char(text.substr(at), c);
    // A byte that is not UTF-8 is part of a word, whatever its value.
    const bool space = length != 0 && isSpace(c);
    if (length == 0) length = 1;
    if (space && start != std::string_view::npos) {
      words.push_back(text.substr(start, at - start));
      start = std::string_view::npos;
    } else if (!space && start == std::string_view::npos) {
      start = at;
    }
    at += length;
  }
  if (start != std::string_view::npos) words.push_back(text.substr(start));
  return words;
}

/// A paragraph's items, each with the text it stands for (and, for a
/// break that changes the spelling, the text that begins the next line).
struct Items {
  std::vector<ParagraphItem> items;
  std::vector<std::string_view> texts;
  std::vector<std::string_view> posts;
  void add(const ParagraphItem& item, std::string_view text, std::string_view post = {}) {
    items.push_back(item);
    texts.push_back(text);
    posts.push_back(post);
  }
};

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

/// The items of a word some of whose breaks change its spelling (an office
/// dictionary's): each such break a discretionary whose no-break text is
/// the letters it changes; standard breaks among those give way to it.
/// False (and nothing added) when the word has no such break.
bool addChangingWord(const Hyphenator& h, std::string_view word, const LineOptions& options,
                     const MeasureText& measure, Items& out, std::deque<std::string>& storage) {
  // Only an office dictionary's breaks change the spelling: for any other
  // hyphenator the word's breaks are not worked out twice.
  if (detail::partsOf(h).dictionary == nullptr || !allLetters(word)) return false;
  const std::vector<Utf8WordBreak> breaks = hyphenationBreaks(h, word);
  if (std::all_of(breaks.begin(), breaks.end(), [](const auto& b) { return b.standard; })) {
    return false;
  }
  std::size_t done = 0;  // bytes of the word given to items
  for (const Utf8WordBreak& b : breaks) {
    if (b.standard) {
      const std::size_t at = b.before.size();
      if (at <= done) continue;  // among letters a change took
      out.add(ParagraphItem::box(measure(word.substr(done, at - done))),
              word.substr(done, at - done));
      out.add(ParagraphItem::penalty(measure(options.hyphen), options.hyphenPenalty, true),
              options.hyphen);
      done = at;
      continue;
    }
    // The word is before + after with the changed letters between, spelled
    // otherwise: word[from, to) becomes before[from...] and after[...].
    std::size_t from = std::min(commonPrefix(b.before, word), b.before.size());
    const std::size_t to =
        std::max(from, word.size() - std::min(commonSuffix(b.after, word), b.after.size()));
    if (from < done) continue;
    if (from > done) {
      out.add(ParagraphItem::box(measure(word.substr(done, from - done))),
              word.substr(done, from - done));
    }
    storage.push_back(std::string(b.before.substr(from)) + options.hyphen);
    const std::string_view pre = storage.back();
    storage.push_back(std::string(b.after.substr(0, b.after.size() - (word.size() - to))));
    const std::string_view post = storage.back();
    out.add(ParagraphItem::discretionary(measure(pre), measure(post), to > from ? 1 : 0,
                                         options.hyphenPenalty),
            pre, post);
    if (to > from)
      out.add(ParagraphItem::box(measure(word.substr(from, to - from))),
              word.substr(from, to - from));
    done = to;
  }
  if (done < word.size())
    out.add(ParagraphItem::box(measure(word.substr(done))), word.substr(done));
  return true;
}

Items itemsOf(const Hyphenator& h, std::string_view text, const LineOptions& options,
              const MeasureText& measure, std::deque<std::string>& storage) {
  Items out;
  const std::vector<std::string_view> words = wordsOf(text);
  const double space = measure(" ");
  const double hyphen = measure(options.hyphen);
  // The words hyphenated as one text, a line each: a line end ends every
  // word and run, so each line comes out as its word alone would, and the
  // paragraph is scanned once rather than word by word.
  std::string lines;
  lines.reserve(text.size() + 1);
  for (const std::string_view word : words) {
    lines += word;
    lines += '\n';
  }
  // The pieces point into `storage`, whose strings never move.
  storage.push_back(hyphenateText(h, lines, kMark));
  std::string_view markedLines = storage.back();
  for (std::size_t w = 0; w < words.size(); ++w) {
    const std::size_t lineEnd = markedLines.find('\n');
    std::string_view marked = markedLines.substr(0, lineEnd);
    markedLines.remove_prefix(lineEnd + 1);
    if (w > 0) {
      out.add(ParagraphItem::glue(space, space * options.spaceStretch, space * options.spaceShrink),
              " ");
    }
    if (addChangingWord(h, words[w], options, measure, out, storage)) continue;
    // Pieces between the marks, and after a hyphen the word already has.
    while (!marked.empty()) {
      const std::size_t mark = marked.find(kMark);
      std::size_t cut = std::min(mark, marked.size());
      const std::size_t dash = marked.substr(0, cut).find('-');
      const bool explicitHyphen =
          dash != std::string_view::npos && dash > 0 && dash + 1 < marked.size();
      if (explicitHyphen) cut = dash + 1;
      const std::string_view piece = marked.substr(0, cut);
      out.add(ParagraphItem::box(measure(piece)), piece);
      marked.remove_prefix(cut);
      if (explicitHyphen) {
        if (!marked.empty())
          out.add(ParagraphItem::penalty(0, options.explicitHyphenPenalty, true), "");
      } else if (mark != std::string_view::npos) {
        marked.remove_prefix(kMark.size());
        if (!marked.empty()) {
          out.add(ParagraphItem::penalty(hyphen, options.hyphenPenalty, true), options.hyphen);
        }
      }
    }
  }
  return out;
}

/// The text of the items of one line, `from` up to the break at `to`,
/// beginning with `start` (what a changed spelling puts there).
TextLine lineOf(const Items& p, std::string_view start, std::size_t from, std::size_t to,
                const LineBreakPoint& b, bool justify, double width, const MeasureText& measure) {
  TextLine line;
  line.ratio = b.ratio;
  line.overfull = b.overfull;
  line.text = start;
  std::vector<std::size_t> spaces;  // where glue went, in the text
  for (std::size_t i = from; i < to; ++i) {
    const ParagraphItem& item = p.items[i];
    if (item.kind == ParagraphItem::Kind::kGlue) {
      if (line.text.empty()) continue;  // glue at a line's start is dropped
      spaces.push_back(line.text.size());
      line.text += p.texts[i];
    } else if (item.kind == ParagraphItem::Kind::kBox) {
      line.text += p.texts[i];
    }
  }
  if (to < p.items.size() && p.items[to].kind == ParagraphItem::Kind::kPenalty) {
    line.text += p.texts[to];  // the hyphen of a broken word
  }
  if (justify && !spaces.empty()) {
    // Spread the missing columns over the spaces, left to right.
    const double missing = width - measure(line.text);
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

}  // namespace

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
  std::deque<std::string> storage;
  const Items p = itemsOf(h, text, options, measure, storage);
  if (p.items.empty()) return {};
  const double widths[] = {options.firstWidth.value_or(width), width};
  const std::vector<LineBreakPoint> breaks =
      options.greedy ? breakParagraphGreedy(p.items, widths)
                     : breakParagraph(p.items, widths, options.parameters);
  std::vector<TextLine> lines;
  std::size_t from = 0;
  std::string_view start;
  for (std::size_t k = 0; k < breaks.size(); ++k) {
    const bool last = k + 1 == breaks.size();
    const std::size_t at = breaks[k].position;
    lines.push_back(lineOf(p, start, from, at, breaks[k], options.justify && !last,
                           widths[std::min<std::size_t>(k, 1)], measure));
    if (at < p.items.size()) {
      from = at + 1 + p.items[at].replaces;
      start = p.posts[at];
    }
  }
  return lines;
}

}  // namespace morvane
