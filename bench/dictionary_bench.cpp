// Every office dictionary installed, loaded by morvane and by the office
// suites' C library in the same process: load time (to the first hyphenated
// word, so nothing lazily built is left out) and time per word on the
// dictionary's word list, with the ratios. The C library is timed as the
// shared peer harness times it (its own buffers, reused); ours with
// hyphenationPoints into a caller's buffer and with hyphenate (a vector of
// pieces). Where a built-in language matches the dictionary, it is timed on
// the same words, against the same C figure.
//
// usage: morvane_dictionary_bench HYPHEN_DIR WORDS_DIR [NAME...]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "c_library.hpp"
#include "common/utf8.hpp"
#include "morvane/morvane.hpp"

namespace {

using Clock = std::chrono::steady_clock;
namespace c_library = morvane::c_library;

/// The median of several runs of `run`, in nanoseconds: at least three, and
/// more while they take under a fifth of a second in all.
double medianNanoseconds(const std::function<void()>& run) {
  std::vector<double> times;
  double total = 0;
  while (times.size() < 3 || (total < 2e8 && times.size() < 51)) {
    const auto start = Clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
    total += times.back();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

/// The built-in language a dictionary name such as "de_DE" stands for.
std::optional<morvane::Language> builtInFor(std::string name) {
  std::replace(name.begin(), name.end(), '_', '-');
  return morvane::findLanguage(name);
}

struct Row {
  std::string name;
  double theirLoad = 0;
  double ourLoad = 0;
  double theirWord = 0;
  double ourPoints = 0;
  double ourPieces = 0;
  std::optional<double> builtInPoints;
  std::optional<double> builtInPieces;
};

Row measure(const std::filesystem::path& dic, const std::vector<std::string>& words) {
  Row row;
  row.name = dic.stem().string().substr(5);  // hyph_NAME
  row.theirLoad = medianNanoseconds([&] { hnj_hyphen_free(hnj_hyphen_load(dic.c_str())); });
  row.ourLoad = medianNanoseconds([&] {
    const morvane::Hyphenator h = morvane::loadDictionary(dic);
    (void)morvane::hyphenationPoints(h, std::string_view("hyphenation"));
  });

  // The C library reads words in the dictionary's character set.
  c_library::Converter toDictionary(c_library::charsetOf(dic), "UTF-8");
  std::vector<std::string> encoded;
  std::vector<std::string> utf8;
  std::string converted;
  for (const std::string& word : words) {
    if (!toDictionary.valid() || !toDictionary.convert(word, converted)) continue;
    encoded.push_back(converted);
    utf8.push_back(word);
  }
  const double count = static_cast<double>(std::max<std::size_t>(utf8.size(), 1));
  HyphenDict* dict = hnj_hyphen_load(dic.c_str());
  c_library::Hyphenation theirs(dict);
  row.theirWord = medianNanoseconds([&] {
                    for (const std::string& word : encoded) (void)theirs(word);
                  }) /
                  count;
  hnj_hyphen_free(dict);

  // Points of words decoded in advance, as the C library's are converted.
  std::vector<std::u32string> decoded;
  for (const std::string& word : utf8) decoded.push_back(morvane::detail::decodeUtf8(word));
  const morvane::Hyphenator ours = morvane::loadDictionary(dic);
  std::size_t sink = 0;
  std::vector<std::size_t> points(256);
  const auto perWord = [&](const morvane::Hyphenator& h, bool pieces) {
    return medianNanoseconds([&] {
             if (pieces) {
               for (const std::string& word : utf8) sink += morvane::hyphenate(h, word).size();
             } else {
               for (const std::u32string& word : decoded) {
                 if (points.size() < word.size()) points.resize(word.size());
                 sink += morvane::hyphenationPoints(h, word, points);
               }
             }
           }) /
           count;
  };
  row.ourPoints = perWord(ours, false);
  row.ourPieces = perWord(ours, true);
  if (const auto language = builtInFor(row.name)) {
    const morvane::Hyphenator& builtIn = morvane::languageHyphenator(*language);
    row.builtInPoints = perWord(builtIn, false);
    row.builtInPieces = perWord(builtIn, true);
  }
  if (sink == 0) std::printf("(no breaks at all)\n");
  return row;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: morvane_dictionary_bench HYPHEN_DIR WORDS_DIR [NAME...]\n");
    return 2;
  }
  const std::filesystem::path wordsDir = argv[2];
  const std::vector<std::string> only(argv + 3, argv + argc);
  std::vector<std::filesystem::path> dictionaries;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1], error)) {
    const std::string file = entry.path().filename().string();
    const std::string name = file.size() > 9 ? file.substr(5, file.size() - 9) : "";
    if (file.starts_with("hyph_") && file.ends_with(".dic") && !entry.is_symlink() &&
        (only.empty() || std::find(only.begin(), only.end(), name) != only.end())) {
      dictionaries.push_back(entry.path());
    }
  }
  std::sort(dictionaries.begin(), dictionaries.end());
  std::printf("%-10s %10s %10s %6s %8s   %-16s %-16s   %-16s %-16s\n", "", "C load", "our load",
              "ratio", "C/word", "points", "pieces", "built-in points", "built-in pieces");
  struct Mean {
    double logSum = 0;
    std::size_t count = 0;
    void add(double ratio) {
      logSum += std::log(ratio);
      ++count;
    }
    [[nodiscard]] double value() const {
      return count == 0 ? 0 : std::exp(logSum / static_cast<double>(count));
    }
  };
  Mean load;
  Mean points;
  Mean pieces;
  Mean builtInPoints;
  Mean builtInPieces;
  const auto cell = [](double ns, double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%5.0fns %5.1fx", ns, ratio);
    return std::string(text);
  };
  for (const auto& dic : dictionaries) {
    const Row r =
        measure(dic, c_library::readWords(wordsDir / (dic.stem().string().substr(5) + ".txt.gz")));
    std::printf("%-10s %8.2fms %8.3fms %5.0fx %6.0fns   %-16s %-16s", r.name.c_str(),
                r.theirLoad / 1e6, r.ourLoad / 1e6, r.theirLoad / r.ourLoad, r.theirWord,
                cell(r.ourPoints, r.theirWord / r.ourPoints).c_str(),
                cell(r.ourPieces, r.theirWord / r.ourPieces).c_str());
    load.add(r.theirLoad / r.ourLoad);
    points.add(r.theirWord / r.ourPoints);
    pieces.add(r.theirWord / r.ourPieces);
    if (r.builtInPoints && r.builtInPieces) {
      std::printf("   %-16s %-16s", cell(*r.builtInPoints, r.theirWord / *r.builtInPoints).c_str(),
                  cell(*r.builtInPieces, r.theirWord / *r.builtInPieces).c_str());
      builtInPoints.add(r.theirWord / *r.builtInPoints);
      builtInPieces.add(r.theirWord / *r.builtInPieces);
    }
    std::printf("\n");
  }
  std::printf(
      "geometric mean of %zu dictionaries: load %.0fx, points %.1fx, pieces %.1fx faster than "
      "the C library\n",
      load.count, load.value(), points.value(), pieces.value());
  std::printf(
      "geometric mean of the %zu with a built-in language: built-in points %.1fx, pieces %.1fx "
      "faster than the C library with the dictionary\n",
      builtInPoints.count, builtInPoints.value(), builtInPieces.value());
  return 0;
}
