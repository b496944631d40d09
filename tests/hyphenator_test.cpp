#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <random>
#include <thread>

#include "common/utf8.hpp"
#include "engine/hyphenator_state.hpp"
#include "expect_same_cut.hpp"
#include "morvane/core.hpp"
#include "reference_hyphenator.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

using testing_support::joined;

// "hy-phen-ation"-like toy patterns: breaks after every 'a' and before 'b'.
const std::u32string_view kToyPatterns = U"a1\n1b\n";

Hyphenator toy(std::int64_t left, std::int64_t right, Exceptions exceptions = {}) {
  return Hyphenator(CharFunction(), parsePatterns(kToyPatterns), std::move(exceptions), left,
                    right);
}

std::u32string cut(const Hyphenator& h, std::u32string_view word) {
  return joined(hyphenate(h, word));
}

TEST(Hyphenate, MinimumsBoundTheFirstAndLastPiece) {
  EXPECT_EQ(cut(toy(1, 1), U"ababa"), U"a-ba-ba");
  EXPECT_EQ(cut(toy(2, 2), U"ababa"), U"aba-ba");
  EXPECT_EQ(cut(toy(2, 3), U"abbab"), U"ab-bab");  // 5 = 2 + 3: scored, one place to break
  EXPECT_EQ(cut(toy(2, 3), U"abab"), U"abab");     // 4 < 5: never broken
  EXPECT_EQ(cut(toy(3, 3), U"ababab"), U"aba-bab");
}

TEST(Hyphenate, EmptyWordIsOneEmptyPiece) {
  for (std::int64_t left : {-2, 0, 1, 3}) {
    for (std::int64_t right : {-2, 0, 1, 3}) {
      EXPECT_EQ(hyphenate(toy(left, right), U""), std::vector<std::u32string>{U""})
          << left << "," << right;
    }
  }
}

TEST(Hyphenate, ShortWordsAreNeitherNormalisedNorLookedUp) {
  std::atomic<int> calls{0};
  const Hyphenator h(CharFunction([&calls](char32_t c) {
                       ++calls;
                       return c;
                     }),
                     parsePatterns(kToyPatterns), Exceptions(), 2, 3);
  EXPECT_EQ(cut(h, U"abab"), U"abab");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(cut(h, U"abbab"), U"ab-bab");
  EXPECT_EQ(calls, 5);
}

TEST(Hyphenate, PiecesKeepTheCallersCharacters) {
  const Hyphenator h(CharFunction([](char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; }),
                     parsePatterns(kToyPatterns), Exceptions(), 1, 1);
  EXPECT_EQ(cut(h, U"ABaBA"), U"A-Ba-BA");
}

TEST(Hyphenate, ExceptionsOverridePatternsWithinTheMinimums) {
  const Exceptions exceptions = parseExceptions(U"abab-a\na-b-a-b-a-b\n");
  EXPECT_EQ(cut(toy(1, 1, exceptions), U"ababa"), U"abab-a");
  EXPECT_EQ(cut(toy(2, 2, exceptions), U"ababa"), U"ababa");  // the break would leave "a"
  EXPECT_EQ(cut(toy(2, 2, exceptions), U"ababab"), U"ab-a-b-ab");
  EXPECT_EQ(cut(toy(2, 2, exceptions), U"abba"), U"ab-ba");  // not an exception
}

TEST(Hyphenate, RightMinimumOfZeroCanLeaveATrailingEmptyPiece) {
  const Hyphenator h(CharFunction(), parsePatterns(U"a1.\n"), Exceptions(), 1, 0);
  EXPECT_EQ(hyphenate(h, U"ba"), (std::vector<std::u32string>{U"ba", U""}));
  EXPECT_EQ(hyphenationPoints(h, U"ba"), (std::vector<std::size_t>{2}));
  EXPECT_EQ(insertHyphens(h, U"ba", U"="), U"ba=");
  // Without a pattern that scores past the word there is no entry to break at.
  EXPECT_EQ(hyphenate(toy(1, 0), U"ba"), (std::vector<std::u32string>{U"ba"}));
}

