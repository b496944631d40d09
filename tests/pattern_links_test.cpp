// The failure-link scorer against the trie walk: the same codes and end flag
// for every word, on tables of every shape.

#include "engine/pattern_links.hpp"

#include <gtest/gtest.h>

#include <random>

#include "engine/pattern_builder.hpp"
#include "engine/pattern_table.hpp"
#include "test_support.hpp"

namespace morvane::detail {
namespace {

/// A word of up to `maxLength` letters (one of no pattern among them) as
/// the dotted symbols a table scores.
std::vector<std::uint32_t> randomDottedWord(std::mt19937& rng, const PatternTable& table,
                                            std::size_t maxLength) {
  std::vector<std::uint32_t> dotted{table.dotSymbol()};
  for (const char32_t c : testing_support::randomString(rng, U"abcd", maxLength)) {
    dotted.push_back(table.symbol(c));
  }
  dotted.push_back(table.dotSymbol());
  return dotted;
}

TEST(PatternLinks, ScoreAsTheTrieWalkDoes) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<Score> value(-4, 9);
  for (int round = 0; round < 400; ++round) {
    PatternBuilder builder;
    if (round % 2 == 0) {
      builder.addText(testing_support::randomPatternText(rng, 25));
    } else {
      // Any lists, longer or shorter than their letters.
      for (int p = 0; p < 12; ++p) {
        std::uint32_t node = 0;
        for (const char32_t c : testing_support::randomString(rng, U"abc.", 5)) {
          node = builder.child(node, c);
        }
        std::vector<Score> scores(rng() % 9);
        for (Score& s : scores) s = value(rng);
        builder.setScores(node, scores, PatternBuilder::OnConflict::kTakeMaximum);
      }
    }
    const PatternTable table(builder);
    const PatternLinks links(table);
    for (int w = 0; w < 20; ++w) {
      const std::vector<std::uint32_t> dotted = randomDottedWord(rng, table, 10);
      std::vector<PatternTable::Code> walked(dotted.size(), 0);
      std::vector<PatternTable::Code> linked(dotted.size(), 0);
      const bool walkEnd = table.score(dotted, walked);
      ASSERT_EQ(links.score(dotted, linked), walkEnd);
      ASSERT_EQ(linked, walked);
    }
  }
}

TEST(PatternLinks, TheLongestPrefixRuleScoresAndNamesItsSourcesAsTheWalkDoes) {
  // Office dictionaries' tables: patterns as long as words, lists reaching
  // past their letters, equal scores from several patterns.
  std::mt19937 rng(37);
  std::uniform_int_distribution<Score> value(-2, 5);
  for (int round = 0; round < 400; ++round) {
    PatternBuilder builder;
    for (int p = 0; p < 30; ++p) {
      std::uint32_t node = 0;
      // Not empty: a list at the root is scored through the links alone.
      const std::u32string letters =
          U"abc"[rng() % 3] + testing_support::randomString(rng, U"abc.", round % 2 == 0 ? 5 : 12);
      for (const char32_t c : letters) node = builder.child(node, c);
      std::vector<Score> scores(letters.size() + 1 + rng() % 3 - 1);
      for (Score& s : scores) s = value(rng);
      builder.setScores(node, scores, PatternBuilder::OnConflict::kReplace);
      if (rng() % 4 == 0) builder.setTag(node, 1);
    }
    const PatternTable table(builder, PatternTable::Matching::kLongestPrefix);
    const PatternLinks links(table);
    for (int w = 0; w < 20; ++w) {
      const std::vector<std::uint32_t> dotted = randomDottedWord(rng, table, 16);
      const std::size_t m = dotted.size();
      std::vector<PatternTable::Code> walked(m, 0);
      std::vector<PatternTable::Code> linked(m, 0);
      ASSERT_EQ(table.score(dotted, walked), links.score(dotted, linked));
      ASSERT_EQ(walked, linked);
      std::vector<std::uint32_t> walkedSources(m, 0);
      std::vector<std::uint32_t> walkedStarts(m, 0);
      std::vector<std::uint32_t> linkedSources(m, 0);
      std::vector<std::uint32_t> linkedStarts(m, 0);
      std::fill(walked.begin(), walked.end(), 0);
      std::fill(linked.begin(), linked.end(), 0);
      ASSERT_EQ(table.scoreWithSources(dotted, walked, walkedSources, walkedStarts),
                links.scoreWithSources(dotted, linked, linkedSources, linkedStarts));
      ASSERT_EQ(walked, linked);
      ASSERT_EQ(walkedSources, linkedSources);
      ASSERT_EQ(walkedStarts, linkedStarts);
    }
  }
}

}  // namespace
}  // namespace morvane::detail
