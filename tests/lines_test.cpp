// Line breaking against an exhaustive search over every sequence of breaks,
// and on real text: nothing lost, nothing wider than the measure.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <sstream>

#include "morvane/morvane.hpp"

namespace morvane {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

/// The paragraph as the breaker sees it: the caller's items and TeX's end.
std::vector<ParagraphItem> ended(std::vector<ParagraphItem> items) {
  items.push_back(ParagraphItem::penalty(0, kInfinitePenalty));
  items.push_back(ParagraphItem::glue(0, 1e9, 0));
  items.push_back(ParagraphItem::penalty(0, -kInfinitePenalty));
  return items;
}

/// Total demerits of ending lines at `breaks` (indices into `items`, the
/// last the final forced break), straight from the definitions; nothing
/// when a line is infeasible.
std::optional<double> demeritsOf(const std::vector<ParagraphItem>& items,
                                 const std::vector<std::size_t>& breaks, double width,
                                 const BreakParameters& bp) {
  double total = 0;
  std::size_t start = 0;
  double startWidth = 0;  // what a changed spelling begins the line with
  int fitness = 1;
  bool flaggedBefore = false;
  for (const std::size_t b : breaks) {
    double natural = startWidth;
    double stretch = 0;
    double shrink = 0;
    for (std::size_t i = start; i < b; ++i) {
      if (items[i].kind == ParagraphItem::Kind::kPenalty) continue;
      natural += items[i].width;
      if (items[i].kind == ParagraphItem::Kind::kGlue) {
        stretch += items[i].stretch;
        shrink += items[i].shrink;
      }
    }
    const bool penalty = items[b].kind == ParagraphItem::Kind::kPenalty;
    if (penalty) natural += items[b].width;
    double r = 0;
    if (natural < width) r = stretch > 0 ? (width - natural) / stretch : kInfinity;
    if (natural > width) r = shrink > 0 ? (width - natural) / shrink : -kInfinity;
    if (r < -1 || r > bp.tolerance) return std::nullopt;
    const double badness = 100 * std::pow(std::abs(r), 3);
    double d = std::pow(bp.linePenalty + badness, 2);
    const double p = penalty ? items[b].cost : 0;
    if (p >= 0) {
      d += p * p;
    } else if (p > -kInfinitePenalty) {
      d -= p * p;
    }
    const bool flagged = penalty && items[b].flagged;
    if (flagged && flaggedBefore) d += bp.doubleHyphenDemerits;
    const int c = r < -0.5 ? 0 : r <= 0.5 ? 1 : r <= 1 ? 2 : 3;
    if (std::abs(c - fitness) > 1) d += bp.fitnessDemerits;
    total += d;
    fitness = c;
    flaggedBefore = flagged;
    // The next line begins at the next box (glue and penalties after a break
    // are dropped).
    start = b + 1 + items[b].replaces;
    startWidth = items[b].postWidth;
    while (start < items.size() && items[start].kind != ParagraphItem::Kind::kBox) ++start;
  }
  return total;
}

bool legal(const std::vector<ParagraphItem>& items, std::size_t b) {
  if (items[b].kind == ParagraphItem::Kind::kPenalty) return items[b].cost < kInfinitePenalty;
  return items[b].kind == ParagraphItem::Kind::kGlue && b > 0 &&
         items[b - 1].kind == ParagraphItem::Kind::kBox;
}

/// The least total demerits over every sequence of legal breaks.
std::optional<double> bestByExhaustiveSearch(const std::vector<ParagraphItem>& items, double width,
                                             const BreakParameters& bp) {
  std::vector<std::size_t> candidates;
  for (std::size_t b = 0; b + 1 < items.size(); ++b) {
    if (legal(items, b)) candidates.push_back(b);
  }
  std::optional<double> best;
  for (std::uint32_t mask = 0; mask < (1U << candidates.size()); ++mask) {
    std::vector<std::size_t> breaks;
    bool forcedSkipped = false;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
      const bool taken = (mask >> k & 1U) != 0;
      const ParagraphItem& item = items[candidates[k]];
      if (item.kind == ParagraphItem::Kind::kPenalty && item.cost <= -kInfinitePenalty && !taken) {
        forcedSkipped = true;
      }
      if (taken) breaks.push_back(candidates[k]);
    }
    if (forcedSkipped) continue;
    breaks.push_back(items.size() - 1);
    if (const auto d = demeritsOf(items, breaks, width, bp); d && (!best || *d < *best)) best = d;
  }
  return best;
}

