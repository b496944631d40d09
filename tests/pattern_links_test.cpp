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
      std::vector<std::uint32_t> dotted{table.dotSymbol()};
      for (const char32_t c : testing_support::randomString(rng, U"abcd", 10)) {
        dotted.push_back(table.symbol(c));
      }
      dotted.push_back(table.dotSymbol());
      std::vector<PatternTable::Code> walked(dotted.size(), 0);
      std::vector<PatternTable::Code> linked(dotted.size(), 0);
      const bool walkEnd = table.score(dotted, walked);
      ASSERT_EQ(links.score(dotted, linked), walkEnd);
      ASSERT_EQ(linked, walked);
    }
  }
}

}  // namespace
}  // namespace morvane::detail
