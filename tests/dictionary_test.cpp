// Office-suite hyphenation dictionaries (.dic). The expected breaks are
// what the office suites' C library gives for the same files, tested as a
// black box.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "morvane/error.hpp"
#include "morvane/files.hpp"

namespace morvane {
namespace {

std::string errorOf(std::string_view bytes, const LoadOptions& options = {}) {
  try {
    (void)readDictionary(bytes, "x.dic", options);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

std::string spelled(std::string_view dic, std::string_view word, const LoadOptions& options = {}) {
  return spellBreaks(readDictionary(dic, "x.dic", options), word, "=");
}

TEST(Dictionary, ConvertsItsCharacterSet) {
  // "ä" is 0xE4 in ISO 8859-1; "д" is 0xC4 in KOI8-R.
  EXPECT_EQ(spelled("ISO8859-1\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n\xE4"
                    "1b\n",
                    "äb"),
            "ä=b");
  EXPECT_EQ(spelled("KOI8-R\r\nLEFTHYPHENMIN 1\r\nRIGHTHYPHENMIN 1\r\n\xC4"
                    "1\xC1\r\n",
                    "да"),
            "д=а");
  EXPECT_EQ(spelled("microsoft-cp1251\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n\xE4"
                    "1\xE0\n",
                    "да"),
            "д=а");
}

TEST(Dictionary, CapitalsBreakAsTheirLettersAndKeepTheirCaseWhenSpellingChanges) {
  const std::string_view dic = "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\ns5sz/sz=,1,1\nä1b\n";
  EXPECT_EQ(spelled(dic, "ÄB"), "Ä=B");
  EXPECT_EQ(spelled(dic, "asszony"), "asz=szony");
  EXPECT_EQ(spelled(dic, "ASSZONY"), "ASZ=SZONY");
  EXPECT_EQ(spelled(dic, "Asszony"), "Asz=szony");
}

TEST(Dictionary, NonStandardBreaksChangeTheSpelling) {
  const std::string_view dic =
      "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n"
      "s5sz/sz=,1,1\nn5ny/ny=ny,1,3\ng5gy/gy=gy,1,3\nf5fa/ff=f,1,2\n";
  EXPECT_EQ(spelled(dic, "asszonnyal"), "asz=szony=nyal");
  EXPECT_EQ(spelled(dic, "meggyet"), "megy=gyet");
  EXPECT_EQ(spelled(dic, "Schiffahrt"), "Schiff=fahrt");
  const Hyphenator h = readDictionary(dic, "x.dic");
  const std::vector<WordBreak> breaks = hyphenationBreaks(h, std::u32string_view(U"asszonnyal"));
  ASSERT_EQ(breaks.size(), 2U);
  EXPECT_EQ(breaks[0], (WordBreak{2, U"asz", U"szonnyal", false}));
  EXPECT_EQ(breaks[1], (WordBreak{6, U"asszony", U"nyal", false}));
  // The pieces keep the word's letters: only standard breaks cut it.
  EXPECT_EQ(hyphenate(h, std::string_view("asszonnyal")), std::vector<std::string>{"asszonnyal"});
  const std::vector<Utf8WordBreak> utf8 = hyphenationBreaks(h, std::string_view("Schiffahrt"));
  ASSERT_EQ(utf8.size(), 1U);
  EXPECT_EQ(utf8[0], (Utf8WordBreak{5, "Schiff", "fahrt", false}));
}

TEST(Dictionary, MinimumsAsTheCLibraryCountsThem) {
  // 0 means the default, 2; a break after the first letter ignores the
  // right minimum; with a change, each side counts its longer spelling.
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 0\nRIGHTHYPHENMIN 0\n1a1\n", "aaaaa"), "aa=a=aa");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 3\n1a1\n", "aa"), "a=a");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 3\n1a1\n", "aaaa"), "a=aaa");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 3\nRIGHTHYPHENMIN 1\ns5s/sz=,1,1\n", "ass"), "asz=s");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 1\nb7a/=,1,1\n", "aba"), "a=a");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 2\na7bb/a=b,1,3\n", "cabb"), "ca=b");
  // Options replace the file's minimums.
  EXPECT_EQ(spelled("UTF-8\n1a1\n", "aaa", {.leftMin = 1, .rightMin = 1}), "a=a=a");
}

TEST(Dictionary, HyphensAndApostrophesJoinPartsWithTheirOwnMinimums) {
  // Without NEXTLEVEL a word is split at its hyphens first; parts keep the
  // compound minimums (else the word's, else 3) from the joint.
  const std::string_view dic = "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n1a1\n";
  EXPECT_EQ(spelled(dic, "aaaa-aaaa"), "a=a=aa=-=a=a=aa");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\nCOMPOUNDLEFTHYPHENMIN 2\n"
                    "COMPOUNDRIGHTHYPHENMIN 3\n1a1\n",
                    "aaaa-aaaa"),
            "a=aaa=-=aa=aa");
  EXPECT_EQ(spelled("UTF-8\n1a1\n", "aaaa’aaaa"), "aaaa=’=aaaa");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\nb1c\n", "ab'bc"), "ab='=bc");
}