TEST(Hyphenate, EmptyExceptionScoresAreMalformedWithLeftMinimumZero) {
  const Exceptions exceptions(ExceptionMap{{U"ab", {}}});
  try {
    (void)hyphenate(toy(0, 1, exceptions), U"ab");
    FAIL() << "expected an error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Malformed hyphenation score for ab");
  }
  EXPECT_EQ(cut(toy(1, 1, exceptions), U"ab"), U"ab");  // leftMin zeros stand in
}

TEST(Hyphenate, ExtremeMinimumsNeitherOverflowNorCrash) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(cut(toy(kMax, kMax), U"ababa"), U"ababa");
  EXPECT_EQ(cut(toy(kMin, kMin), U"ababa"), U"a-ba-ba");
  EXPECT_EQ(cut(toy(kMax, kMin), U"ababa"), U"ababa");
  // A negative left minimum widens the kept scores by as much (n − left − right + 1).
  EXPECT_EQ(cut(toy(kMin, kMax), U"ababa"), U"a-ba-ba");
}

TEST(Hyphenate, AgreesWithTheLiteralRulesOnRandomTables) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> minimum(-2, 4);
  for (int round = 0; round < 300; ++round) {
    const Patterns patterns = parsePatterns(testing_support::randomPatternText(rng, 12));
    std::u32string exceptionText;
    for (int i = 0; i < 3; ++i)
      exceptionText += testing_support::randomString(rng, U"ab-", 6) + U"\n";
    const Exceptions exceptions = parseExceptions(exceptionText);
    const std::int64_t left = minimum(rng);
    const std::int64_t right = minimum(rng);
    const Hyphenator h(CharFunction(), patterns, exceptions, left, right);
    for (int w = 0; w < 20; ++w) {
      const std::u32string word = testing_support::randomString(rng, U"ab", 9);
      SCOPED_TRACE(show(patterns) + " " + show(exceptions) + " minimums " + std::to_string(left) +
                   "," + std::to_string(right) + " word " + std::string(word.begin(), word.end()));
      testing_support::expectSameCut(h, patterns, exceptions, left, right, word);
      EXPECT_EQ(lookupPattern(word, patterns), reference::lookupPattern(word, patterns));
    }
  }
}

// Tries the parser cannot make: scores of any size and sign, and alphabets
// beyond 64 letters.
TEST(Hyphenate, AgreesWithTheLiteralRulesOnUnusualTries) {
  std::mt19937 rng(77);
  constexpr Score kBig = std::numeric_limits<Score>::max();
  const std::vector<Score> values{-kBig, -3, -2, 0, 1, 2, 7, kBig - 1, kBig};
  std::uniform_int_distribution<std::size_t> pickValue(0, values.size() - 1);
  std::u32string wide;
  for (char32_t c = 0x400; c < 0x400 + 100; ++c) wide.push_back(c);
  for (int round = 0; round < 400; ++round) {
    const std::u32string alphabet = round % 2 == 0 ? std::u32string(U"ab.") : wide + U".";
    Patterns trie;
    for (int p = 0; p < 15; ++p) {
      const std::u32string letters = testing_support::randomString(rng, alphabet, 4);
      // Now and then lists long enough that merging them has to stop.
      ScoreList scores(rng() % (round % 3 == 0 ? 40 : 7));
      for (Score& score : scores) score = values[pickValue(rng)];
      Patterns node(scores, {});
      for (auto c = letters.rbegin(); c != letters.rend(); ++c) node = Patterns({}, {{*c, node}});
      trie = trie | node;
    }
    const std::int64_t left = static_cast<std::int64_t>(rng() % 4) - 1;
    const std::int64_t right = static_cast<std::int64_t>(rng() % 4) - 1;
    const Hyphenator h(CharFunction(), trie, Exceptions(), left, right);
    for (int w = 0; w < 10; ++w) {
      const std::u32string word =
          testing_support::randomString(rng, alphabet.substr(0, alphabet.size() - 1), 7);
      ASSERT_EQ(lookupPattern(word, trie), reference::lookupPattern(word, trie)) << show(trie);
      ASSERT_EQ(hyphenate(h, word),
                reference::hyphenate(CharFunction(), trie, Exceptions(), left, right, word))
          << show(trie);
    }
  }
}

