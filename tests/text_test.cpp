#include <gtest/gtest.h>

#include <random>

#include "common/utf8.hpp"
#include "morvane/morvane.hpp"
#include "test_support.hpp"
#include "text/unicode.hpp"

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

TEST(HyphenateText, AWordOfAMillionCharactersIsCopied) {
  std::u32string word;
  while (word.size() < 1'000'000) word += U"donaudampfschifffahrtsgesellschaft";
  const std::u32string text = word + U" " + word;
  EXPECT_EQ(hyphenateText(german_1996, text, U"").size(), text.size());
}

TEST(HyphenateText, WordsAreRunsOfLettersAndMarks) {
  // "n" + U+0303 COMBINING TILDE stays one word; apostrophes and digits split words.
  EXPECT_EQ(hyphenateText(spanish, "man\u0303ana ", "-"),
            insertHyphens(spanish, "man\u0303ana", "-") + " ");
  EXPECT_EQ(hyphenateText(english_US, "hyphenation's", "-"), "hy-phen-ation's");
  EXPECT_EQ(hyphenateText(german_1996, "Silbentrennungs-Algorithmus", "-"),
            "Sil-ben-tren-nungs-Al-go-rith-mus");
}

TEST(HyphenateText, CanonicallyEquivalentSpellingsBreakAlike) {
  // Decomposed (NFD) letters, and Greek with oxia (U+1F7B) for tonos.
  EXPECT_EQ(
      hyphenateText(greek_Mono, "\u03a3\u03c5\u0301\u03b3\u03ba\u03c1\u03b9\u03c3\u03b7", "-"),
      "\u03a3\u03c5\u0301-\u03b3\u03ba\u03c1\u03b9-\u03c3\u03b7");
  EXPECT_EQ(hyphenateText(greek_Mono, "Σ\u1f7bγκριση", "-"), "Σ\u1f7b-γκρι-ση");
  EXPECT_EQ(hyphenateText(greek_Mono, "Σύγκριση", "-"), "Σύ-γκρι-ση");
  EXPECT_EQ(hyphenateText(russian, "ма\u0438\u0306ский", "-"), "ма\u0438\u0306-ский");
  EXPECT_EQ(hyphenateText(russian, "майский", "-"), "май-ский");
  // The core stays literal: it scores the characters it is given.
  EXPECT_NE(insertHyphens(russian, "ма\u0438\u0306ский", "-"), "ма\u0438\u0306-ский");
}

TEST(HyphenateText, NeverBreaksInsideAGraphemeCluster) {
  // Patterns that break between any two letters; "b" with an acute accent
  // has no precomposed form, so NFC keeps the mark apart.
  const Hyphenator anywhere(CharFunction(), parsePatterns(U"1a1\n1b1\n1\u03011\n"), Exceptions(), 1,
                            1);
  EXPECT_EQ(hyphenateText(anywhere, U"abab\u0301a", U"-"), U"a-b-a-b\u0301-a");
  EXPECT_EQ(insertHyphens(anywhere, U"abab\u0301a", U"-"), U"a-b-a-b-\u0301-a");
}

TEST(HyphenateText, WordsAsTheLanguageSeesThem) {
  // The French character map names both apostrophes: one word either way,
  // broken as TeX breaks "entr'égorgées".
  EXPECT_EQ(hyphenateText(french, "aujourd'hui aujourd\u2019hui entr'égorgées", "-"),
            "au-jour-d'hui au-jour-d\u2019hui en-tr'égor-gées");
  // English names neither: the apostrophe ends the word.
  EXPECT_EQ(hyphenateText(english_US, "hyphenation's", "-"), "hy-phen-ation's");
  // Hyphens are breaks already: the parts are hyphenated on their own, and
  // no separator goes next to one, even where the patterns know "-".
  EXPECT_EQ(hyphenateText(english_US, "co-operation e-mail", "-"), "co-op-er-a-tion e-mail");
  EXPECT_EQ(hyphenateText(russian, "кто-нибудь", "="), "кто-ни=будь");
}

