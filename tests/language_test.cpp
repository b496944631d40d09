#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <sstream>

#include "morvane/core.hpp"

namespace morvane {
namespace {

using enum Language;

std::string errorOf(auto&& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

TEST(Language, OrdinalsFollowTheCatalogue) {
  EXPECT_EQ(fromEnum(Afrikaans), 0);
  EXPECT_EQ(fromEnum(English_US), 13);
  EXPECT_EQ(fromEnum(English_GB), 14);
  EXPECT_EQ(fromEnum(Welsh), 72);
  EXPECT_TRUE(English_US < English_GB);
  EXPECT_TRUE(Latin < Latin_Classic);
  EXPECT_EQ(compare(Welsh, Afrikaans), std::strong_ordering::greater);
  EXPECT_EQ(min(Welsh, Thai), Thai);
  EXPECT_EQ(max(Welsh, Thai), Welsh);
  EXPECT_EQ(minBound(), Afrikaans);
  EXPECT_EQ(maxBound(), Welsh);
  for (const Language l : enumFrom(Afrikaans)) EXPECT_EQ(toEnum(fromEnum(l)), l);
  EXPECT_EQ(enumFrom(Afrikaans).size(), 73U);
}

TEST(Language, EnumerationFailsWithExactMessages) {
  EXPECT_EQ(errorOf([] { (void)toEnum(73); }),
            "toEnum{Language}: tag (73) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([] { (void)toEnum(-1); }),
            "toEnum{Language}: tag (-1) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([] { (void)succ(Welsh); }),
            "succ{Language}: tried to take `succ' of last tag in enumeration");
  EXPECT_EQ(errorOf([] { (void)pred(Afrikaans); }),
            "pred{Language}: tried to take `pred' of first tag in enumeration");
  EXPECT_EQ(succ(English_US), English_GB);
  EXPECT_EQ(pred(English_GB), English_US);
}

TEST(Language, ValuesOutsideTheCatalogueAreErrors) {
  const std::string message73 =
      "toEnum{Language}: tag (73) is outside of enumeration's range (0,72)";
  const auto bad = static_cast<Language>(73);
  EXPECT_EQ(errorOf([&] { (void)languageAffix(bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)show(bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)showsPrec(11, bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)showList(std::vector<Language>{Welsh, bad}); }), message73);
  EXPECT_EQ(errorOf([&] {
              std::ostringstream out;
              out << bad;
            }),
            message73);
  EXPECT_EQ(errorOf([&] { (void)languageHyphenator(bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)loadHyphenator(bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)fromEnum(bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)compare(bad, Welsh); }), message73);
  EXPECT_EQ(errorOf([&] { (void)min(Welsh, bad); }), message73);
  EXPECT_EQ(errorOf([&] { (void)max(bad, Welsh); }), message73);
  EXPECT_EQ(errorOf([] { (void)succ(static_cast<Language>(500)); }),
            "toEnum{Language}: tag (500) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([] { (void)pred(static_cast<Language>(-1)); }),
            "toEnum{Language}: tag (-1) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([] { (void)enumFrom(static_cast<Language>(-7)); }),
            "toEnum{Language}: tag (-7) is outside of enumeration's range (0,72)");
  const auto lowest = static_cast<Language>(std::numeric_limits<int>::min());
  const auto highest = static_cast<Language>(std::numeric_limits<int>::max());
  EXPECT_EQ(errorOf([&] { (void)enumFromThenTo(lowest, highest, Welsh); }),
            "toEnum{Language}: tag (-2147483648) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([&] { (void)enumFromThen(Welsh, highest); }),
            "toEnum{Language}: tag (2147483647) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([&] { (void)enumFromTo(Afrikaans, highest); }),
            "toEnum{Language}: tag (2147483647) is outside of enumeration's range (0,72)");
}

TEST(Language, RangesAndSteps) {
  EXPECT_EQ(enumFrom(Welsh), std::vector<Language>{Welsh});
  EXPECT_TRUE(enumFromTo(Welsh, Afrikaans).empty());
  EXPECT_EQ(enumFromTo(English_US, Esperanto),
            (std::vector<Language>{English_US, English_GB, Esperanto}));
  EXPECT_EQ(enumFromThen(Afrikaans, Welsh), (std::vector<Language>{Afrikaans, Welsh}));
  EXPECT_EQ(enumFromThen(Welsh, Uppersorbian).size(), 73U);
  EXPECT_EQ(enumFromThen(Welsh, Ukrainian).size(), 37U);
  EXPECT_EQ(enumFromThen(Welsh, Ukrainian).back(), Afrikaans);
  EXPECT_EQ(enumFromThenTo(Afrikaans, Assamese, Bengali),
            (std::vector<Language>{Afrikaans, Assamese, Bengali}));
  EXPECT_EQ(enumFromThenTo(Bengali, Assamese, Armenian),
            (std::vector<Language>{Bengali, Assamese}));
  // A zero step never ends: refused rather than running out of memory.
  EXPECT_THROW((void)enumFromThen(Thai, Thai), Error);
  EXPECT_TRUE(enumFromThenTo(Thai, Thai, Afrikaans).empty());
}

TEST(Language, ShowsItsOwnName) {
  EXPECT_EQ(show(English_US), "English_US");
  EXPECT_EQ(show(Norwegian_Bokmal), "Norwegian_Bokmal");
  EXPECT_EQ(showsPrec(11, Welsh, " x"), "Welsh x");
  const std::vector<Language> list{Afrikaans, Welsh};
  EXPECT_EQ(showList(list), "[Afrikaans,Welsh]");
  std::ostringstream out;
  out << list << ' ' << German_Swiss;
  EXPECT_EQ(out.str(), "[Afrikaans,Welsh] German_Swiss");
}

TEST(Language, AffixesAreTheFileCodes) {
  EXPECT_EQ(languageAffix(German_Swiss), "de-ch-1901");
  EXPECT_EQ(languageAffix(Chinese), "zh-latn-pinyin");
  EXPECT_EQ(languageAffix(Latin_Classic), "la-x-classic");
  EXPECT_EQ(languageAffix(Ethiopic), "mul-ethi");
  std::set<std::string_view> codes;
  for (const Language l : enumFrom(Afrikaans)) codes.insert(languageAffix(l));
  EXPECT_EQ(codes.size(), 73U);
}

TEST(FindLanguage, ByAffixNameOrTag) {
  EXPECT_EQ(languageFromAffix("de-ch-1901"), German_Swiss);
  EXPECT_EQ(languageFromAffix("DE-CH-1901"), std::nullopt);
  EXPECT_EQ(languageFromName("norwegian_bokmal"), Norwegian_Bokmal);
  EXPECT_EQ(languageFromName("English_US"), English_US);
  EXPECT_EQ(languageFromName("English"), std::nullopt);
  const std::vector<std::pair<std::string_view, Language>> tags{{"en", English_US},
                                                                {"en-US", English_US},
                                                                {"en-GB", English_GB},
                                                                {"en_gb", English_GB},
                                                                {"de", German_1996},
                                                                {"de-DE", German_1996},
                                                                {"de-AT", German_1996},
                                                                {"de-CH", German_Swiss},
                                                                {"de-1901", German_1901},
                                                                {"nb", Norwegian_Bokmal},
                                                                {"no", Norwegian_Bokmal},
                                                                {"nn", Norwegian_Nynorsk},
                                                                {"sr", Serbian_Cyrillic},
                                                                {"sr-Latn", Serbocroatian_Latin},
                                                                {"sr-Latn-RS", Serbocroatian_Latin},
                                                                {"el", Greek_Mono},
                                                                {"el-polyton", Greek_Poly},
                                                                {"la", Latin},
                                                                {"pt-BR", Portuguese},
                                                                {"fr-CA", French},
                                                                {"mn", Mongolian}};
  for (const auto& [tag, language] : tags) EXPECT_EQ(languageFromTag(tag), language) << tag;
  for (const std::string_view unknown :
       {"", "xx", "zh", "zh-Hans", "mn-Mong", "de-CH-1996", "en-", "-"}) {
    EXPECT_EQ(languageFromTag(unknown), std::nullopt) << unknown;
  }
  EXPECT_EQ(findLanguage("hu"), Hungarian);
  EXPECT_EQ(findLanguage("Welsh"), Welsh);
  EXPECT_EQ(findLanguage("pt-BR"), Portuguese);
  EXPECT_EQ(findLanguage("Klingon"), std::nullopt);
}

}  // namespace
}  // namespace morvane