// Lists that reach past the word, with small negative and positive scores:
// past the end every list that covers a boundary counts, with 0 where it
// has no entry, so a negative entry loses to any other list there.
TEST(Hyphenate, ListsReachingPastTheWordAgreeWithTheLiteralRules) {
  std::mt19937 rng(404);
  std::uniform_int_distribution<Score> value(-3, 3);
  for (int round = 0; round < 2000; ++round) {
    Patterns trie;
    for (int p = 0; p < 6; ++p) {
      std::u32string letters = testing_support::randomString(rng, U"ab", 2);
      if (rng() % 2 == 0) letters += U'.';
      ScoreList scores(letters.size() + 1 + rng() % 4);
      for (Score& score : scores) score = value(rng);
      Patterns node(scores, {});
      for (auto c = letters.rbegin(); c != letters.rend(); ++c) node = Patterns({}, {{*c, node}});
      trie = trie | node;
    }
    for (int w = 0; w < 4; ++w) {
      const std::u32string word = testing_support::randomString(rng, U"ab", 3);
      ASSERT_EQ(lookupPattern(word, trie), reference::lookupPattern(word, trie)) << show(trie);
    }
  }
}

TEST(HyphenationPoints, MatchThePieceBoundaries) {
  const Hyphenator h = toy(1, 1);
  EXPECT_EQ(hyphenationPoints(h, U"ababa"), (std::vector<std::size_t>{1, 3}));
  std::array<std::size_t, 1> small{};
  EXPECT_EQ(hyphenationPoints(h, U"ababa", small), 2U);  // the total, though one fits
  EXPECT_EQ(small[0], 1U);
  EXPECT_EQ(hyphenationPoints(h, U"ababa", std::span<std::size_t>()), 2U);
}

TEST(Utf8, PiecesAreTheCallersOwnBytes) {
  const Hyphenator h(CharFunction(), parsePatterns(U"é1\n"), Exceptions(), 1, 1);
  EXPECT_EQ(hyphenate(h, "xéxéx"), (std::vector<std::string>{"xé", "xé", "x"}));
  EXPECT_EQ(insertHyphens(h, "xéxéx", "-"), "xé-xé-x");
  EXPECT_EQ(hyphenationPoints(h, "xéxéx"), (std::vector<std::size_t>{2, 4}));
}

TEST(Utf8, WordsOfEveryLengthBreakAsTheirCodePointsDo) {
  // ASCII is widened several bytes at a time: every length around those
  // steps, all ASCII or with one other character anywhere, against the
  // same word given as code points.
  const Hyphenator h(CharFunction(), parsePatterns(U"a1\n1b\né1\n"), Exceptions(), 1, 1);
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t other = 0; other <= length; ++other) {
      std::u32string word;
      for (std::size_t i = 0; i < length; ++i) word += i == other ? U'é' : U"abc"[i % 3];
      const std::string bytes = detail::encodeUtf8(word);
      SCOPED_TRACE(bytes);
      EXPECT_EQ(detail::decodeUtf8(bytes), word);
      std::vector<std::string> expected;
      for (const std::u32string& piece : hyphenate(h, word))
        expected.push_back(detail::encodeUtf8(piece));
      EXPECT_EQ(hyphenate(h, bytes), expected);
    }
  }
}

TEST(Utf8, EveryThreeByteSequenceDecodesAsTheStandardSays) {
  // Against the definition: well formed when both trailing bytes are
  // continuation bytes and the value is neither overlong nor a surrogate.
  for (unsigned lead = 0xE0; lead <= 0xEF; ++lead) {
    for (unsigned second = 0; second <= 0xFF; ++second) {
      for (unsigned third = 0; third <= 0xFF; ++third) {
        const std::string bytes{static_cast<char>(lead), static_cast<char>(second),
                                static_cast<char>(third)};
        const char32_t value = ((lead & 0x0FU) << 12) | ((second & 0x3FU) << 6) | (third & 0x3FU);
        const bool wellFormed = (second & 0xC0U) == 0x80U && (third & 0xC0U) == 0x80U &&
                                value >= 0x800 && (value < 0xD800 || value > 0xDFFF);
        char32_t decoded = 0;
        const std::size_t length = detail::decodeUtf8Char(bytes, decoded);
        ASSERT_EQ(length, wellFormed ? 3U : 0U) << lead << " " << second << " " << third;
        if (wellFormed) {
          ASSERT_EQ(decoded, value);
        }
      }
    }
  }
}