TEST(Dictionary, NextLevelSplitsCompoundsAgainUntilNoJointIsLeft) {
  const std::string_view joints =
      "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n"
      "COMPOUNDLEFTHYPHENMIN 1\nCOMPOUNDRIGHTHYPHENMIN 1\n";
  // The first level's ".a1a" finds a joint at the start of every part.
  EXPECT_EQ(spelled(std::string(joints) + ".a1a\nNEXTLEVEL\nq1q\n", "aaaaa"), "a=a=a=aa");
  // Within a part nothing leaves a single letter at its end.
  EXPECT_EQ(spelled(std::string(joints) + "x1y\nNEXTLEVEL\n1a1\n", "xyaa"), "x=y=aa");
  EXPECT_EQ(spelled(std::string(joints) + "x1y\nNEXTLEVEL\n1a1\n", "aaxy"), "a=ax=y");
  // The compound minimums hold by the joints.
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\nCOMPOUNDLEFTHYPHENMIN 1\n"
                    "COMPOUNDRIGHTHYPHENMIN 3\nx1y\nNEXTLEVEL\n1a1\n",
                    "aaaxy"),
            "a=aax=y");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 3\nCOMPOUNDRIGHTHYPHENMIN 4\n"
                    "c1a\nb1c\nNEXTLEVEL\na1\n",
                    "caabc"),
            "ca=abc");
}

TEST(Dictionary, NoHyphenKeepsBreaksAwayFromItsStrings) {
  const std::string_view dic = "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\nNOHYPHEN x,yz\n1a1\n";
  EXPECT_EQ(spelled(dic, "axaa"), "axa=a");
  EXPECT_EQ(spelled(dic, "ayza"), "ayza");
  EXPECT_EQ(spelled(dic, "aqa"), "a=q=a");
}

TEST(Dictionary, LaterLinesForTheSameLettersWinAndDigitsInARowKeepTheLast) {
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\na1b\na0b\n", "ab"), "ab");
  EXPECT_EQ(spelled("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\na21b\n", "ab"), "a=b");
}

TEST(Dictionary, LongLinesAreReadInPiecesAsTheOfficeSuitesReadThem) {
  // The C library reads 99 bytes at a time: the rest of a longer comment
  // line is read as a pattern.
  const std::string dic =
      "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n%" + std::string(98, 'x') + "b1c and more words\n";
  EXPECT_EQ(spelled(dic, "abca"), "ab=ca");
  EXPECT_EQ(spelled(dic, "abca", {.officeLines = false}), "abca");
  // A piece that begins inside a character is a pattern after the
  // characters whose bytes end so ("а1д" of a Belarusian file, hidden by
  // the end of "м" and "ад" of a comment).
  const std::string cyrillic =
      "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\nа1д\n%" + std::string(97, 'x') + "мад\n";
  EXPECT_EQ(spelled(cyrillic, "мадна"), "мадна");
  EXPECT_EQ(spelled(cyrillic, "кадна"), "ка=дна");
  EXPECT_EQ(spelled(cyrillic, "мадна", {.officeLines = false}), "ма=дна");
}

