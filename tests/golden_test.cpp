// Every line of every language's golden file, as the TeX engine hyphenated
// it from the same patterns with the same minimums.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "morvane/languages.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

class Golden : public testing::TestWithParam<Language> {};

using testing_support::joined;

TEST_P(Golden, AgreesOnEveryWord) {
  const Language language = GetParam();
  const std::string path =
      std::string(MORVANE_GOLDEN_DIR) + "/" + std::string(languageAffix(language)) + ".tsv";
  std::ifstream in(path);
  ASSERT_TRUE(in) << "missing " << path;
  std::string line;
  int lines = 0;
  int failures = 0;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << path << ": " << line;
    const std::string word = line.substr(0, tab);
    const std::string expected = line.substr(tab + 1);
    const std::string actual = joined(hyphenate(languageHyphenator(language), word));
    ++lines;
    if (actual != expected && ++failures <= 20) {
      ADD_FAILURE() << language << " (" << languageAffix(language) << "): word \"" << word
                    << "\": expected " << expected << ", got " << actual;
    }
  }
  EXPECT_EQ(failures, 0) << language << ": " << failures << " of " << lines << " words differ";
  EXPECT_GT(lines, 0);
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, Golden, testing::ValuesIn(enumFrom(kFirstLanguage)),
                         [](const testing::TestParamInfo<Language>& info) {
                           return show(info.param);
                         });

}  // namespace
}  // namespace morvane
