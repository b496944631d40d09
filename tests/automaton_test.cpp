#include <gtest/gtest.h>

#include <random>

#include "common/utf8.hpp"
#include "engine/hyphenator_state.hpp"
#include "engine/pattern_automaton.hpp"
#include "engine/pattern_builder.hpp"
#include "engine/pattern_table.hpp"
#include "expect_same_cut.hpp"
#include "languages/loader.hpp"
#include "morvane/core.hpp"
#include "test_support.hpp"

namespace morvane::detail {
namespace {

constexpr std::size_t kAnyCells = std::size_t{1} << 30;
constexpr std::size_t kWindow = PatternAutomaton::kMaxWindow;

/// Random pattern text of the usual shape: every line has letters, each
/// digit stands alone between them.
std::u32string randomPatterns(std::mt19937& rng, int lines, std::size_t maxLetters) {
  std::u32string text;
  for (int i = 0; i < lines; ++i) {
    const std::size_t count = 1 + rng() % maxLetters;
    for (std::size_t k = 0; k <= count; ++k) {
      if (rng() % 3 == 0) text += static_cast<char32_t>(U'0' + rng() % 10);
      if (k < count) text += U"ab."[rng() % 3];
    }
    text += U'\n';
  }
  return text;
}

PatternTable tableOf(std::u32string_view text) {
  PatternBuilder builder;
  builder.addText(text);
  return PatternTable(builder);
}

/// Scores `dotted` both ways and expects the same codes and end flag.
void expectSameScores(const PatternTable& table, const PatternAutomaton& automaton,
                      const std::vector<std::uint32_t>& dotted) {
  std::vector<PatternTable::Code> raw(dotted.size(), 0);
  const bool tableEnd = table.score(dotted, raw);
  // The automaton adds the dots itself; symbols stand for characters.
  const std::u32string inner(dotted.begin() + 1, dotted.end() - 1);
  std::vector<std::uint8_t> window(dotted.size() + kWindow);
  const bool automatonEnd = automaton.score(
      inner, [](char32_t symbol) { return symbol; }, window.data());
  EXPECT_EQ(automatonEnd, tableEnd);
  for (std::size_t j = 0; j < dotted.size(); ++j) {
    EXPECT_EQ(window[j + kWindow - 1], raw[j]) << "boundary " << j;
  }
}

TEST(Automaton, AgreesWithTheTableOnRandomPatterns) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    // Short patterns overlap a lot; long ones reach the edge of the window,
    // of 16 scores or, in every other round, of 32.
    const std::size_t longest = round % 2 == 0 ? 15 : kWindow - 1;
    const std::u32string text = randomPatterns(rng, 20, 5) + randomPatterns(rng, 3, longest);
    const PatternTable table = tableOf(text);
    // Every state dense, in halves or in whole cells, or every state that
    // may be sparse.
    std::vector<std::shared_ptr<const PatternAutomaton>> automata;
    for (const auto layout : {PatternAutomaton::Layout::kSplit, PatternAutomaton::Layout::kPacked,
                              PatternAutomaton::Layout::kSparse}) {
      automata.push_back(PatternAutomaton::compile(table, kAnyCells, layout));
      ASSERT_NE(automata.back(), nullptr);
    }
    std::uniform_int_distribution<std::uint32_t> symbol(
        0, static_cast<std::uint32_t>(table.alphabetSize() - 1));
    for (int w = 0; w < 20; ++w) {
      std::vector<std::uint32_t> dotted(rng() % 80 + 2);
      for (std::uint32_t& s : dotted) s = symbol(rng);
      dotted.front() = dotted.back() = table.dotSymbol();
      SCOPED_TRACE(std::string(text.begin(), text.end()));
      for (const auto& automaton : automata) expectSameScores(table, *automaton, dotted);
    }
  }
}

TEST(Automaton, LongPatternsUnderTheLongestPrefixRuleSendTheirWordsToTheTable) {
  // Office dictionaries hold whole words as patterns, some longer than a
  // window: words that reach one are flagged, every other word is scored
  // as the table scores it.
  std::mt19937 rng(11);
  for (int round = 0; round < 100; ++round) {
    PatternBuilder builder;
    builder.addText(randomPatterns(rng, 20, 5));
    std::u32string longWord;
    for (std::size_t k = 0; k < kWindow + rng() % 8; ++k) longWord += U"ab"[rng() % 2];
    builder.setScores(builder.child(0, U'a'), std::vector<Score>{0, 1},
                      PatternBuilder::OnConflict::kKeepFirst);
    std::uint32_t node = 0;
    for (const char32_t c : longWord) node = builder.child(node, c);
    builder.setScores(node, std::vector<Score>(longWord.size() + 1, 1),
                      PatternBuilder::OnConflict::kReplace);
    const PatternTable table(builder, PatternTable::Matching::kLongestPrefix);
    const auto automaton = PatternAutomaton::compile(
        table, kAnyCells, static_cast<PatternAutomaton::Layout>(round % 3));
    ASSERT_NE(automaton, nullptr);
    for (int w = 0; w < 40; ++w) {
      std::u32string word;
      for (std::size_t k = rng() % 60; k-- > 0;) word += U"ab."[rng() % 3];
      if (w % 4 == 0) word += longWord;  // reaches the long pattern
      std::vector<std::uint32_t> dotted{table.dotSymbol()};
      for (const char32_t c : word) dotted.push_back(table.symbol(c));
      dotted.push_back(table.dotSymbol());
      std::vector<PatternTable::Code> raw(dotted.size(), 0);
      (void)table.score(dotted, raw);
      const std::u32string inner(dotted.begin() + 1, dotted.end() - 1);
      std::vector<std::uint8_t> window(dotted.size() + kWindow);
      bool flagged = false;
      (void)automaton->score(
          inner, [](char32_t symbol) { return symbol; }, window.data(), flagged);
      if (w % 4 == 0) {
        EXPECT_TRUE(flagged);
      }
      if (flagged) continue;
      for (std::size_t j = 0; j < dotted.size(); ++j) {
        EXPECT_EQ(window[j + kWindow - 1], raw[j]) << "boundary " << j;
      }
    }
  }
}

