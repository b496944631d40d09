// Every built-in language on TeX's golden words for it (tests/golden/):
// ns per word and per letter for hyphenationPoints and hyphenate, on a warm
// hyphenator, one row each, and a table of every language at the end.
//
//   ./build/bench/bench/morvane_language_bench [--benchmark_filter=...]

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
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

/// Passes results on to the console and keeps each one's counters, for the
/// table printed at the end.
class Collector : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  Collector() : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto get = [&run](const char* name) {
        const auto found = run.counters.find(name);
        return found == run.counters.end() ? 0.0 : static_cast<double>(found->second);
      };
      figures_[run.benchmark_name()] = {get("ns/word") * 1e9, get("ns/letter") * 1e9};
    }
    ConsoleReporter::ReportRuns(runs);
  }

  /// One row per language: points per word and per letter, per letter
  /// against English, hyphenate per word and against points.
  void printTable() const {
    const auto english = figures_.find("points/en-us");
    const double englishLetter = english == figures_.end() ? 0 : english->second.perLetter;
    std::printf("\n%-16s %12s %12s %10s %14s %14s\n", "language", "points/word", "points/letter",
                "x English", "hyphenate/word", "x points");
    double worst = 0;
    for (const morvane::Language language : morvane::enumFrom(morvane::kFirstLanguage)) {
      const std::string code(morvane::languageAffix(language));
      const auto points = figures_.find("points/" + code);
      const auto pieces = figures_.find("hyphenate/" + code);
      if (points == figures_.end() || pieces == figures_.end()) continue;
      const double letterRatio = englishLetter > 0 ? points->second.perLetter / englishLetter : 0;
      worst = std::max(worst, letterRatio);
      std::printf("%-16s %10.0fns %11.2fns %9.2fx %12.0fns %13.2fx\n", code.c_str(),
                  points->second.perWord, points->second.perLetter, letterRatio,
                  pieces->second.perWord, pieces->second.perWord / points->second.perWord);
    }
    std::printf("costliest per letter: %.2f times English\n", worst);
  }

 private:
  struct Figures {
    double perWord = 0;
    double perLetter = 0;
  };
  std::map<std::string, Figures> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  for (const morvane::Language language : morvane::enumFrom(morvane::kFirstLanguage)) {
    const std::string code(morvane::languageAffix(language));
    benchmark::RegisterBenchmark(("points/" + code).c_str(), points, language);
    benchmark::RegisterBenchmark(("hyphenate/" + code).c_str(), pieces, language);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  collector.printTable();
  benchmark::Shutdown();
  return 0;
}
