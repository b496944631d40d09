#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "morvane/core.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

TEST(ScorePattern, DigitsScoreTheBoundaryBeforeTheNextLetter) {
  EXPECT_EQ(scorePattern(U""), (ScoreList{0}));
  EXPECT_EQ(scorePattern(U".ach4"), (ScoreList{0, 0, 0, 0, 4}));
  EXPECT_EQ(scorePattern(U"z2z3w"), (ScoreList{0, 2, 3, 0}));
  EXPECT_EQ(scorePattern(U"1a"), (ScoreList{1, 0}));
  EXPECT_EQ(scorePattern(U"a1"), (ScoreList{0, 1}));
  // A second digit is taken as the letter after the first.
  EXPECT_EQ(scorePattern(U"a12b"), (ScoreList{0, 1, 0, 0}));
}

TEST(ParsePatterns, FirstLineWinsForTheSameLetters) {
  const Patterns trie = parsePatterns(U"a1b\na3b\n");
  EXPECT_EQ(trie.children().at(U'a').children().at(U'b').scores(), (ScoreList{0, 1, 0}));
  EXPECT_EQ(parsePatterns(U"a1b\na3b"), trie);  // no final line feed: same trie
}

TEST(ParsePatterns, AnEmptyLineScoresTheRoot) {
  EXPECT_EQ(show(parsePatterns(U"\n")), "Patterns [0] (fromList [])");
  EXPECT_EQ(show(parsePatterns(U"")), "Patterns [] (fromList [])");
  EXPECT_EQ(parsePatterns(U"a1\n\nb2\n").scores(), (ScoreList{0}));
}

TEST(ParsePatterns, EqualsInsertingTheLinesFromLastToFirst) {
  std::mt19937 rng(7);
  for (int round = 0; round < 400; ++round) {
    const std::u32string random = testing_support::randomPatternText(rng, 10);
    std::vector<std::u32string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = random.find(U'\n', start)) != std::u32string::npos;
         start = end + 1) {
      lines.push_back(random.substr(start, end - start));
    }
    // Half the rounds in letter order, as pattern files mostly are (with
    // lines of the same letters left in their order).
    if (round % 2 == 1) {
      const auto letters = [](const std::u32string& line) {
        std::u32string out;
        for (const char32_t c : line) {
          if (c < U'0' || c > U'9') out += c;
        }
        return out;
      };
      std::stable_sort(lines.begin(), lines.end(),
                       [&](const auto& a, const auto& b) { return letters(a) < letters(b); });
    }
    std::u32string text;
    for (const auto& line : lines) text += line + U"\n";
    Patterns folded;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
      folded = insertPattern(*line, folded);
    ASSERT_EQ(parsePatterns(text), folded) << show(folded);
  }
}

TEST(InsertPattern, BuildsAChainAndReplacesScores) {
  const Patterns one = insertPattern(U".a1b", Patterns());
  EXPECT_EQ(show(one),
            "Patterns [] (fromList [(46,Patterns [] (fromList [(97,Patterns [] (fromList "
            "[(98,Patterns [0,0,1,0] (fromList []))]))]))])");
  const Patterns two = insertPattern(U".2a", one);
  EXPECT_EQ(two.children().at(U'.').children().at(U'a').scores(), (ScoreList{0, 2, 0}));
  EXPECT_EQ(two.children().at(U'.').children().at(U'a').children().size(), 1U);
  EXPECT_EQ(insertPattern(U".3a1b", two)
                .children()
                .at(U'.')
                .children()
                .at(U'a')
                .children()
                .at(U'b')
                .scores(),
            (ScoreList{0, 3, 1, 0}));
  EXPECT_EQ(one.children().at(U'.').children().at(U'a').scores(), ScoreList{});  // unchanged
}

