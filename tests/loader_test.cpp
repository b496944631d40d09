#include "languages/loader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/utf8.hpp"
#include "engine/hyphenator_state.hpp"
#include "engine/pattern_builder.hpp"
#include "languages/embedded_store.hpp"
#include "common/gzip.hpp"
#include "morvane/core.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

using testing_support::joined;

TEST(EmbeddedStore, HoldsFourFilesPerLanguageInByteOrder) {
  const auto files = detail::embeddedFiles();
  ASSERT_EQ(files.size(), 292U);
  EXPECT_EQ(files.front().name, "hyph-af.chr.txt.gz");
  EXPECT_EQ(files.back().name, "hyph-zh-latn-pinyin.pat.txt.gz");
  EXPECT_TRUE(std::is_sorted(files.begin(), files.end(),
                             [](const auto& a, const auto& b) { return a.name < b.name; }));
  std::size_t total = 0;
  for (const auto& file : files) {
    ASSERT_GE(file.content.size(), 3U) << file.name;
    EXPECT_EQ(file.content[0], 0x1F) << file.name;
    EXPECT_EQ(file.content[1], 0x8B) << file.name;
    EXPECT_EQ(file.content[2], 0x08) << file.name;
    total += detail::gunzip(file.content).size();
  }
  EXPECT_EQ(total, 2'499'549U);
  for (const Language l : enumFrom(kFirstLanguage)) {
    for (const char* kind : {".chr", ".hyp", ".lic", ".pat"}) {
      EXPECT_TRUE(
          detail::findEmbeddedFile("hyph-" + std::string(languageAffix(l)) + kind + ".txt.gz"))
          << l << kind;
    }
  }
}

TEST(EmbeddedStore, LooksUpExactNamesOnly) {
  EXPECT_EQ(detail::findEmbeddedFile("hyph-AF.chr.txt.gz"), std::nullopt);
  EXPECT_EQ(detail::findEmbeddedFile("hyph-af.chr.txt"), std::nullopt);
  EXPECT_EQ(detail::findEmbeddedFile("hyph-af.chr.txt.gz")->size(), 147U);
  EXPECT_NE(detail::embeddedText("hyph-la.pat.txt.gz"),
            detail::embeddedText("hyph-la-x-classic.pat.txt.gz"));
  EXPECT_TRUE(detail::embeddedText("hyph-as.hyp.txt.gz").empty());
  EXPECT_EQ(detail::gunzip(*detail::findEmbeddedFile("hyph-hu.pat.txt.gz")).size(), 528'090U);
}

TEST(Loading, MissingFilesAndCorruptDataAreErrors) {
  try {
    (void)detail::embeddedText("hyph-xx.pat.txt.gz");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Could not find hyph-xx.pat.txt.gz");
  }
  const auto good = *detail::findEmbeddedFile("hyph-en-us.pat.txt.gz");
  std::vector<unsigned char> corrupt(good.begin(), good.end());
  corrupt[20] ^= 0xFF;
  corrupt[21] ^= 0xFF;
  EXPECT_THROW((void)detail::gunzip(corrupt), Error);
  corrupt.assign(good.begin(), good.begin() + 100);
  EXPECT_THROW((void)detail::gunzip(corrupt), Error);
  EXPECT_THROW((void)detail::gunzip(std::vector<unsigned char>{1, 2, 3}), Error);
  // The size in the trailer sizes the output, but is not trusted.
  corrupt.assign(good.begin(), good.end());
  std::fill(corrupt.end() - 4, corrupt.end(), 0xFF);
  EXPECT_THROW((void)detail::gunzip(corrupt), Error);
  corrupt.assign(good.begin(), good.end());
  std::fill(corrupt.end() - 4, corrupt.end(), 0x00);
  EXPECT_THROW((void)detail::gunzip(corrupt), Error);
}

TEST(Loading, DecodingIsLenient) {
  EXPECT_EQ(detail::decodeUtf8Lenient("a\xE9z"), U"a\u00E9z");
  EXPECT_EQ(detail::decodeUtf8Lenient("\xC3\xA9\xC3"), U"\u00E9\u00C3");
  EXPECT_EQ(detail::decodeUtf8Lenient(""), U"");
}

// Pattern files are read straight from their bytes, a line at a time: the
// trie must be the one the whole decoded text makes, invalid bytes included.
TEST(Loading, PatternBytesBuildTheTrieOfTheirDecodedText) {
  std::mt19937 rng(3);
  const std::string alphabet = "ab.12\n\xC3\xA9\xFF\xE2";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(rng() % 80, ' ');
    for (char& c : bytes) c = alphabet[pick(rng)];
    detail::PatternBuilder fromBytes;
    fromBytes.addLenientUtf8Text(bytes);
    detail::PatternBuilder fromText;
    fromText.addText(detail::decodeUtf8Lenient(bytes));
    ASSERT_EQ(fromBytes.nodes().size(), fromText.nodes().size());
    for (std::size_t i = 0; i < fromText.nodes().size(); ++i) {
      const auto& a = fromBytes.nodes()[i];
      const auto& b = fromText.nodes()[i];
      ASSERT_EQ(a.letter, b.letter);
      ASSERT_EQ(a.firstChild, b.firstChild);
      ASSERT_EQ(a.nextSibling, b.nextSibling);
      ASSERT_EQ(a.scoreList == detail::PatternBuilder::kNone,
                b.scoreList == detail::PatternBuilder::kNone);
      if (a.scoreList != detail::PatternBuilder::kNone) {
        ASSERT_TRUE(
            std::ranges::equal(fromBytes.scores(a.scoreList), fromText.scores(b.scoreList)));
      }
    }
  }
}

