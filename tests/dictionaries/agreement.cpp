// Every office-suite dictionary installed, loaded by morvane and by the office
// suites' own C library (libhyphen, used only through its public interface),
// on the word list of its language: the same breaks, with the changed
// spelling at non-standard ones, on at least 99.9% of the words of each.
//
// usage: morvane_dictionary_agreement HYPHEN_DIR WORDS_DIR
// Exits 77 (skipped) when HYPHEN_DIR has no dictionaries.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "c_library.hpp"
#include "morvane/files.hpp"
#include "morvane/hyphenator.hpp"

namespace {

using morvane::c_library::charsetOf;
using morvane::c_library::Converter;
using morvane::c_library::readWords;
using morvane::c_library::theirs;

constexpr double kRequired = 0.999;

struct Result {
  std::string name;
  std::size_t words = 0;
  std::vector<std::string> differences;
};

Result compare(const std::filesystem::path& dic, const std::filesystem::path& wordsDir) {
  Result result;
  result.name = dic.stem().string().substr(5);  // hyph_NAME
  const std::vector<std::string> words = readWords(wordsDir / (result.name + ".txt.gz"));
  const std::string charset = charsetOf(dic);
  Converter toDictionary(charset, "UTF-8");
  Converter fromDictionary("UTF-8", charset);
  HyphenDict* dict = hnj_hyphen_load(dic.c_str());
  if (dict == nullptr || !toDictionary.valid() || !fromDictionary.valid()) {
    result.differences.push_back("(the C library or iconv cannot read it)");
    return result;
  }
  const morvane::Hyphenator ours = morvane::loadDictionary(dic);
  std::string encoded;
  std::string decoded;
  for (const std::string& word : words) {
    if (!toDictionary.convert(word, encoded)) continue;
    ++result.words;
    if (!fromDictionary.convert(theirs(dict, encoded), decoded)) decoded = "(not text)";
    const std::string mine = morvane::spellBreaks(ours, word, "=");
    if (mine != decoded)
      result.differences.push_back(word + ": C library " + decoded + ", morvane " + mine);
  }
  hnj_hyphen_free(dict);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: morvane_dictionary_agreement HYPHEN_DIR WORDS_DIR\n";
    return 2;
  }
  std::vector<std::filesystem::path> dictionaries;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1], error)) {
    const std::string file = entry.path().filename().string();
    if (file.starts_with("hyph_") && file.ends_with(".dic") && !entry.is_symlink()) {
      dictionaries.push_back(entry.path());
    }
  }
  if (dictionaries.empty()) {
    std::cout << "skipped: no office dictionaries in " << argv[1]
              << " (install Debian's hyphen-* packages)\n";
    return 77;
  }
  std::sort(dictionaries.begin(), dictionaries.end());
  int failed = 0;
  for (const auto& dic : dictionaries) {
    const Result r = compare(dic, argv[2]);
    const double agreed = r.words == 0 ? 0
                                       : 1.0 - static_cast<double>(r.differences.size()) /
                                                   static_cast<double>(r.words);
    const bool ok = r.words >= 5000 && agreed >= kRequired;
    std::printf("%-12s %5zu words  %3zu differ  %7.3f%% the same%s\n", r.name.c_str(), r.words,
                r.differences.size(), agreed * 100, ok ? "" : "  FAILED");
    for (std::size_t i = 0; i < r.differences.size() && i < 5; ++i) {
      std::printf("    %s\n", r.differences[i].c_str());
    }
    if (!ok) ++failed;
  }
  std::printf("%zu dictionaries, %d below %.1f%% (or with fewer than 5000 words)\n",
              dictionaries.size(), failed, kRequired * 100);
  return failed == 0 ? 0 : 1;
}