TEST(LookupPattern, HasAnEntryPastTheWordOnlyWhenAPatternReachesIt) {
  EXPECT_EQ(lookupPattern(U"", Patterns()), ScoreList{});
  const Patterns ach = parsePatterns(U".ach4\n");
  EXPECT_EQ(lookupPattern(U"ach", ach), (ScoreList{0, 0, 0}));
  EXPECT_EQ(lookupPattern(U"ach", insertPattern(U"h5.", ach)), (ScoreList{0, 0, 0, 5}));
  EXPECT_EQ(lookupPattern(U"ach", parsePatterns(U"\n")), (ScoreList{0, 0, 0, 0}));
}

TEST(LookupPattern, TakesTheMaximumOfOverlappingPatterns) {
  const Patterns trie = parsePatterns(U"hy3ph\nhe2n\nhena4\nhen5at\n1na\nn2at\n1tio\n2io\no2n\n");
  EXPECT_EQ(lookupPattern(U"hyphenation", trie), (ScoreList{0, 0, 3, 0, 0, 2, 5, 4, 2, 0, 2}));
}

TEST(LookupPattern, LeadingDotMatchesOnlyAtTheStart) {
  const Patterns trie = parsePatterns(U".a1\n");
  EXPECT_EQ(lookupPattern(U"aa", trie), (ScoreList{0, 1}));
  EXPECT_EQ(lookupPattern(U"ba", trie), (ScoreList{0, 0}));
}

TEST(Combine, MergesScoresAndChildren) {
  const Patterns a = parsePatterns(U"a1b\n");
  const Patterns b = parsePatterns(U"a3\nc1\n");
  const Patterns both = a | b;
  EXPECT_EQ(both.children().at(U'a').scores(), (ScoreList{0, 3}));
  EXPECT_EQ(both.children().at(U'a').children().at(U'b').scores(), (ScoreList{0, 1, 0}));
  EXPECT_EQ(both.children().at(U'c').scores(), (ScoreList{0, 1}));
  // The longer list keeps its tail.
  EXPECT_EQ(combine(Patterns({1, 5, 2}, {}), Patterns({3}, {})).scores(), (ScoreList{3, 5, 2}));
}

TEST(Combine, IsAssociativeWithTheEmptyTrieAsIdentity) {
  std::mt19937 rng(11);
  for (int round = 0; round < 100; ++round) {
    const Patterns a = parsePatterns(testing_support::randomPatternText(rng, 5));
    const Patterns b = parsePatterns(testing_support::randomPatternText(rng, 5));
    const Patterns c = parsePatterns(testing_support::randomPatternText(rng, 5));
    EXPECT_EQ((a | b) | c, a | (b | c));
    EXPECT_EQ(a | Patterns(), a);
    EXPECT_EQ(Patterns() | a, a);
    EXPECT_EQ(a | a, a);
    const std::vector<Patterns> all{a, b, c};
    EXPECT_EQ(sconcat(all), a | (b | c));
    EXPECT_EQ(stimes(3, a), a);
  }
  EXPECT_THROW((void)stimes(0, Patterns()), Error);
  EXPECT_THROW((void)sconcat(std::span<const Patterns>()), Error);
}

TEST(Show, ParenthesisesAbovePrecedenceTenAndListsNodes) {
  const Patterns trie = parsePatterns(U".1\n");
  EXPECT_EQ(show(trie), "Patterns [] (fromList [(46,Patterns [0,1] (fromList []))])");
  EXPECT_EQ(showsPrec(11, Patterns({-3}, {}), "!"), "(Patterns [-3] (fromList []))!");
  const std::vector<Patterns> list{Patterns(), parsePatterns(U"\n")};
  EXPECT_EQ(showList(list), "[Patterns [] (fromList []),Patterns [0] (fromList [])]");
  std::ostringstream out;
  out << trie;
  EXPECT_EQ(out.str(), show(trie));
}

// The textual form written out literally, recursively, from its definition.
std::string modelShow(int precedence, const Patterns& node) {
  std::string scores = "[";
  for (std::size_t i = 0; i < node.scores().size(); ++i) {
    scores += (i > 0 ? "," : "") + std::to_string(node.scores()[i]);
  }
  scores += "]";
  std::string pairs;
  for (const auto& [key, child] : node.children()) {
    if (!pairs.empty()) pairs += ",";
    pairs += "(" + std::to_string(key) + "," + modelShow(0, child) + ")";
  }
  const std::string text = "Patterns " + scores + " (fromList [" + pairs + "])";
  return precedence > 10 ? "(" + text + ")" : text;
}

