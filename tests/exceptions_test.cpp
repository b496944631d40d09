#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "morvane/core.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

ScoreList entry(const Exceptions& table, std::u32string_view word) {
  return lookupException(word, table).value_or(ScoreList{-1});
}

TEST(ScoreException, MarksTheLetterAfterEachHyphen) {
  EXPECT_EQ(scoreException(U"ta-ble"), (ScoreList{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(scoreException(U"as-so-ciate"), (ScoreList{0, 0, 1, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(scoreException(U"present"), ScoreList(8, 0));
  EXPECT_EQ(scoreException(U""), (ScoreList{0}));
}

TEST(ZipMin, TakesThePairwiseMinimumOverTheCommonLength) {
  EXPECT_EQ(zipMin(ScoreList{1, 0, 1}, ScoreList{1, 1}), (ScoreList{1, 0}));
  EXPECT_EQ(zipMin(ScoreList{}, ScoreList{1, 1}), ScoreList{});
  EXPECT_EQ(zipMin(ScoreList{-2, 5}, ScoreList{3, 4, 9}), (ScoreList{-2, 4}));
}

TEST(ParseExceptions, OneEntryPerLineTakenWhole) {
  EXPECT_TRUE(parseExceptions(U"").empty());
  const Exceptions lf = parseExceptions(U"\n");
  EXPECT_EQ(lf.size(), 1U);
  EXPECT_EQ(entry(lf, U""), (ScoreList{0}));
  EXPECT_EQ(parseExceptions(U"ta-ble\npre-sent"), parseExceptions(U"ta-ble\npre-sent\n"));
  EXPECT_EQ(entry(parseExceptions(U"ab-\n"), U"ab"), (ScoreList{0, 0, 1}));
  EXPECT_EQ(entry(parseExceptions(U"-ab\n"), U"ab"), (ScoreList{1, 0, 0}));
  EXPECT_EQ(entry(parseExceptions(U"-\n"), U""), (ScoreList{1}));
  EXPECT_EQ(entry(parseExceptions(U"a--b\n"), U"ab"), (ScoreList{0, 1, 0, 0}));
}

TEST(ParseExceptions, CarriageReturnsStayInTheKey) {
  const Exceptions table = parseExceptions(U"ta-ble\r\n");
  EXPECT_EQ(lookupException(U"table", table), std::nullopt);
  EXPECT_EQ(entry(table, U"table\r"), (ScoreList{0, 0, 1, 0, 0, 0, 0}));
}

TEST(ParseExceptions, RepeatedWordsKeepOnlyTheBreaksBothAllow) {
  EXPECT_EQ(entry(parseExceptions(U"ta-ble\ntab-le\n"), U"table"), ScoreList(6, 0));
  EXPECT_EQ(entry(parseExceptions(U"ta-ble\ntable-\n"), U"table"), ScoreList(6, 0));
  EXPECT_EQ(addException(U"tab-le", parseExceptions(U"ta-ble\n")),
            parseExceptions(U"tab-le\nta-ble\n"));
}

TEST(LookupException, MatchesTheWholeWordExactly) {
  const Exceptions table = parseExceptions(U"ta-ble\n");
  EXPECT_EQ(lookupException(U"ta-ble", table), std::nullopt);
  EXPECT_EQ(entry(table, U"table"), (ScoreList{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(lookupException(U"Table", table), std::nullopt);
  EXPECT_EQ(lookupException("table", table), (ScoreList{0, 0, 1, 0, 0, 0}));
}

TEST(Combine, IsAnIdempotentAssociativeUnion) {
  const Exceptions a = parseExceptions(U"ta-ble\nfoo\n");
  const Exceptions b = parseExceptions(U"tab-le\nbar-baz\n");
  const Exceptions both = a | b;
  EXPECT_EQ(both.size(), 3U);
  EXPECT_EQ(entry(both, U"table"), ScoreList(6, 0));
  EXPECT_EQ(a | Exceptions(), a);
  EXPECT_EQ(Exceptions() | a, a);
  EXPECT_EQ(a | a, a);

  std::mt19937 rng(5);
  for (int round = 0; round < 100; ++round) {
    std::vector<Exceptions> tables;
    for (int t = 0; t < 3; ++t) {
      std::u32string text;
      for (int i = 0; i < 4; ++i) text += testing_support::randomString(rng, U"ab-", 4) + U"\n";
      tables.push_back(parseExceptions(text));
    }
    EXPECT_EQ((tables[0] | tables[1]) | tables[2], tables[0] | (tables[1] | tables[2]));
    EXPECT_EQ(combine(tables), tables[0] | (tables[1] | tables[2]));
    EXPECT_EQ(sconcat(tables), combine(tables));
  }
  EXPECT_TRUE(combine(std::span<const Exceptions>()).empty());
  EXPECT_THROW((void)sconcat(std::span<const Exceptions>()), Error);
  EXPECT_EQ(stimes(1'000'000'000'000LL, a), a);
  try {
    (void)stimes(0, a);
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "stimes: positive multiplier expected");
  }
}

TEST(Show, QuotesKeysWithTheStandardEscapes) {
  EXPECT_EQ(show(parseExceptions(U"ta-ble\n")),
            "Exceptions (fromList [(\"table\",[0,0,1,0,0,0])])");
  EXPECT_EQ(show(Exceptions()), "Exceptions (fromList [])");
  EXPECT_EQ(showsPrec(11, Exceptions()), "(Exceptions (fromList []))");
  const Exceptions odd(ExceptionMap{{U"\"\\\n\u00e91\u007f\u000eH\u0001", {0}}});
  EXPECT_EQ(show(odd), "Exceptions (fromList [(\"\\\"\\\\\\n\\233\\&1\\DEL\\SO\\&H\\SOH\",[0])])");
  const std::vector<Exceptions> list{Exceptions(), Exceptions()};
  EXPECT_EQ(showList(list), "[Exceptions (fromList []),Exceptions (fromList [])]");
  std::ostringstream out;
  out << odd;
  EXPECT_EQ(out.str(), show(odd));
}

}  // namespace
}  // namespace morvane
