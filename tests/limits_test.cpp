// Very large inputs finish in time proportional to their size, without deep
// recursion: long words, big pattern and exception texts, long folds.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "morvane/core.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

std::u32string longWord(std::size_t length) {
  const std::u32string_view syllables = U"donaudampfschifffahrtsgesellschaft";
  std::u32string word;
  while (word.size() < length) word.append(syllables);
  word.resize(length);
  return word;
}

TEST(Limits, AWordOfAMillionCharacters) {
  const std::u32string word = longWord(1'000'000);
  const auto pieces = hyphenate(german_1996, word);
  EXPECT_GT(pieces.size(), 100'000U);
  EXPECT_EQ(testing_support::joined(pieces, std::u32string()), word);
}

// Patterns as long as the word: scoring must not walk the pattern again from
// every start (a million times a million steps), neither before the
// hyphenator is warm nor in lookupPattern.
TEST(Limits, APatternAsLongAsTheWord) {
  const std::size_t length = 1'000'000;
  const std::u32string run(length, U'a');
  const Patterns patterns = parsePatterns(run + U"b1c\na1a\n");
  const Hyphenator h(CharFunction(), patterns, Exceptions(), 1, 1);
  const std::u32string word = run + U"a";
  const auto points = hyphenationPoints(h, word);
  ASSERT_EQ(points.size(), length);
  EXPECT_EQ(points.back(), length);
  const ScoreList raw = lookupPattern(word, patterns);
  ASSERT_EQ(raw.size(), word.size());
  EXPECT_EQ(std::count(raw.begin(), raw.end(), 1), static_cast<std::ptrdiff_t>(length));
  // The long pattern matches once, at the end of another word.
  const std::u32string matching = run + U"bc";
  EXPECT_EQ(lookupPattern(matching, patterns)[length + 1], 1);
  // A thousand patterns end at every letter: their lists are merged once,
  // not applied one by one.
  std::u32string text;
  for (std::size_t i = 1; i <= 1000; ++i) text += std::u32string(i, U'a') + U"3\n";
  const Hyphenator nested(CharFunction(), parsePatterns(text), Exceptions(), 1, 1);
  EXPECT_EQ(hyphenationPoints(nested, std::u32string(100'000, U'a')).size(), 99'999U);
}

TEST(Limits, TenMegabytesOfPatternText) {
  const std::u32string one = U".ab1c\n3d.\nx4y\n" + longWord(40) + U"5\n";
  std::u32string text;
  while (text.size() < 10'000'000) text += one;
  const Patterns trie = parsePatterns(text);
  EXPECT_EQ(trie, parsePatterns(one));  // repeated lines change nothing: the first wins
  const Hyphenator h(CharFunction(), trie, Exceptions(), 1, 1);
  EXPECT_EQ(hyphenate(h, U"abcd"), (std::vector<std::u32string>{U"ab", U"c", U"d"}));
}

TEST(Limits, AMegabyteLineOfExceptionText) {
  std::u32string line;
  for (int i = 0; i < 500'000; ++i) line += U"a-";
  const Exceptions table = parseExceptions(line + U"\nta-ble\n");
  ASSERT_EQ(table.size(), 2U);
  EXPECT_EQ(lookupException(std::u32string(500'000, U'a'), table)->size(), 500'001U);
}

TEST(Limits, LongFoldsOfTables) {
  std::vector<Exceptions> exceptions;
  std::vector<Patterns> patterns;
  for (int i = 0; i < 50'000; ++i) {
    std::u32string word(1, U'w');
    word.push_back(static_cast<char32_t>(U'a' + i % 26));
    word.push_back(static_cast<char32_t>(0x4E00 + i));
    exceptions.push_back(parseExceptions(word + U"-x\n"));
    patterns.push_back(parsePatterns(word + U"1\n"));
  }
  EXPECT_EQ(sconcat(exceptions).size(), 50'000U);
  EXPECT_EQ(combine(exceptions).size(), 50'000U);
  const Patterns all = sconcat(patterns);
  EXPECT_EQ(all.children().at(U'w').children().size(), 26U);
  EXPECT_EQ(stimes(std::numeric_limits<long long>::max(), all), all);
  EXPECT_EQ(stimes(std::numeric_limits<long long>::max(), exceptions.front()), exceptions.front());
}

}  // namespace
}  // namespace morvane
