// Every line of every language's golden file, as the TeX engine hyphenated
// it from the same patterns with the same minimums.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/utf8.hpp"
#include "languages/loader.hpp"
#include "morvane/languages.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

using testing_support::joined;

using testing_support::readGolden;

class Golden : public testing::TestWithParam<Language> {};

TEST_P(Golden, AgreesOnEveryWord) {
  const Language language = GetParam();
  const auto lines = readGolden(language);
  int failures = 0;
  for (const auto& [word, expected] : lines) {
    const std::string actual = joined(hyphenate(languageHyphenator(language), word));
    if (actual != expected && ++failures <= 20) {
      ADD_FAILURE() << language << " (" << languageAffix(language) << "): word \"" << word
                    << "\": expected " << expected << ", got " << actual;
    }
  }
  EXPECT_EQ(failures, 0) << language << ": " << failures << " of " << lines.size()
                         << " words differ";
  EXPECT_GT(lines.size(), 0U);
}

/// The capital the character file gives each letter: a line of exactly a
/// letter and one capital, unless a later line claims that capital for
/// another letter (Greek "ςΣ" then "σΣ", Turkish "iI" then "ıI").
std::map<char32_t, char32_t> listedCapitals(Language language) {
  std::map<char32_t, char32_t> capitalOf;
  std::map<char32_t, char32_t> claimedBy;
  const std::u32string text =
      detail::embeddedText("hyph-" + std::string(languageAffix(language)) + ".chr.txt.gz");
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(U'\n', start);
    if (end == std::u32string::npos) end = text.size();
    const std::u32string_view line(text.data() + start, end - start);
    if (line.size() == 2) {
      capitalOf[line[0]] = line[1];
      claimedBy[line[1]] = line[0];
    }
    start = end + 1;
  }
  std::map<char32_t, char32_t> listed;
  for (const auto& [letter, capital] : capitalOf) {
    if (capital != letter && claimedBy[capital] == letter) listed.emplace(letter, capital);
  }
  return listed;
}

// Capitalised and all-capital forms of every golden word break where TeX
// broke the word itself.
TEST_P(Golden, CapitalsBreakLikeTheirLetters) {
  const Language language = GetParam();
  const auto capitals = listedCapitals(language);
  const auto capital = [&capitals](char32_t c) {
    const auto at = capitals.find(c);
    return at == capitals.end() ? c : at->second;
  };
  int checked = 0;
  int failures = 0;
  for (const auto& [word, expected] : readGolden(language)) {
    const std::u32string letters = detail::decodeUtf8(word);
    const std::u32string pieces = detail::decodeUtf8(expected);
    std::u32string upper = letters;
    std::u32string upperPieces = pieces;
    for (char32_t& c : upper) c = capital(c);
    for (char32_t& c : upperPieces) c = capital(c);
    std::u32string initial = letters;
    std::u32string initialPieces = pieces;
    if (!letters.empty()) initial[0] = initialPieces[0] = capital(letters[0]);
    for (const auto& [form, formPieces] :
         {std::pair{upper, upperPieces}, {initial, initialPieces}}) {
      if (form == letters) continue;
      ++checked;
      const std::u32string actual = joined(hyphenate(languageHyphenator(language), form));
      if (actual != formPieces && ++failures <= 20) {
        ADD_FAILURE() << language << ": " << detail::encodeUtf8(form) << ": expected "
                      << detail::encodeUtf8(formPieces) << ", got " << detail::encodeUtf8(actual);
      }
    }
  }
  EXPECT_EQ(failures, 0) << language << ": " << failures << " of " << checked << " forms differ";
  // Scripts without capitals check nothing.
  if (!capitals.empty()) {
    EXPECT_GT(checked, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, Golden, testing::ValuesIn(enumFrom(kFirstLanguage)),
                         [](const testing::TestParamInfo<Language>& info) {
                           return show(info.param);
                         });

}  // namespace
}  // namespace morvane