TEST(Dictionary, ErrorsNameTheFileTheLineAndWhatIsWrong) {
  EXPECT_EQ(errorOf(""), "x.dic:1: the first line names no character set");
  EXPECT_EQ(errorOf("KLINGON-8\na1b\n"), "x.dic:1: unknown character set \"KLINGON-8\"");
  EXPECT_EQ(errorOf("UTF-8\na1b\nb\xC3(c\n"), "x.dic:3: invalid UTF-8 at byte offset 11");
  // 0x98 is no character in Windows-1251: found on the line it is on.
  EXPECT_EQ(errorOf("microsoft-cp1251\n\xE4"
                    "1\xE0\n\xE0\x98"
                    "1\n"),
            "x.dic:3: invalid microsoft-cp1251 at byte offset 22");
  EXPECT_EQ(errorOf("UTF-8\r\nLEFTHYPHENMIN two\r\n"), "x.dic:2: LEFTHYPHENMIN needs a number");
  EXPECT_EQ(errorOf("UTF-8\na1b c1d\n"), "x.dic:2: more than one pattern on a line");
  EXPECT_EQ(errorOf("UTF-8\nNEXTLEVEL\na1b\nNEXTLEVEL\n"), "x.dic:4: NEXTLEVEL a second time");
  EXPECT_EQ(errorOf("UTF-8\n12\n"), "x.dic:2: a pattern needs a letter");
  EXPECT_EQ(errorOf("UTF-8\na1b/sz=\n"),
            "x.dic:2: a non-standard pattern ends in /replacement,start,cut");
  EXPECT_EQ(errorOf("UTF-8\na1b/sz,1,1\n"),
            "x.dic:2: the replacement of a non-standard pattern has one \"=\"");
  EXPECT_EQ(errorOf("UTF-8\na1b/s=z,2,4\n"),
            "x.dic:2: the change of a non-standard pattern reaches past it");
  EXPECT_EQ(errorOf("UTF-8\nNOHYPHEN\n"),
            "x.dic:2: NOHYPHEN needs characters, separated by commas");
  EXPECT_EQ(errorOf("UTF-16\nx\n"),
            "x.dic:1: the character set \"UTF-16\" has characters of more than one byte; a "
            "dictionary's is UTF-8 or one of one byte a character");
  // Sets whose escapes change what the bytes after them mean read ASCII as
  // ASCII byte by byte, and are no dictionary's.
  EXPECT_EQ(errorOf("ISO-2022-JP\na1b\n"),
            "x.dic:1: the character set \"ISO-2022-JP\" shifts what bytes mean after its "
            "escapes; a dictionary's is UTF-8 or one of one byte a character");
  for (const char* stateful : {"ISO-2022-KR", "UTF-7"}) {
    EXPECT_TRUE(
        errorOf(std::string(stateful) + "\na1b\n").starts_with("x.dic:1: the character set"))
        << stateful;
  }
  // No letter is a NUL, in any character set.
  EXPECT_EQ(errorOf(std::string("UTF-8\nab\na\0"
                                "1b\n",
                                14)),
            "x.dic:3: a NUL at byte offset 10, which no letter is");
  EXPECT_EQ(errorOf(std::string("ISO8859-1\na\0"
                                "1b\n",
                                15)),
            "x.dic:2: a NUL at byte offset 11, which no letter is");
  // Where a line is read in the C library's pieces of 99 bytes, the error says so.
  EXPECT_EQ(errorOf("UTF-8\n" + std::string(95, 'a') + "1b/b=b,1,1\n"),
            "x.dic:2: a non-standard pattern ends in /replacement,start,cut (the line is read in "
            "pieces of 99 bytes, as the office suites' C library reads a longer one)");
  // What an error quotes of a file is shown, not echoed: escaped and cut.
  const std::string binary =
      "\x7F"
      "ELF\x02\x01\x01" +
      std::string(1 << 20, 'x') + "\n1a\n";
  EXPECT_EQ(errorOf(binary), "x.dic:1: unknown character set \"\\x7FELF\\x02\\x01\\x01" +
                                 std::string(53, 'x') + "\u2026\"");
}

TEST(Dictionary, AByteOrderMarkIsNoPartOfTheCharacterSet) {
  EXPECT_EQ(spelled("\xEF\xBB\xBFUTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\na1b\n", "ab"), "a=b");
}

TEST(Dictionary, LoadsFromAFileAndSaysWhenItCannot) {
  try {
    (void)loadDictionary("/nonexistent/hyph_xx.dic");
    FAIL() << "loaded a file that is not there";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "cannot read /nonexistent/hyph_xx.dic: No such file or directory");
  }
}

// A dictionary scores its first words from its pattern tables, and compiles
// each level into an automaton once it is warm: the two must agree on every
// word, spelling changes, compound joints, hyphens and letters beyond
// U+FFFF (which the automaton reads another way) included.
TEST(Dictionary, WarmDictionariesBreakAsColdOnes) {
  const std::string head = "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n";
  const std::string hungarian = "s5sz/sz=,1,1\nn5ny/ny=ny,1,3\n1sz\n1ny\no1\na1\n";
  const std::vector<std::string> dictionaries = {
      head + hungarian,                                                 // joints at hyphens only
      head + "COMPOUNDLEFTHYPHENMIN 2\no1ny\nNEXTLEVEL\n" + hungarian,  // two levels
      head + hungarian +
          "\xF0\x90\x90\xA8"
          "1\n1\xD0\xB4\n",                  // 𐐨 and д
      head + "NOHYPHEN sz,o\n" + hungarian,  // no break beside these
  };
  // Words over the letters the patterns know, a few of them compounds.
  const std::vector<std::string> letters = {
      "a", "o", "s", "z", "n", "y", "-", "\xF0\x90\x90\xA8", "\xD0\xB4", "A", "S"};
  std::vector<std::string> words;
  std::uint32_t seed = 12345;
  for (int w = 0; w < 400; ++w) {
    std::string word;
    const int length = 2 + w % 11;
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245 + 12345;
      word += letters[(seed >> 16) % letters.size()];
    }
    words.push_back(word);
  }
  // Minimums on both sides, and a right one that only a break after the
  // first letter may ignore.
  const std::vector<LoadOptions> minimums = {{},
                                             {.leftMin = 1, .rightMin = 3},
                                             {.leftMin = 2, .rightMin = 2},
                                             {.leftMin = 3, .rightMin = 1}};
  for (const std::string& dic : dictionaries) {
    for (const LoadOptions& options : minimums) {
      const Hyphenator h = readDictionary(dic, "x.dic", options);
      std::vector<std::string> cold;
      for (const std::string& word : words) cold.push_back(spellBreaks(h, word, "="));
      // Enough words for every level to compile.
      for (int round = 0; round < 10; ++round) {
        for (const std::string& word : words) (void)hyphenationPoints(h, word);
      }
      for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(spellBreaks(h, words[i], "="), cold[i]) << words[i];
      }
    }
  }
}

}  // namespace
}  // namespace morvane