std::vector<ParagraphItem> randomParagraph(std::mt19937& rng) {
  std::vector<ParagraphItem> items;
  const int words = 3 + static_cast<int>(rng() % 6);
  for (int w = 0; w < words; ++w) {
    if (w > 0) {
      items.push_back(ParagraphItem::glue(1, 1 + rng() % 2, static_cast<double>(rng() % 2) * 0.5));
    }
    items.push_back(ParagraphItem::box(1 + rng() % 6));
    if (rng() % 3 == 0) {  // a hyphenation point
      items.push_back(ParagraphItem::penalty(1, 50, true));
      items.push_back(ParagraphItem::box(1 + rng() % 4));
    } else if (rng() % 4 == 0) {  // one that changes the spelling
      items.push_back(ParagraphItem::discretionary(1 + rng() % 3, rng() % 3, 1, 50));
      items.push_back(ParagraphItem::box(1 + rng() % 2));  // the letters unchanged
      items.push_back(ParagraphItem::box(1 + rng() % 4));
    }
    if (rng() % 9 == 0) items.push_back(ParagraphItem::penalty(0, -kInfinitePenalty));
  }
  return items;
}

TEST(BreakParagraph, FindsTheLeastDemeritsThatAnExhaustiveSearchFinds) {
  std::mt19937 rng(7);
  int compared = 0;
  for (int round = 0; round < 1500; ++round) {
    const std::vector<ParagraphItem> items = randomParagraph(rng);
    BreakParameters bp;
    bp.tolerance = 1 + static_cast<double>(rng() % 4);
    const double width = 6 + static_cast<double>(rng() % 10);
    const std::vector<ParagraphItem> all = ended(items);
    const auto best = bestByExhaustiveSearch(all, width, bp);
    if (!best) continue;  // nothing within the tolerance: the fallback's case
    const double widths[] = {width};
    std::vector<std::size_t> chosen;
    for (const LineBreakPoint& b : breakParagraph(items, widths, bp)) {
      chosen.push_back(b.position == items.size() ? all.size() - 1 : b.position);
      EXPECT_FALSE(b.overfull);
    }
    const auto ours = demeritsOf(all, chosen, width, bp);
    ASSERT_TRUE(ours.has_value()) << "round " << round;
    EXPECT_NEAR(*ours, *best, 1e-6 * *best) << "round " << round;
    ++compared;
  }
  EXPECT_GT(compared, 200);
}

TEST(BreakParagraph, AWordWiderThanTheLineIsKeptWholeAndReported) {
  const std::vector<ParagraphItem> items = {ParagraphItem::box(3), ParagraphItem::glue(1, 1, 0),
                                            ParagraphItem::box(30), ParagraphItem::glue(1, 1, 0),
                                            ParagraphItem::box(4)};
  const double widths[] = {10};
  for (const auto& breaks : {breakParagraph(items, widths), breakParagraphGreedy(items, widths)}) {
    ASSERT_EQ(breaks.size(), 3U);
    EXPECT_EQ(breaks[0].position, 1U);
    EXPECT_TRUE(breaks[1].overfull);
    EXPECT_EQ(breaks[2].position, items.size());
  }
}

TEST(BreakParagraph, LoosenessAsksForMoreLinesAndWidthsVaryByLine) {
  std::vector<ParagraphItem> items;
  for (int w = 0; w < 24; ++w) {
    if (w > 0) items.push_back(ParagraphItem::glue(1, 2, 0));
    items.push_back(ParagraphItem::box(3 + w % 3));
  }
  BreakParameters bp;
  bp.tolerance = 10;
  const double widths[] = {30};
  const std::size_t natural = breakParagraph(items, widths, bp).size();
  bp.looseness = 1;
  EXPECT_EQ(breakParagraph(items, widths, bp).size(), natural + 1);
  // A narrow first line and wide ones after it: each line within its own.
  const double varying[] = {12, 40};
  bp.looseness = 0;
  const std::vector<LineBreakPoint> breaks = breakParagraph(items, varying, bp);
  std::size_t start = 0;
  for (std::size_t k = 0; k < breaks.size(); ++k) {
    double width = 0;
    for (std::size_t i = start; i < breaks[k].position && i < items.size(); ++i) {
      if (items[i].kind != ParagraphItem::Kind::kPenalty) width += items[i].width;
    }
    EXPECT_LE(width, varying[std::min<std::size_t>(k, 1)]) << "line " << k;
    start = breaks[k].position + 1;
  }
}