TEST(HyphenateText, FindsTheWordsOfThaiWithADictionary) {
  // One run without spaces: ICU's dictionary finds "การ", "แบ่ง", "คำ",
  // "ภาษา", "ไทย", "ต้อง", "ใช้", "พจนานุกรม", and only the last is long
  // enough to break.
  const std::string run = "การแบ่งคำภาษาไทยต้องใช้พจนานุกรม";
  EXPECT_EQ(hyphenateText(thai, run, "-"),
            "การแบ่งคำภาษาไทยต้องใช้" + insertHyphens(thai, "พจนานุกรม", "-"));
  EXPECT_NE(insertHyphens(thai, run, "-"), hyphenateText(thai, run, "-"));
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

TEST(HyphenateText, RunsTooLongForProseAreCopied) {
  // (Compared with EXPECT_TRUE: a failure should not print a megabyte.)
  std::string blob = "hyphenation" + std::string(std::size_t{1} << 20, 'a');
  EXPECT_TRUE(hyphenateText(english_US, blob + " hyphenation", "-") == blob + " hy-phen-ation");
  // Up to the limit a run is prose.
  blob.resize(std::size_t{1} << 20);
  EXPECT_TRUE(hyphenateText(english_US, blob, "-").starts_with("hy-phen-ation"));
}

// A stream cut anywhere gives what the whole text gives.
TEST(TextStream, AgreesWithTheWholeTextWhereverItIsCut) {
  std::mt19937 rng(7);
  const std::vector<std::string> parts{
      "hyphenation", " ",        "\u00a0", "Σύγκριση", "\xFF",          "\xC3",  "ü",
      "-",           "\n",       "\u00AD", "@",        "://",           "Täter", "a\u0301",
      "3",           "\xE2\x82", "www.",   "\u3000",   "Silbentrennung"};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += parts[pick(rng)];
    if (round % 50 == 0) text += std::string((std::size_t{1} << 20) + 10, 'x') + " hyphenation";
    const std::string separator = round % 7 == 0 ? std::string(10'000, '=') : "|";
    std::string streamed;
    TextStream stream(german_1996, separator,
                      [&streamed](std::string_view piece) { streamed += piece; });
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t length =
          std::min<std::size_t>(text.size() - at, rng() % 9 + (rng() % 50 == 0 ? 100'000 : 0));
      stream.write(std::string_view(text).substr(at, length));
      at += length;
    }
    stream.finish();
    ASSERT_EQ(streamed, hyphenateText(german_1996, text, separator)) << text.substr(0, 200);
  }
}

// A line end ends every word and every run a word could belong to, so the
// lines of a text hyphenated apart give the whole text (the command's
// threads rely on it), whatever stands beside the line ends.
TEST(HyphenateText, LinesHyphenatedApartGiveTheWholeText) {
  std::mt19937 rng(11);
  const std::string thai = "การแบ่งคำภาษาไทย";
  const std::vector<std::string> parts{
      "hyphenation", " ",       "\n",     "\n",       "\r\n", "\u0301", "\xE2\x82",
      "\xFF",        "\xC3",    "-",      "\u00AD",   "://",  "@",      "www.",
      "Täter",       "a\u0301", "\u00a0", "Σύγκριση", thai,   "\u2028", "Silbentrennung"};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += parts[pick(rng)];
    if (round % 100 == 0) text += std::string((std::size_t{1} << 20) + 10, 'x') + "\nhyphenation";
    std::string apart;
    for (std::size_t from = 0; from < text.size();) {
      const std::size_t lineEnd = std::min(text.find('\n', from), text.size() - 1);
      apart +=
          hyphenateText(german_1996, std::string_view(text).substr(from, lineEnd + 1 - from), "|");
      from = lineEnd + 1;
    }
    ASSERT_TRUE(apart == hyphenateText(german_1996, text, "|")) << text.substr(0, 200);
  }
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

// Characters are classified by tables: the ASCII one written by hand, the
// rest filled from ICU on first use. Both agree with ICU character by
// character, beyond the Basic Multilingual Plane too.
TEST(CharacterClasses, TablesAgreeWithIcu) {
  for (char32_t c = 0; c < 0x80; ++c) {
    ASSERT_EQ(detail::kAsciiClasses[c], detail::classFromUnicode(c)) << static_cast<int>(c);
  }
  constexpr std::uint8_t kAll = 0x7F;  // every class bit
  for (char32_t c = 0; c < 0x30000; c += c < 0x10000 ? 1 : 7) {
    ASSERT_EQ(detail::classOf(c) & kAll, detail::classFromUnicode(c)) << static_cast<int>(c);
  }
  EXPECT_NE(detail::classOf(U'\u0E01') & detail::text_class::kUnspaced, 0);  // Thai
  EXPECT_NE(detail::classOf(U'\u3000') & detail::text_class::kSpace, 0);
  EXPECT_NE(detail::classOf(U'\u0301') & detail::text_class::kClusterPart, 0);
  EXPECT_EQ(detail::classOf(U'\u0301') & detail::text_class::kNfcPlain, 0);
}

// UTF-8 text is scanned sixty-four bytes at a time where it is plain ASCII;
// text given as code points is scanned a character at a time. Both give
// the same, whatever mixes of letters, white space, addresses, joiners and
// other characters fall across the blocks.
TEST(HyphenateText, BlocksOfAsciiAreScannedAsCharactersAre) {
  std::mt19937 rng(17);
  const std::vector<std::string> parts{
      "hyphenation", "computer", " ",      "  ",     "\n",          "\t", ".",
      ":",           "@",        "www.",   "://",    "l'",          "'",  "-",
      "3",           "é",        "\u00AD", "\u2019", "ab",          "x",  ",",
      "information", "\u00A0",   "&amp;",  "d’",     "hyphenation,"};
  std::uniform_int_distribution<std::size_t> pick(0, parts.size() - 1);
  for (const Language language : {Language::English_US, Language::French, Language::Ukrainian}) {
    const Hyphenator& h = languageHyphenator(language);
    for (int round = 0; round < 300; ++round) {
      std::string text;
      for (int i = 0; i < 120; ++i) text += parts[pick(rng)];
      const std::string blocks = hyphenateText(h, text, "|");
      const std::u32string characters = hyphenateText(h, detail::decodeUtf8(text), U"|");
      ASSERT_EQ(blocks, detail::encodeUtf8(characters)) << text;
    }
  }
}

// A long text remembers the words it has scored. Words that come again, in
// any order, with more distinct words than it can keep, and in a language
// that changes, break as each line does when it is hyphenated alone (a
// text too short to remember anything).
TEST(HyphenateText, LongTextsBreakEveryWordAsAShortTextDoes) {
  std::mt19937 rng(3);
  for (const Language language : {Language::English_US, Language::German_1996, Language::Russian,
                                  Language::Greek_Mono, Language::Thai}) {
    std::vector<std::string> words;
    for (const auto& line : testing_support::readGolden(language)) words.push_back(line.word);
    words.push_back("hyphenation\u00ADist");  // a soft hyphen of the author's
    words.push_back("ma\u0301quina");         // NFC and grapheme clusters
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    std::string text;
    std::string expected;
    for (int l = 0; l < 2000; ++l) {
      std::string line;
      for (int i = 0; i < 8; ++i) line += words[pick(rng)] + (i % 3 == 0 ? ", " : " ");
      line += "\n";
      text += line;
      expected += hyphenateText(languageHyphenator(language), line, "|");
    }
    EXPECT_TRUE(hyphenateText(languageHyphenator(language), text, "|") == expected)
        << languageAffix(language);
  }
}

}  // namespace
}  // namespace morvane
