// Every built-in language on TeX's golden words for it (tests/golden/):
// ns per word and per letter for hyphenationPoints and hyphenate, on a warm
// hyphenator, one row each.
//
//   ./build/bench/bench/morvane_language_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "common/utf8.hpp"
#include "morvane/morvane.hpp"

namespace {

struct Words {
  std::vector<std::string> utf8;
  std::vector<std::u32string> utf32;
  std::size_t letters = 0;
};

Words goldenWords(morvane::Language language) {
  Words words;
  std::ifstream in(std::string(MORVANE_GOLDEN_DIR) + "/" +
                   std::string(morvane::languageAffix(language)) + ".tsv");
  for (std::string line; std::getline(in, line);) {
    std::string word = line.substr(0, line.find('\t'));
    words.utf32.push_back(morvane::detail::decodeUtf8(word));
    words.letters += words.utf32.back().size();
    words.utf8.push_back(std::move(word));
  }
  return words;
}

void report(benchmark::State& state, const Words& words) {
  const auto runs = static_cast<double>(state.iterations());
  const auto count = runs * static_cast<double>(words.utf32.size());
  state.SetItemsProcessed(static_cast<std::int64_t>(count));
  state.counters["ns/word"] =
      benchmark::Counter(count, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["ns/letter"] =
      benchmark::Counter(runs * static_cast<double>(words.letters),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

/// Warms the hyphenator first: its first thousand words take the slower path.
const morvane::Hyphenator& warm(morvane::Language language, const Words& words) {
  const morvane::Hyphenator& h = morvane::languageHyphenator(language);
  for (int round = 0; round < 2; ++round) {
    for (const auto& word : words.utf32)
      benchmark::DoNotOptimize(morvane::hyphenationPoints(h, word));
  }
  return h;
}

void points(benchmark::State& state, morvane::Language language) {
  const Words words = goldenWords(language);
  const morvane::Hyphenator& h = warm(language, words);
  std::array<std::size_t, 256> out{};
  for (auto _ : state) {
    for (const auto& word : words.utf32) {
      benchmark::DoNotOptimize(morvane::hyphenationPoints(h, word, out));
    }
  }
  report(state, words);
}

void pieces(benchmark::State& state, morvane::Language language) {
  const Words words = goldenWords(language);
  const morvane::Hyphenator& h = warm(language, words);
  for (auto _ : state) {
    for (const auto& word : words.utf8) benchmark::DoNotOptimize(morvane::hyphenate(h, word));
  }
  report(state, words);
}

}  // namespace

int main(int argc, char** argv) {
  for (const morvane::Language language : morvane::enumFrom(morvane::kFirstLanguage)) {
    const std::string code(morvane::languageAffix(language));
    benchmark::RegisterBenchmark(("points/" + code).c_str(), points, language);
    benchmark::RegisterBenchmark(("hyphenate/" + code).c_str(), pieces, language);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
