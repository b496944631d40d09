// Load cost of languages, which happens once per process: run it in a fresh
// process per measurement.
//
//   morvane_load_bench CODE   time from an untouched language to its first hyphenated word
//   morvane_load_bench all    every language loaded and used once: total time, added memory
//   morvane_load_bench FILE.dic   an office dictionary, from the file to its first hyphenated word

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "morvane/morvane.hpp"

namespace {

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvane_load_bench CODE|all|FILE.dic\n");
    return 2;
  }
  const std::string which = argv[1];
  if (which.ends_with(".dic")) {
    // Reading the file is the call; its tables are compiled for the first word.
    const long before = residentKilobytes();
    const auto start = std::chrono::steady_clock::now();
    const morvane::Hyphenator h = morvane::loadDictionary(which);
    const double read = millisecondsSince(start);
    const std::size_t pieces = morvane::hyphenate(h, std::string_view("hyphenation")).size();
    std::printf(
        "load %s: %.2f ms to the first word (%.2f ms to read it), %+ld KB resident (%zu "
        "pieces)\n",
        which.c_str(), millisecondsSince(start), read, residentKilobytes() - before, pieces);
    return 0;
  }
  // The languages to load, found before the clock starts: reading a tag is
  // not loading.
  std::vector<morvane::Language> languages;
  if (which == "all") {
    for (const morvane::Language l : morvane::enumFrom(morvane::kFirstLanguage)) {
      languages.push_back(l);
    }
  } else if (const auto language = morvane::findLanguage(which)) {
    languages.push_back(*language);
  } else {
    std::fprintf(stderr, "unknown language %s\n", which.c_str());
    return 2;
  }
  const std::u32string word = which == "all" ? U"abcdefghij" : U"hyphenation";
  const long before = residentKilobytes();
  const auto start = std::chrono::steady_clock::now();
  std::size_t pieces = 0;
  for (const morvane::Language l : languages) {
    pieces += morvane::hyphenate(morvane::languageHyphenator(l), word).size();
  }
  const double ms = millisecondsSince(start);
  std::printf("load %s: %.2f ms to the first word, %+ld KB resident (%zu pieces)\n", which.c_str(),
              ms, residentKilobytes() - before, pieces);
  return 0;
}