TEST(Utf8, InvalidInputIsAnErrorNamingTheByte) {
  const Hyphenator h = toy(1, 1);
  for (const auto& [bytes, offset] :
       std::vector<std::pair<std::string, int>>{{"ab\xFF", 2},
                                                {"\xC3", 0},
                                                {"a\xED\xA0\x80", 1},
                                                {"aa\xC0\xAF", 2},
                                                {"\xF4\x90\x80\x80", 0}}) {
    try {
      (void)hyphenate(h, bytes);
      ADD_FAILURE() << "no error for offset " << offset;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "invalid UTF-8 at byte offset " + std::to_string(offset));
    }
  }
}

TEST(Fields, AccessorsGiveWhatWasStored) {
  const Patterns patterns = parsePatterns(kToyPatterns);
  const Exceptions exceptions = parseExceptions(U"a-b\n");
  const Hyphenator h(CharFunction([](char32_t c) { return c + 1; }), patterns, exceptions, -4, 7);
  EXPECT_EQ(hyphenatorChars(h)(U'a'), U'b');
  EXPECT_EQ(hyphenatorPatterns(h), patterns);
  EXPECT_EQ(hyphenatorExceptions(h), exceptions);
  EXPECT_EQ(hyphenatorLeftMin(h), -4);
  EXPECT_EQ(hyphenatorRightMin(h), 7);
}

TEST(Fields, DeferredFieldsRunOnceOnFirstUseEvenUnderContention) {
  std::atomic<int> patternRuns{0};
  std::atomic<int> charRuns{0};
  const Hyphenator h(Lazy<CharFunction>([&charRuns] {
                       ++charRuns;
                       return CharFunction();
                     }),
                     Lazy<Patterns>([&patternRuns] {
                       ++patternRuns;
                       std::this_thread::sleep_for(std::chrono::milliseconds(20));
                       return parsePatterns(kToyPatterns);
                     }),
                     Lazy<Exceptions>([] { return Exceptions(); }), 1, 1);
  EXPECT_EQ(patternRuns, 0);  // the constructor triggers nothing
  EXPECT_EQ(charRuns, 0);

  std::vector<std::jthread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 16; ++t) {
    threads.emplace_back([&] {
      if (cut(h, U"ababa") != U"a-ba-ba") ++wrong;
    });
  }
  threads.clear();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(patternRuns, 1);
  EXPECT_EQ(charRuns, 1);
}

TEST(Fields, AFailedProducerIsRetriedAndKeepsNothing) {
  int attempts = 0;
  const Lazy<Patterns> patterns([&attempts] {
    if (++attempts == 1) throw Error("first attempt fails");
    return parsePatterns(kToyPatterns);
  });
  EXPECT_THROW((void)patterns.get(), Error);
  EXPECT_FALSE(patterns.ready());
  EXPECT_EQ(patterns.get(), parsePatterns(kToyPatterns));
  EXPECT_EQ(attempts, 2);
}

TEST(Fields, AProducerThatNeedsItsOwnValueFailsInsteadOfWaitingForever) {
  // The pattern producer hyphenates with the hyphenator it belongs to.
  std::shared_ptr<Hyphenator> self;
  auto h = std::make_shared<Hyphenator>(CharFunction(), Lazy<Patterns>([&self] {
                                          (void)hyphenate(*self, U"ababa");
                                          return parsePatterns(kToyPatterns);
                                        }),
                                        Exceptions(), 1, 1);
  self = h;
  try {
    (void)hyphenatorPatterns(*h);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "a value computed on first use needs itself to be computed");
  }
  EXPECT_FALSE(detail::stateOf(*h).patterns.ready());
  self.reset();
}

}  // namespace
}  // namespace morvane
