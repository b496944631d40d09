// Pattern files of TeX, their line files, and user exceptions.

#include "morvane/files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/utf8.hpp"
#include "languages/loader.hpp"
#include "morvane/error.hpp"
#include "morvane/languages.hpp"
#include "test_support.hpp"

namespace morvane {
namespace {

using testing_support::joined;

/// The error message of `load()`, or "" when it loads.
template <class Load>
std::string errorOf(Load load) {
  try {
    (void)load();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

std::string pieces(const Hyphenator& h, std::string_view word) {
  return joined(hyphenate(h, word));
}

/// A folder of files, removed at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("morvane-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::filesystem::path write(const std::string& name, std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

/// A TeX file as the hyph-utf8 collection writes one, from a built-in
/// language's own data.
std::string texFileOf(Language language) {
  const std::string affix(languageAffix(language));
  const Hyphenator& h = languageHyphenator(language);
  std::string tex = "% title: the patterns of " + affix +
                    "\n% hyphenmins:\n%     generation:\n%         left: 9\n%     typesetting:\n"
                    "%         left: " +
                    std::to_string(hyphenatorLeftMin(h)) +
                    "\n%         right: " + std::to_string(hyphenatorRightMin(h)) +
                    "\n% done: yes\n\\patterns{\n";
  tex += detail::encodeUtf8(detail::embeddedText("hyph-" + affix + ".pat.txt.gz"));
  tex += "}\n\\hyphenation{ % the exceptions\n";
  tex += detail::encodeUtf8(detail::embeddedText("hyph-" + affix + ".hyp.txt.gz"));
  tex += "}\n";
  return tex;
}

class TexOfBuiltInData : public testing::TestWithParam<Language> {};

TEST_P(TexOfBuiltInData, BreaksEveryGoldenWordAsTheBuiltInLanguage) {
  const Language language = GetParam();
  const Hyphenator loaded = readTexPatterns(texFileOf(language), "hyph.tex");
  EXPECT_EQ(hyphenatorLeftMin(loaded), hyphenatorLeftMin(languageHyphenator(language)));
  EXPECT_EQ(hyphenatorRightMin(loaded), hyphenatorRightMin(languageHyphenator(language)));
  int failures = 0;
  const auto lines = testing_support::readGolden(language);
  for (const auto& [word, expected] : lines) {
    const std::string got = pieces(loaded, word);
    const std::string builtIn = pieces(languageHyphenator(language), word);
    if (got != builtIn && ++failures <= 10) {
      ADD_FAILURE() << languageAffix(language) << ": " << word << " loaded " << got << ", built in "
                    << builtIn;
    }
  }
  EXPECT_EQ(failures, 0) << failures << " of " << lines.size();
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, TexOfBuiltInData, testing::ValuesIn(enumFrom(minBound())),
                         [](const auto& info) { return show(info.param); });

TEST(TexFile, ReadsGroupsCommentsAndTexNotation) {
  const Hyphenator h = readTexPatterns(
      "\\message{Patterns {nested} for a test}  % a comment with \\patterns{x1x}\n"
      "\\lefthyphenmin=1 \\righthyphenmin 1\n"
      "\\patterns{ % the patterns\n"
      "  a1b c1^^e9  ^^^^00e81d\n"
      "}\n"
      "\\hyphenation{ab-cab}\n"
      "\\endinput\n"
      "\\patterns{b1c}\n",
      "test.tex");
  EXPECT_EQ(hyphenatorLeftMin(h), 1);
  EXPECT_EQ(pieces(h, "abcab"), "ab-cab");  // the exception
  EXPECT_EQ(pieces(h, "abcb"), "a-bcb");    // b1c came after \endinput
  EXPECT_EQ(pieces(h, "cé"), "c-é");
  EXPECT_EQ(pieces(h, "èd"), "è-d");
  EXPECT_EQ(pieces(h, "CÉ"), "C-É");  // capitals break as their letters
}

TEST(TexFile, TakesTheHeadersTypesettingMinimumsElseTexs) {
  const Hyphenator named = readTexPatterns(
      "% hyphenmins:\n%   generation:\n%     left: 5\n%     right: 5\n%   typesetting:\n"
      "%     left: 1\n%     right: 4\n\\patterns{1a1}",
      "t.tex");
  EXPECT_EQ(hyphenatorLeftMin(named), 1);
  EXPECT_EQ(hyphenatorRightMin(named), 4);
  const Hyphenator plain = readTexPatterns("\\patterns{1a1}", "t.tex");
  EXPECT_EQ(hyphenatorLeftMin(plain), 2);
  EXPECT_EQ(hyphenatorRightMin(plain), 3);
  const Hyphenator given =
      readTexPatterns("\\patterns{1a1}", "t.tex", {.leftMin = 1, .rightMin = 1});
  EXPECT_EQ(pieces(given, "aaa"), "a-a-a");
}

TEST(TexFile, ErrorsNameTheFileTheLineAndWhatIsWrong) {
  const auto read = [](std::string text) {
    return errorOf([&] { return readTexPatterns(text, "x.tex"); });
  };
  EXPECT_EQ(read("\\patterns{\na12b}"), "x.tex:2: two digits in a row in a pattern");
  EXPECT_EQ(read("\n\n\\patterns{a1b\n"), "x.tex:3: \\patterns{ with no } after it");
  EXPECT_EQ(read("}"), "x.tex:1: a } with no { before it");
  EXPECT_EQ(read("\\patterns{a1b \\relax}"), "x.tex:1: a control sequence inside \\patterns{…}");
  EXPECT_EQ(read("\\patterns{a1b\n1a1b}"),
            "x.tex:2: a second pattern with the letters of \"1a1b\" (the first is at x.tex:1)");
  EXPECT_EQ(read("\\patterns{12}"), "x.tex:1: a pattern needs a letter");
  EXPECT_EQ(read("\\patterns{a.b}"), "x.tex:1: a dot inside a pattern, not at an end");
  EXPECT_EQ(read("\\hyphenation{ab--c}"), "x.tex:1: two hyphens in a row in an exception");
  EXPECT_EQ(read("\\patterns{a^^}"), "x.tex:1: a ^^ that names no character");
  EXPECT_EQ(read("\\patterns{\na1b\n\xff}"), "x.tex:3: invalid UTF-8 at byte offset 15");
  EXPECT_EQ(read("\\input hyph-xx"),
            "x.tex:1: \\input hyph-xx: text read from memory has no files beside it");
  EXPECT_EQ(read("\\patterns a1b"), "x.tex:1: \\patterns needs a { after it");
  // No letter is a NUL or a surrogate, however it is written.
  EXPECT_EQ(read("\\patterns{a1b a^^@b}"),
            "x.tex:1: U+0000 at byte offset 14, a NUL or a surrogate, which no letter is");
  EXPECT_EQ(read("\\patterns{\nab1 ^^^^d800}"),
            "x.tex:2: U+D800 at byte offset 15, a NUL or a surrogate, which no letter is");
  EXPECT_EQ(read(std::string("\\patterns{a\0"
                             "1b}",
                             15)),
            "x.tex:1: U+0000 at byte offset 11, a NUL or a surrogate, which no letter is");
  // What an error quotes of a file is escaped and cut short.
  EXPECT_EQ(read("\\input \x01" + std::string(500, 'y')),
            "x.tex:1: \\input \\x01" + std::string(59, 'y') +
                "\u2026: text read from memory has no files beside it");
}

TEST(PatternFiles, AByteOrderMarkStartsNoEntry) {
  const TempFolder folder;
  const auto patterns = folder.write("hyph-xx.pat.txt",
                                     "\xEF\xBB\xBF"
                                     "a1b\n");
  folder.write("hyph-xx.hyp.txt",
               "\xEF\xBB\xBF"
               "ab-cab\n");
  const Hyphenator h = loadPatterns(patterns, {.leftMin = 1, .rightMin = 1});
  EXPECT_EQ(pieces(h, "ab"), "a-b");
  EXPECT_EQ(pieces(h, "abcab"), "ab-cab");
  const auto exceptions = folder.write("mine.txt",
                                       "\xEF\xBB\xBF"
                                       "hy-phen-a-tion\n");
  EXPECT_EQ(pieces(loadExceptions(english_US, exceptions), "hyphenation"), "hy-phen-a-tion");
  EXPECT_EQ(
      pieces(readTexPatterns("\xEF\xBB\xBF\\patterns{a1b}", "x.tex", {.leftMin = 1, .rightMin = 1}),
             "ab"),
      "a-b");
  const auto nul = folder.write("nul.pat.txt", std::string("a1b\nc\0"
                                                           "1d\n",
                                                           9));
  EXPECT_EQ(errorOf([&] { return loadPatterns(nul); }),
            nul.string() + ":2: a NUL at byte offset 5, which no letter is");
}

TEST(PatternFiles, InputFindsFilesBesideTheOneThatNamesThem) {
  const TempFolder folder;
  folder.write("hyph-xx.tex", "\\patterns{a1b}\n\\hyphenation{aa-bb}\n");
  const auto loader = folder.write("loadhyph-xx.tex",
                                   "\\lefthyphenmin=1 \\righthyphenmin=1\n"
                                   "\\input hyph-xx\n");
  const Hyphenator h = loadPatterns(loader);
  EXPECT_EQ(pieces(h, "ab"), "a-b");
  EXPECT_EQ(pieces(h, "aabb"), "aa-bb");
  // A file is read once however often it is named: a loop ends, and files
  // that each name the next four times, ten deep, are read ten times, not
  // a million.
  const auto loop = folder.write("loop.tex", "\\input loop.tex \\patterns{b1c}\n");
  EXPECT_EQ(pieces(loadPatterns(loop, {.leftMin = 1, .rightMin = 1}), "bc"), "b-c");
  for (int i = 0; i < 10; ++i) {
    const std::string next = "fan" + std::to_string(i + 1);
    folder.write("fan" + std::to_string(i) + ".tex", i == 9 ? "\\patterns{c1d}"
                                                            : "\\input " + next + " \\input " +
                                                                  next + " \\input " + next +
                                                                  " \\input " + next + "\n");
  }
  EXPECT_EQ(pieces(loadPatterns(folder.path() / "fan0.tex", {.leftMin = 1, .rightMin = 1}), "cd"),
            "c-d");
  // A missing file is named, with the place of the \\input that names it.
  const auto missing = folder.write("missing.tex", "\\relax\n\\input nowhere.tex\n");
  EXPECT_EQ(errorOf([&] { return loadPatterns(missing); }),
            missing.string() + ":2: \\input nowhere.tex: cannot read " +
                (folder.path() / "nowhere.tex").string() + ": No such file or directory");
  // Only files beside the one that names them, or in folders below it,
  // unless the caller allows more.
  folder.write("sub/inner.tex", "\\patterns{d1e}");
  const auto below = folder.write("below.tex", "\\input sub/inner");
  EXPECT_EQ(pieces(loadPatterns(below, {.leftMin = 1, .rightMin = 1}), "de"), "d-e");
  const auto up = folder.write("sub/up.tex", "\\input ../hyph-xx");
  EXPECT_NE(errorOf([&] {
              return loadPatterns(up);
            }).find("up.tex:1: \\input ../hyph-xx: not read: it is outside the folder"),
            std::string::npos);
  EXPECT_EQ(pieces(loadPatterns(up, {.leftMin = 1, .rightMin = 1, .inputAnywhere = true}), "ab"),
            "a-b");
  const auto passwd = folder.write("passwd.tex", "\\input /etc/passwd");
  EXPECT_NE(errorOf([&] { return loadPatterns(passwd); }).find("not read: it is outside"),
            std::string::npos);
}

TEST(PatternFiles, LineFilesTakeTheExceptionsBesideThemAndAreStrict) {
  const TempFolder folder;
  const auto patterns = folder.write("hyph-xx.pat.txt", "a1b\r\n\r\n  b1c  \r\n");
  folder.write("hyph-xx.hyp.txt", "ab-cab\n");
  const Hyphenator h = loadPatterns(patterns, {.leftMin = 1, .rightMin = 1});
  EXPECT_EQ(pieces(h, "abcab"), "ab-cab");
  EXPECT_EQ(pieces(h, "abcb"), "a-b-cb");
  const auto twoOnALine = folder.write("bad.pat.txt", "a1b\nb1c c1d\n");
  EXPECT_EQ(errorOf([&] { return loadPatterns(twoOnALine); }),
            twoOnALine.string() + ":2: white space in a pattern");
  const auto badException = folder.write("bad.hyp.txt", "ok-ay\n-no\n");
  EXPECT_EQ(errorOf([&] { return loadExceptions(h, badException); }),
            badException.string() + ":2: an exception needs letters on both sides of every hyphen");
}

TEST(PatternFiles, SeveralFilesMakeOneSetOfPatterns) {
  const TempFolder folder;
  const std::vector<std::filesystem::path> files{
      folder.write("a.tex", "\\lefthyphenmin=1 \\righthyphenmin=1 \\patterns{a1b}"),
      folder.write("b.pat.txt", "b1c\n")};
  const Hyphenator h = loadPatterns(files);
  EXPECT_EQ(pieces(h, "abc"), "a-b-c");
  const auto clash = folder.write("c.pat.txt", "1a1b\n");
  const std::vector<std::filesystem::path> clashing{files[0], clash};
  EXPECT_EQ(errorOf([&] { return loadPatterns(clashing); }),
            clash.string() + ":1: a second pattern with the letters of \"1a1b\" (the first is at " +
                files[0].string() + ":1)");
}

TEST(PatternFiles, TheProjectsOwnDataLoadsAsTheBuiltInLanguage) {
  const std::filesystem::path data(MORVANE_SOURCE_DATA_DIR);
  const Hyphenator h =
      loadPatterns(data / "hyph-de-1996.pat.txt.gz", {.leftMin = 2, .rightMin = 2});
  for (const auto& [word, expected] : testing_support::readGolden(Language::German_1996)) {
    ASSERT_EQ(pieces(h, word), pieces(languageHyphenator(Language::German_1996), word)) << word;
  }
}

TEST(UserExceptions, MatchEveryCapitalisationAndComeBeforeTheLanguagesOwn) {
  const Hyphenator& english = languageHyphenator(Language::English_US);
  ASSERT_EQ(pieces(english, "associate"), "as-so-ciate");  // the language's own exception
  ASSERT_EQ(pieces(english, "hyphenation"), "hy-phen-ation");
  ASSERT_EQ(pieces(english, "present"), "present");
  const Hyphenator h =
      withExceptions(english, std::string_view("associ-ate\nHyphenation\nta-b-le\npre-sent\n"));
  EXPECT_EQ(pieces(h, "associate"), "associ-ate");
  EXPECT_EQ(pieces(h, "ASSOCIATE"), "ASSOCI-ATE");
  EXPECT_EQ(pieces(h, "Hyphenation"), "Hyphenation");  // no hyphen: never broken
  EXPECT_EQ(pieces(h, "HYPHENATION"), "HYPHENATION");
  EXPECT_EQ(pieces(h, "Present"), "Pre-sent");
  EXPECT_EQ(pieces(h, "Table"), "Ta-ble");  // the minimums hold for the user's entries too
  EXPECT_EQ(pieces(h, "hyphenated"), pieces(english, "hyphenated"));  // the rest as before
  // The language's hyphenator is unchanged.
  EXPECT_EQ(pieces(english, "associate"), "as-so-ciate");
}

TEST(UserExceptions, ApplyOnTopOfLoadedPatternsAndComeFromFiles) {
  const TempFolder folder;
  const Hyphenator loaded = readTexPatterns("\\patterns{1a1}\\hyphenation{ba-na-na}", "t.tex",
                                            {.leftMin = 1, .rightMin = 1});
  ASSERT_EQ(pieces(loaded, "banana"), "ba-na-na");
  const auto lines = folder.write("mine.txt", "bana-na\n");
  EXPECT_EQ(pieces(loadExceptions(loaded, lines), "BANANA"), "BANA-NA");
  const auto tex = folder.write("mine.tex", "\\hyphenation{b-anana}");
  EXPECT_EQ(pieces(loadExceptions(loaded, tex), "banana"), "b-anana");
  const auto patterns = folder.write("patterns.tex", "\\patterns{a1b}");
  EXPECT_EQ(
      errorOf([&] { return loadExceptions(loaded, patterns); }),
      patterns.string() + ": \\patterns in a file of exceptions, which has only \\hyphenation{…}");
}

}  // namespace
}  // namespace morvane