TEST(Loading, CharacterMapsFollowTheChrFiles) {
  const CharFunction& german = hyphenatorChars(german_1996);
  // "ßSS" pairs ß with its two-letter capital: it maps nothing, so the
  // earlier "sS" still holds.
  EXPECT_EQ(german(U'S'), U's');
  EXPECT_EQ(german(U'ß'), U'ß');
  EXPECT_EQ(hyphenatorChars(greek_Mono)(U'Σ'), U'σ');            // "σΣ" comes after "ςΣ"
  EXPECT_EQ(hyphenatorChars(greek_Mono)(U'\u0301'), U'\u0301');  // from "ΐΪ́"
  EXPECT_EQ(hyphenatorChars(greek_Poly)(U'Ι'), U'ι');
  EXPECT_EQ(hyphenatorChars(armenian)(U'Ե'), U'ե');
  EXPECT_EQ(hyphenatorChars(sanskrit)(U'H'), U'h');
  EXPECT_EQ(hyphenatorChars(turkish)(U'I'), U'ı');
  const CharFunction& english = hyphenatorChars(english_US);
  EXPECT_EQ(english(U'A'), U'a');
  EXPECT_EQ(english(U'a'), U'a');
  EXPECT_EQ(english(U'é'), U'é');
  EXPECT_EQ(english(U'3'), U'3');
  EXPECT_EQ(english(U'-'), U'-');
}

TEST(Loading, MinimumsAndExceptionsPerLanguage) {
  EXPECT_TRUE(hyphenatorExceptions(assamese).empty());
  EXPECT_EQ(hyphenatorLeftMin(assamese), 1);
  EXPECT_EQ(hyphenatorRightMin(assamese), 1);
  EXPECT_EQ(hyphenatorLeftMin(sanskrit), 1);
  EXPECT_EQ(hyphenatorRightMin(sanskrit), 3);
  EXPECT_EQ(hyphenatorLeftMin(english_US), 2);
  EXPECT_EQ(hyphenatorRightMin(english_US), 3);
  EXPECT_EQ(hyphenatorExceptions(english_US).size(), 14U);
  int withExceptions = 0;
  for (const Language l : enumFrom(kFirstLanguage)) {
    if (!hyphenatorExceptions(languageHyphenator(l)).empty()) ++withExceptions;
  }
  EXPECT_EQ(withExceptions, 19);
}

TEST(Loading, EnglishExamples) {
  EXPECT_EQ(hyphenate(english_US, "hyphenation"),
            (std::vector<std::string>{"hy", "phen", "ation"}));
  EXPECT_EQ(hyphenate(english_US, U"table"), (std::vector<std::u32string>{U"ta", U"ble"}));
  EXPECT_EQ(joined(hyphenate(english_US, "present")), "present");
  EXPECT_EQ(joined(hyphenate(english_US, "Associate")), "As-so-ciate");
}

TEST(Loading, PatternsMatchTheCompiledTable) {
  // The trie parsed from the pattern file scores words as the compiled form does.
  const Hyphenator fromTrie(hyphenatorChars(german_1996), hyphenatorPatterns(german_1996),
                            hyphenatorExceptions(german_1996), 2, 2);
  for (const char* word : {"Donaudampfschifffahrt", "Silbentrennung", "Straße", "Schifffahrt"}) {
    EXPECT_EQ(hyphenate(fromTrie, word), hyphenate(german_1996, word)) << word;
  }
}

TEST(Loading, ComponentsAreBuiltOnlyWhenUsed) {
  const Hyphenator h = loadHyphenator(Language::Hungarian);
  const auto& parts = detail::stateOf(h);
  EXPECT_FALSE(parts.chars.ready());
  EXPECT_FALSE(parts.compiled.ready());
  EXPECT_GT(hyphenate(h, "elkelkáposztástalaníthatatlanságoskodásaitokért").size(), 5U);
  EXPECT_TRUE(parts.chars.ready());
  EXPECT_TRUE(parts.compiled.ready());
  EXPECT_FALSE(parts.patterns.ready());  // scoring never needs the trie
}

TEST(SharedHyphenators, AreOneObjectPerLanguage) {
  for (const Language l : enumFrom(kFirstLanguage)) {
    EXPECT_EQ(&languageHyphenator(l), &languageHyphenator(l));
  }
  EXPECT_EQ(&languageHyphenator(Language::English_US), &english_US.get());
  EXPECT_EQ(&languageHyphenator(Language::Welsh), &static_cast<const Hyphenator&>(welsh));
  EXPECT_NE(&english_US.get(), &english_GB.get());
  EXPECT_NE(hyphenatorExceptions(english_US), hyphenatorExceptions(english_GB));
  EXPECT_EQ(languageAffix(german_Swiss.language), "de-ch-1901");
}

}  // namespace
}  // namespace morvane
