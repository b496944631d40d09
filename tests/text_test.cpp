#include <gtest/gtest.h>

#include <random>

#include "morvane/morvane.hpp"

namespace morvane {
namespace {

std::string withoutSeparators(std::string text, std::string_view separator) {
  for (std::size_t at; (at = text.find(separator)) != std::string::npos;)
    text.erase(at, separator.size());
  return text;
}

TEST(HyphenateText, HyphenatesEveryWordAndCopiesEverythingElse) {
  EXPECT_EQ(hyphenateText(english_US, "Hyphenation, (hyphenation) 42hyphenation!\n", "-"),
            "Hy-phen-ation, (hy-phen-ation) 42hy-phen-ation!\n");
  EXPECT_EQ(hyphenateText(english_US, U"hyphenation\tprocessing", U"="),
            U"hy=phen=ation\tpro=cess=ing");
  EXPECT_EQ(hyphenateText(english_US, "hyphenation"), "hy\u00ADphen\u00ADation");
  EXPECT_EQ(hyphenateText(english_US, ""), "");
}

TEST(HyphenateText, WordsAreRunsOfLettersAndMarks) {
  // "n" + U+0303 COMBINING TILDE stays one word; apostrophes and digits split words.
  EXPECT_EQ(hyphenateText(spanish, "man\u0303ana ", "-"),
            insertHyphens(spanish, "man\u0303ana", "-") + " ");
  EXPECT_EQ(hyphenateText(english_US, "hyphenation's", "-"), "hy-phen-ation's");
  EXPECT_EQ(hyphenateText(german_1996, "Silbentrennungs-Algorithmus", "-"),
            "Sil-ben-tren-nungs-Al-go-rith-mus");
}

TEST(HyphenateText, LeavesSoftHyphenatedWordsAndAddressesAlone) {
  EXPECT_EQ(hyphenateText(english_US, "hyph\u00ADenation hyphenation", "-"),
            "hyph\u00ADenation hy-phen-ation");
  EXPECT_EQ(hyphenateText(english_US, "see https://hyphenation.example/hyphenation now", "-"),
            "see https://hyphenation.example/hyphenation now");
  EXPECT_EQ(hyphenateText(english_US, "mail hyphenation@example.org, www.hyphenation.org", "-"),
            "mail hyphenation@example.org, www.hyphenation.org");
}

TEST(HyphenateText, InvalidUtf8IsCopiedThroughUntouched) {
  EXPECT_EQ(hyphenateText(english_US,
                          "hyphen\xFF"
                          "ation \xC3",
                          "-"),
            "hy-phen\xFF"
            "ation \xC3");
  EXPECT_EQ(hyphenateText(english_US, "hyphenation\xE9hyphenation", "-"),
            "hy-phen-ation\xE9hy-phen-ation");
}

TEST(HyphenateText, OutputMayAlsoBeTheInputOrTheSeparator) {
  std::string s = "hyphenation and hyphenation";
  s.reserve(s.size() + 5);  // the first append fits: views into it must still hold
  (void)appendHyphenatedText(english_US, s, "-", s);
  EXPECT_EQ(s, "hyphenation and hyphenationhy-phen-ation and hy-phen-ation");
  std::string t = "=hyphenation";
  (void)appendHyphenatedText(english_US, std::string_view(t).substr(1),
                             std::string_view(t).substr(0, 1), t);
  EXPECT_EQ(t, "=hyphenationhy=phen=ation");
}

TEST(HyphenateText, RemovingTheSeparatorsGivesBackTheInput) {
  std::mt19937 rng(99);
  const std::vector<std::string> parts{"hyphenation", " ",     "é",       "\xFF",   "\xC3",
                                       "ü",           "-",     "\n",      "\u00AD", "@",
                                       "://",         "Täter", "a\u0301", "3",      "\xE2\x82"};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  for (int round = 0; round < 500; ++round) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += parts[pick(rng)];
    const std::string out = hyphenateText(german_1996, text, "|");
    ASSERT_EQ(withoutSeparators(out, "|"), text);
  }
}

}  // namespace
}  // namespace morvane