/// The words of a text, split at white space.
std::vector<std::string> wordsIn(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string withoutHyphens(std::string s) {
  std::erase(s, '-');
  return s;
}

TEST(BreakLines, LosesNoWordAndKeepsToTheWidth) {
  const std::string text =
      "Typesetting justified text is a quiet negotiation between the width of a column and the "
      "length of its words. When a long word reaches the right margin, the compositor may either "
      "stretch the spaces of the whole line or break the word with a hyphen: co-operation, "
      "characteristically, incomprehensibilities and supercalifragilisticexpialidocious.";
  for (const double width : {8.0, 12.0, 20.0, 33.0, 72.0}) {
    for (const bool greedy : {false, true}) {
      for (const bool justify : {false, true}) {
        LineOptions options;
        options.greedy = greedy;
        options.justify = justify;
        const std::vector<TextLine> lines = breakLines(english_US, text, width, options);
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
          const TextLine& line = lines[i];
          if (!line.overfull) {
            EXPECT_LE(terminalColumns(line.text), width) << line.text;
          }
          if (justify && !line.overfull && i + 1 < lines.size() &&
              line.text.find(' ') != std::string::npos) {
            EXPECT_EQ(terminalColumns(line.text), width) << line.text;
          }
          // A line ending in a hyphen ends inside a word (at a hyphenation
          // point or after a hyphen of the text): the next line goes on with it.
          joined += line.text;
          if (line.text.empty() || line.text.back() != '-') joined += ' ';
        }
        // The same words, apart from the hyphens added at line ends.
        EXPECT_EQ(wordsIn(withoutHyphens(joined)), wordsIn(withoutHyphens(text)))
            << width << greedy << justify;
      }
    }
  }
}

TEST(BreakLines, EveryCharacterComesBackPrivateUseOnesToo) {
  const std::string text = "co\uE000operate \uE000\uE000 hy\uE000phenation";
  std::string joined;
  for (const TextLine& line : breakLines(english_US, text, 6)) {
    joined += line.text;
    if (!joined.ends_with('-')) joined += ' ';
  }
  EXPECT_EQ(withoutHyphens(joined), text + " ");
}

TEST(BreakLines, BytesThatAreNotUtf8StayInTheirWord) {
  // 0x85 alone is no character; as a code point it would be white space.
  const std::vector<TextLine> lines = breakLines(english_US,
                                                 "ab\x85"
                                                 "cd ef",
                                                 80);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0].text,
            "ab\x85"
            "cd ef");
}

TEST(BreakLines, BreaksThatChangeTheSpellingWriteItOnBothLines) {
  // Hungarian's "asszonnyal" breaks as "asz-szony-nyal".
  const Hyphenator h = readDictionary(
      "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\ns5sz/sz=,1,1\nn5ny/ny=ny,1,3\n", "x.dic");
  const auto texts = [&](double width) {
    std::vector<std::string> out;
    for (const TextLine& line : breakLines(h, "asszonnyal asszonnyal", width)) {
      out.push_back(line.text + (line.overfull ? "!" : ""));
    }
    return out;
  };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(texts(7), (Lines{"asz-", "szony-", "nyal", "asz-", "szony-", "nyal"}));
  EXPECT_EQ(texts(4), (Lines{"asz-", "szony-!", "nyal", "asz-", "szony-!", "nyal"}));
  EXPECT_EQ(texts(21), (Lines{"asszonnyal asszonnyal"}));
  EXPECT_EQ(texts(16), (Lines{"asszonnyal asz-", "szonnyal"}));
}

TEST(BreakParagraph, AParagraphOfSixHundredThousandLinesNeedsNoDeepRecursion) {
  // Every word on a line of its own: the chain of breaks is as long as the
  // paragraph, and must neither be freed nor walked recursively.
  std::vector<ParagraphItem> items;
  for (int w = 0; w < 600000; ++w) {
    if (w > 0) items.push_back(ParagraphItem::glue(1, 1, 0));
    items.push_back(ParagraphItem::box(1));
  }
  const double widths[] = {1};
  EXPECT_EQ(breakParagraph(items, widths).size(), 600000U);
  EXPECT_EQ(breakParagraphGreedy(items, widths).size(), 600000U);
}

/// `words` (letters only) as a paragraph's items, built as breakLines
/// builds them, with the texts of its boxes and penalties beside them.
std::vector<ParagraphItem> itemsOfWords(const std::vector<std::string>& words,
                                        std::vector<std::string>& texts) {
  std::vector<ParagraphItem> items;
  for (std::size_t w = 0; w < words.size(); ++w) {
    if (w > 0) {
      items.push_back(ParagraphItem::glue(1, 1, 0));
      texts.emplace_back(" ");
    }
    std::size_t from = 0;
    for (const std::size_t point : hyphenationPoints(english_US, words[w])) {
      items.push_back(ParagraphItem::box(static_cast<double>(point - from)));
      texts.push_back(words[w].substr(from, point - from));
      items.push_back(ParagraphItem::penalty(1, 50, true));
      texts.emplace_back("-");
      from = point;
    }
    items.push_back(ParagraphItem::box(static_cast<double>(words[w].size() - from)));
    texts.push_back(words[w].substr(from));
  }
  return items;
}

