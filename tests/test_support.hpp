#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "morvane/language.hpp"

namespace morvane::testing_support {

/// A random string of up to `maxLength` characters drawn from `alphabet`.
inline std::u32string randomString(std::mt19937& rng, std::u32string_view alphabet,
                                   std::size_t maxLength) {
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::u32string out(length(rng), U' ');
  for (char32_t& c : out) c = alphabet[pick(rng)];
  return out;
}

/// Random pattern text over a small alphabet, so that patterns overlap a lot.
inline std::u32string randomPatternText(std::mt19937& rng, std::size_t lines) {
  std::u32string text;
  for (std::size_t i = 0; i < lines; ++i) text += randomString(rng, U"ab.0123456789", 6) + U"\n";
  return text;
}

/// The pieces joined by `separator`: "hy-phen-ation".
template <class String>
String joined(const std::vector<String>& pieces,
              const String& separator = String(1, typename String::value_type('-'))) {
  String out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out += separator;
    out += pieces[i];
  }
  return out;
}

struct GoldenLine {
  std::string word;
  std::string expected;  // pieces joined by "-"
};

/// The lines of a language's golden file: TeX's own hyphenations.
inline std::vector<GoldenLine> readGolden(Language language) {
  const std::string path =
      std::string(MORVANE_GOLDEN_DIR) + "/" + std::string(languageAffix(language)) + ".tsv";
  std::ifstream in(path);
  EXPECT_TRUE(in) << "missing " << path;
  std::vector<GoldenLine> lines;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << path << ": " << line;
    if (tab == std::string::npos) continue;
    lines.push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return lines;
}

}  // namespace morvane::testing_support
