// Throughput of the hyphenation entry points over whole word lists, reported
// as ns per word (and words per second), and of whole-text hyphenation in MB/s.
//
//   cmake --preset bench && cmake --build --preset bench && ./build/bench/bench/morvane_bench

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/utf8.hpp"
#include "morvane/morvane.hpp"

namespace {

using morvane::Hyphenator;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct WordList {
  std::vector<std::string> utf8;
  std::vector<std::u32string> utf32;
};

/// The list bench/words/NAME.txt, read once.
const WordList& words(const std::string& name) {
  static std::map<std::string, WordList> cache;
  auto [at, added] = cache.try_emplace(name);
  if (added) {
    std::istringstream lines(readFile(std::string(MORVANE_BENCH_WORDS) + "/" + name + ".txt"));
    for (std::string line; std::getline(lines, line);) {
      if (line.empty()) continue;
      at->second.utf32.push_back(morvane::detail::decodeUtf8(line));
      at->second.utf8.push_back(std::move(line));
    }
  }
  return at->second;
}

const Hyphenator& hyphenatorFor(const std::string& list) {
  return list == "en" ? morvane::english_US.get() : morvane::german_1996.get();
}

void reportPerWord(benchmark::State& state, std::size_t count) {
  const auto total = static_cast<double>(state.iterations()) * static_cast<double>(count);
  state.SetItemsProcessed(static_cast<std::int64_t>(total));
  state.counters["ns/word"] =
      benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Points(benchmark::State& state, const std::string& list) {
  const auto& w = words(list).utf32;
  const Hyphenator& h = hyphenatorFor(list);
  std::array<std::size_t, 1024> points{};
  for (auto _ : state) {
    for (const auto& word : w)
      benchmark::DoNotOptimize(morvane::hyphenationPoints(h, word, points));
  }
  reportPerWord(state, w.size());
}

void BM_InsertHyphens(benchmark::State& state, const std::string& list) {
  const auto& w = words(list).utf8;
  const Hyphenator& h = hyphenatorFor(list);
  for (auto _ : state) {
    for (const auto& word : w) benchmark::DoNotOptimize(morvane::insertHyphens(h, word, "="));
  }
  reportPerWord(state, w.size());
}

void BM_Hyphenate(benchmark::State& state, const std::string& list) {
  const auto& w = words(list).utf8;
  const Hyphenator& h = hyphenatorFor(list);
  for (auto _ : state) {
    for (const auto& word : w) benchmark::DoNotOptimize(morvane::hyphenate(h, word));
  }
  reportPerWord(state, w.size());
}

// hyphenate against hyphenationPoints on the same words, timed in turns
// within each iteration, so that a machine whose speed drifts still gives
// fair ratios: against points written to the caller's buffer from code
// points ("pieces/points"), and against points returned as a list from
// UTF-8, as pieces are ("pieces/list").
void BM_PiecesOverPoints(benchmark::State& state, const std::string& list) {
  const auto& w = words(list);
  const Hyphenator& h = hyphenatorFor(list);
  std::array<std::size_t, 1024> points{};
  double pointsSeconds = 0;
  double listSeconds = 0;
  double piecesSeconds = 0;
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    const auto start = Clock::now();
    for (const auto& word : w.utf32)
      benchmark::DoNotOptimize(morvane::hyphenationPoints(h, word, points));
    const auto second = Clock::now();
    for (const auto& word : w.utf8) benchmark::DoNotOptimize(morvane::hyphenationPoints(h, word));
    const auto third = Clock::now();
    for (const auto& word : w.utf8) benchmark::DoNotOptimize(morvane::hyphenate(h, word));
    const auto end = Clock::now();
    pointsSeconds += std::chrono::duration<double>(second - start).count();
    listSeconds += std::chrono::duration<double>(third - second).count();
    piecesSeconds += std::chrono::duration<double>(end - third).count();
  }
  const double count = static_cast<double>(state.iterations() * w.utf32.size());
  state.counters["points ns/word"] = pointsSeconds * 1e9 / count;
  state.counters["pieces ns/word"] = piecesSeconds * 1e9 / count;
  // Against points into a buffer of the caller's, from code points, and
  // against the same call returning them as a list, from UTF-8 as the
  // pieces are.
  state.counters["pieces/points"] = piecesSeconds / pointsSeconds;
  state.counters["pieces/list"] = piecesSeconds / listSeconds;
}

/// A text of bench/texts/, repeated to a megabyte.
std::string megabyteOf(const std::string& file) {
  const std::string one = readFile(std::string(MORVANE_BENCH_TEXTS) + "/" + file);
  std::string text;
  while (text.size() < (std::size_t{1} << 20)) text += one;
  return text;
}

void BM_Text(benchmark::State& state, const std::string& sample, morvane::Language language) {
  const std::string text = megabyteOf(sample + ".txt");
  const Hyphenator& h = morvane::languageHyphenator(language);
  std::string out;
  for (auto _ : state) {
    out.clear();
    benchmark::DoNotOptimize(morvane::appendHyphenatedText(h, text, "\u00AD", out));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The same prose a line per call, as a program hyphenating labels or
// paragraphs one at a time calls it: what each call costs beyond its words.
void BM_TextLines(benchmark::State& state, const std::string& sample, morvane::Language language) {
  const std::string text = readFile(std::string(MORVANE_BENCH_TEXTS) + "/" + sample + ".txt");
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    if (end > at) lines.push_back(std::string_view(text).substr(at, end - at));
    at = end + 1;
  }
  const Hyphenator& h = morvane::languageHyphenator(language);
  std::string out;
  std::size_t bytes = 0;
  for (const std::string_view line : lines) bytes += line.size();
  for (auto _ : state) {
    for (const std::string_view line : lines) {
      out.clear();
      benchmark::DoNotOptimize(morvane::appendHyphenatedText(h, line, "\u00AD", out));
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["ns/call"] = benchmark::Counter(
      static_cast<double>(lines.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Html(benchmark::State& state, const std::string& sample) {
  const std::string document = megabyteOf(sample);
  for (auto _ : state) {
    benchmark::DoNotOptimize(morvane::hyphenateHtml(morvane::english_US, document));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}

// A single word of state.range(0) letters: the cost per letter stays flat.
void BM_LongWord(benchmark::State& state) {
  std::u32string word;
  const auto& list = words("long").utf32;
  for (std::size_t i = 0; word.size() < static_cast<std::size_t>(state.range(0)); ++i) {
    word += list[i % list.size()];
  }
  word.resize(static_cast<std::size_t>(state.range(0)));
  std::vector<std::size_t> points(word.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(morvane::hyphenationPoints(morvane::german_1996, word, points));
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A hostile table: one pattern of range(0) letters against a word of
// range(1), both of one repeated letter. Walking the pattern from every
// start would cost their product; the failure links cost the word.
void BM_HostilePattern(benchmark::State& state) {
  const auto letters = static_cast<std::size_t>(state.range(0));
  const std::u32string word(static_cast<std::size_t>(state.range(1)), U'a');
  const morvane::Patterns patterns = morvane::parsePatterns(std::u32string(letters, U'a') + U"1\n");
  const Hyphenator h(morvane::CharFunction(), patterns, morvane::Exceptions(), 1, 1);
  std::vector<std::size_t> points(word.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(morvane::hyphenationPoints(h, word, points));
    benchmark::DoNotOptimize(morvane::lookupPattern(word, patterns));
  }
  state.SetItemsProcessed(state.iterations() * state.range(1));
}

// A paragraph of `state.range(0)` words (with a hyphenation point in every
// other one) broken into lines of 60 by total fit: time per word should not
// grow with the paragraph.
void BM_BreakParagraph(benchmark::State& state) {
  std::vector<morvane::ParagraphItem> items;
  std::mt19937 rng(3);
  for (std::int64_t w = 0; w < state.range(0); ++w) {
    if (w > 0) items.push_back(morvane::ParagraphItem::glue(1, 1, 0));
    items.push_back(morvane::ParagraphItem::box(static_cast<double>(2 + rng() % 7)));
    if (w % 2 == 0) {
      items.push_back(morvane::ParagraphItem::penalty(1, 50, true));
      items.push_back(morvane::ParagraphItem::box(static_cast<double>(2 + rng() % 5)));
    }
  }
  const double widths[] = {60};
  for (auto _ : state) benchmark::DoNotOptimize(morvane::breakParagraph(items, widths));
  state.counters["ns/word"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(BM_Points, en, std::string("en"))->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Points, de, std::string("de"))->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Points, long, std::string("long"));
BENCHMARK_CAPTURE(BM_InsertHyphens, en, std::string("en"));
BENCHMARK_CAPTURE(BM_InsertHyphens, de, std::string("de"));
BENCHMARK_CAPTURE(BM_Hyphenate, en, std::string("en"));
BENCHMARK_CAPTURE(BM_Hyphenate, de, std::string("de"));
BENCHMARK_CAPTURE(BM_PiecesOverPoints, en, std::string("en"));
BENCHMARK_CAPTURE(BM_PiecesOverPoints, de, std::string("de"));
BENCHMARK_CAPTURE(BM_Text, en, std::string("en"), morvane::Language::English_US);
BENCHMARK_CAPTURE(BM_Text, de, std::string("de"), morvane::Language::German_1996);
BENCHMARK_CAPTURE(BM_Text, ru, std::string("ru"), morvane::Language::Russian);
BENCHMARK_CAPTURE(BM_Text, el, std::string("el"), morvane::Language::Greek_Mono);
BENCHMARK_CAPTURE(BM_Text, th, std::string("th"), morvane::Language::Thai);
BENCHMARK_CAPTURE(BM_TextLines, en, std::string("en"), morvane::Language::English_US);
BENCHMARK_CAPTURE(BM_TextLines, de, std::string("de"), morvane::Language::German_1996);
BENCHMARK_CAPTURE(BM_Html, en, std::string("handbook.en.html"));
BENCHMARK(BM_BreakParagraph)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongWord)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity(benchmark::oN);
BENCHMARK(BM_HostilePattern)
    ->Args({100'001, 200'000})
    ->Args({1'000'000, 1'000'001})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