TEST(LineStream, ALongParagraphSetAStretchAtATimeSetsAsTheWholeParagraphDoes) {
  // Far longer than one stretch: the lines where one stretch hands over to
  // the next are those the best breaks of the whole paragraph give.
  const std::vector<std::string> vocabulary = wordsIn(
      "typesetting justified text is a quiet negotiation between the width of a column and "
      "the length of its words when a long word reaches the right margin the compositor may "
      "either stretch the spaces or break the word characteristically incomprehensible");
  std::mt19937 rng(11);
  std::vector<std::string> words;
  std::string text;
  for (int w = 0; w < 60000; ++w) {
    words.push_back(vocabulary[rng() % vocabulary.size()]);
    text += words.back() + ' ';
  }
  std::vector<std::string> texts;
  const std::vector<ParagraphItem> items = itemsOfWords(words, texts);
  for (const double width : {1.0, 30.0, 72.0}) {
    const double widths[] = {width};
    std::vector<std::string> whole;
    std::size_t from = 0;
    for (const LineBreakPoint& b : breakParagraph(items, widths)) {
      std::string line;
      for (std::size_t i = from; i < b.position; ++i) {
        if (items[i].kind == ParagraphItem::Kind::kPenalty) continue;
        if (items[i].kind == ParagraphItem::Kind::kGlue && line.empty()) continue;
        line += texts[i];
      }
      if (b.position < items.size() && items[b.position].kind == ParagraphItem::Kind::kPenalty) {
        line += texts[b.position];
      }
      whole.push_back(line);
      from = b.position + 1;
    }
    std::vector<std::string> streamed;
    for (const TextLine& line : breakLines(english_US, text, width)) streamed.push_back(line.text);
    EXPECT_EQ(streamed, whole) << width;
  }
}

TEST(LineStream, PiecesCutAnywhereSetAsTheWholeText) {
  const std::string text =
      "Silbentrennung ist schön: “Donaudampfschifffahrtsgesellschaft” und Straßenbahn, "
      "\xe2\x80\x83 Geschwindigkeitsbegrenzung\u3000Rechtsschutzversicherungsgesellschaften "
      "ab\xff\xfe"
      "cd Zeile\r\nmit Ende.";
  const std::vector<TextLine> whole = breakLines(german_1996, text, 24);
  std::mt19937 rng(3);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> lines;
    LineStream stream(german_1996, 24, {},
                      [&lines](const TextLine& line) { lines.push_back(line.text); });
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t size = std::min<std::size_t>(rng() % 7, text.size() - at);
      stream.write(std::string_view(text).substr(at, size));
      at += size;
    }
    stream.finish();
    ASSERT_EQ(lines.size(), whole.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], whole[i].text) << i;
  }
}

TEST(LineStream, AWordLongerThanAnyProseComesOnALineOfItsOwnInPieces) {
  const std::string data(3 * kLongestRun + 5, 'x');
  std::vector<TextLine> lines;
  LineStream stream(english_US, 20, {}, [&lines](const TextLine& line) { lines.push_back(line); });
  stream.write("before the data ");
  for (std::size_t at = 0; at < data.size(); at += 1000) stream.write(data.substr(at, 1000));
  stream.write(" after it");
  stream.finish();
  std::string joined;
  std::size_t pieces = 0;
  for (const TextLine& line : lines) {
    if (line.text.starts_with('x')) {
      ++pieces;
      EXPECT_TRUE(line.overfull);
      EXPECT_LE(line.text.size(), kLongestRun + 1000);
    }
    joined += line.text + (line.continued ? "" : "\n");
  }
  EXPECT_GT(pieces, 2U);
  EXPECT_EQ(joined, "before the data\n" + data + "\nafter it\n");
}

TEST(TerminalColumns, CountsWideCharactersTwiceAndMarksNotAtAll) {
  EXPECT_EQ(terminalColumns("abc"), 3);
  EXPECT_EQ(terminalColumns("\u65e5\u672c"), 4);       // 日本
  EXPECT_EQ(terminalColumns("e\u0301"), 1);            // e + combining acute
  EXPECT_EQ(terminalColumns("\uff21"), 2);             // fullwidth A
  EXPECT_EQ(terminalColumns("soft\u00adhyphen"), 10);  // a format character
}

}  // namespace
}  // namespace morvane