TEST(Automaton, TablesThatDoNotFitAreLeftToTheTable) {
  EXPECT_NE(PatternAutomaton::compile(tableOf(U"a1b\n"), kAnyCells), nullptr);
  EXPECT_EQ(PatternAutomaton::compile(tableOf(U"a1b\n\n"), kAnyCells), nullptr);  // root list
  EXPECT_EQ(PatternAutomaton::compile(tableOf(U"a1b\n"), 2), nullptr);            // cell budget
  // A list of 32 entries fills the widest window exactly; 33 do not fit.
  const std::u32string letters = U"abcdefghijklmnopqrstuvwxyzABCDEF";
  EXPECT_NE(PatternAutomaton::compile(tableOf(letters.substr(0, 31) + U"1\n"), kAnyCells), nullptr);
  EXPECT_EQ(PatternAutomaton::compile(tableOf(letters + U"1\n"), kAnyCells), nullptr);
  // Two digits in a row make a list longer than its letters.
  EXPECT_EQ(PatternAutomaton::compile(tableOf(U"a12b\n"), kAnyCells), nullptr);
  // Scores are bytes.
  PatternBuilder big;
  big.setScores(big.child(0, U'a'), std::vector<Score>{0, 256},
                PatternBuilder::OnConflict::kKeepFirst);
  EXPECT_EQ(PatternAutomaton::compile(PatternTable(big), kAnyCells), nullptr);
  PatternBuilder negative;
  negative.setScores(negative.child(0, U'a'), std::vector<Score>{-1, 1},
                     PatternBuilder::OnConflict::kKeepFirst);
  EXPECT_EQ(PatternAutomaton::compile(PatternTable(negative), kAnyCells), nullptr);
}

TEST(Automaton, EveryBuiltInLanguageCompiles) {
  for (const Language language : enumFrom(kFirstLanguage)) {
    PatternBuilder builder;
    builder.addLenientUtf8Text(
        embeddedBytes("hyph-" + std::string(languageAffix(language)) + ".pat.txt.gz"));
    const PatternTable table(builder);
    EXPECT_NE(PatternAutomaton::compile(table, HyphenatorState::kAutomatonCells), nullptr)
        << language;
  }
}

// Hyphenators switch to the automaton after their first words: the answers
// must not change, whether characters are mapped by a table (as the built-in
// languages do: through an array, or a map for code points too far apart)
// or by a function, and for characters beyond every pattern ("C", "€").
TEST(Automaton, AWarmHyphenatorAgreesWithTheLiteralRules) {
  std::mt19937 rng(11);
  const std::vector<std::pair<char32_t, char32_t>> upper{{U'A', U'a'}, {U'B', U'b'}};
  std::vector<std::pair<char32_t, char32_t>> far = upper;
  far.emplace_back(U'\U0001D538', U'a');  // 𝔸
  for (int round = 0; round < 60; ++round) {
    const CharFunction chars = round % 3 == 0   ? CharFunction(CharMap(upper))
                               : round % 3 == 1 ? CharFunction(CharMap(far))
                                                : CharFunction();
    const Patterns patterns = parsePatterns(randomPatterns(rng, 30, 5));
    std::u32string exceptionText;
    for (int i = 0; i < 3; ++i)
      exceptionText += testing_support::randomString(rng, U"ab-", 6) + U"\n";
    const Exceptions exceptions = parseExceptions(exceptionText);
    const std::int64_t left = static_cast<std::int64_t>(rng() % 4);
    const std::int64_t right = static_cast<std::int64_t>(rng() % 4);
    const Hyphenator h(chars, patterns, exceptions, left, right);
    for (std::uint32_t w = 0; w <= CompiledPatterns::kWarmWords; ++w) {
      (void)hyphenate(h, U"abcabcabcabc");
    }
    ASSERT_NE(stateOf(h).compiled.get()->compiledAutomaton(), nullptr);
    for (int w = 0; w < 30; ++w) {
      const std::u32string word = testing_support::randomString(rng, U"abcABC€\U0001D538", 12);
      SCOPED_TRACE(show(patterns) + " " + show(exceptions) + " word " + encodeUtf8(word));
      testing_support::expectSameCut(h, patterns, exceptions, left, right, word, chars);
    }
  }
}

}  // namespace
}  // namespace morvane::detail