/// A random trie built node by node: any scores, any keys, up to `depth` deep.
Patterns randomTrie(std::mt19937& rng, int depth) {
  std::uniform_int_distribution<int> children(0, depth > 0 ? 3 : 0);
  std::uniform_int_distribution<int> scoreCount(0, 3);
  std::uniform_int_distribution<Score> score(-12, 12);
  std::uniform_int_distribution<char32_t> key(0, 0x10FFFF);
  ScoreList scores(static_cast<std::size_t>(scoreCount(rng)));
  for (Score& s : scores) s = score(rng);
  PatternChildren map;
  for (int i = children(rng); i > 0; --i) map.emplace(key(rng), randomTrie(rng, depth - 1));
  return {std::move(scores), std::move(map)};
}

TEST(Show, AgreesWithTheLiteralRecursiveForm) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    const Patterns trie = round % 2 == 0
                              ? randomTrie(rng, round % 7)
                              : parsePatterns(testing_support::randomPatternText(rng, 12));
    for (const int precedence : {0, 10, 11}) {
      ASSERT_EQ(showsPrec(precedence, trie, "."), modelShow(precedence, trie) + ".");
    }
    const std::vector<Patterns> list{trie, Patterns(), trie};
    ASSERT_EQ(showList(list), "[" + modelShow(0, trie) + "," + modelShow(0, Patterns()) + "," +
                                  modelShow(0, trie) + "]");
  }
  // Deep and branching at every level (the model's string copying grows with
  // the square of the depth, which sanitizers make slow).
  std::u32string text;
  for (int i = 0; i < 600; ++i) text += std::u32string(static_cast<std::size_t>(i), U'a') + U"b1\n";
  const Patterns deep = parsePatterns(text);
  EXPECT_EQ(show(deep), modelShow(0, deep));
}

TEST(Unsnoc, SplitsOffTheLastElement) {
  EXPECT_EQ(unsnoc(std::vector<int>{}), std::nullopt);
  const auto split = unsnoc(std::vector<int>{1, 2, 3});
  ASSERT_TRUE(split);
  EXPECT_EQ(split->first, (std::vector<int>{1, 2}));
  EXPECT_EQ(split->second, 3);
}

// A trie is as deep as its longest pattern: nothing may recurse that deep.
TEST(Limits, DeepTriesAreBuiltComparedCombinedShownAndReleasedWithoutRecursion) {
  const std::u32string line(300'000, U'a');
  const Patterns deep = parsePatterns(line + U"1\n");
  EXPECT_EQ(lookupPattern(U"aaa", deep), (ScoreList{0, 0, 0}));
  const Patterns other = parsePatterns(line + U"3\n" + line + U"b2\n");
  const Patterns both = deep | other;
  EXPECT_EQ(both, other | deep);
  EXPECT_NE(both, deep);
  EXPECT_EQ(both | deep, both);
  const Patterns inserted = insertPattern(line + U"5", deep);
  EXPECT_NE(inserted, deep);
  const std::string text = show(deep);
  // 300,000 levels of "Patterns [] (fromList [(97," … ")])" around the leaf.
  const std::string leaf = "Patterns [" + std::string(300'000 * 2, ',') + "] (fromList [])";
  EXPECT_EQ(text.size(), 300'000 * 30 + leaf.size() + 1);
  EXPECT_TRUE(text.starts_with("Patterns [] (fromList [(97,Patterns [] (fromList [(97,"));
  const std::string closing = "0,1] (fromList [])";
  EXPECT_EQ(text.rfind(closing), text.size() - closing.size() - 300'000 * 3);
  EXPECT_TRUE(text.ends_with(")]))])"));
}

}  // namespace
}  // namespace morvane
