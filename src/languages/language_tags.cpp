#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "morvane/language.hpp"

namespace morvane {

namespace {

using enum Language;

// BCP 47 tags, lower case, that name a language with built-in patterns. A
// tag not listed here is shortened by a trailing region subtag ("pt-br" →
// "pt") and tried again; script and variant subtags are never dropped, since
// they change which patterns apply ("sr-latn", "el-polyton").
constexpr std::pair<std::string_view, Language> kTags[] = {
    {"af", Afrikaans},
    {"am", Ethiopic},
    {"as", Assamese},
    {"bg", Bulgarian},
    {"bn", Bengali},
    {"ca", Catalan},
    {"cop", Coptic},
    {"cs", Czech},
    {"cy", Welsh},
    {"da", Danish},
    {"de", German_1996},
    {"de-1901", German_1901},
    {"de-1996", German_1996},
    {"de-at-1901", German_1901},
    {"de-at-1996", German_1996},
    {"de-ch", German_Swiss},
    {"de-ch-1901", German_Swiss},
    {"de-de-1901", German_1901},
    {"de-de-1996", German_1996},
    {"el", Greek_Mono},
    {"el-monoton", Greek_Mono},
    {"el-polyton", Greek_Poly},
    {"en", English_US},
    {"en-gb", English_GB},
    {"en-us", English_US},
    {"eo", Esperanto},
    {"es", Spanish},
    {"et", Estonian},
    {"eu", Basque},
    {"fi", Finnish},
    {"fr", French},
    {"fur", Friulan},
    {"ga", Irish},
    {"gl", Galician},
    {"grc", Greek_Ancient},
    {"gu", Gujarati},
    {"hi", Hindi},
    {"hr", Croatian},
    {"hsb", Uppersorbian},
    {"hu", Hungarian},
    {"hy", Armenian},
    {"ia", Interlingua},
    {"id", Indonesian},
    {"is", Icelandic},
    {"it", Italian},
    {"ka", Georgian},
    {"kmr", Kurmanji},
    {"kmr-latn", Kurmanji},
    {"kn", Kannada},
    {"la", Latin},
    {"la-x-classic", Latin_Classic},
    {"lt", Lithuanian},
    {"lv", Latvian},
    {"ml", Malayalam},
    {"mn", Mongolian},
    {"mn-cyrl", Mongolian},
    {"mr", Marathi},
    {"mul-ethi", Ethiopic},
    {"nb", Norwegian_Bokmal},
    {"nl", Dutch},
    {"nn", Norwegian_Nynorsk},
    {"no", Norwegian_Bokmal},
    {"oc", Occitan},
    {"or", Oriya},
    {"pa", Panjabi},
    {"pa-guru", Panjabi},
    {"pl", Polish},
    {"pms", Piedmontese},
    {"pt", Portuguese},
    {"rm", Romansh},
    {"ro", Romanian},
    {"ru", Russian},
    {"sa", Sanskrit},
    {"sh", Serbocroatian_Latin},
    {"sh-cyrl", Serbocroatian_Cyrillic},
    {"sh-latn", Serbocroatian_Latin},
    {"sk", Slovak},
    {"sl", Slovenian},
    {"sr", Serbian_Cyrillic},
    {"sr-cyrl", Serbian_Cyrillic},
    {"sr-latn", Serbocroatian_Latin},
    {"sv", Swedish},
    {"ta", Tamil},
    {"te", Telugu},
    {"th", Thai},
    {"ti", Ethiopic},
    {"tk", Turkmen},
    {"tr", Turkish},
    {"uk", Ukrainian},
    {"zh-latn", Chinese},
    {"zh-latn-pinyin", Chinese},
    {"el-gr", Greek_Mono},
    {"en-uk", English_GB},
    {"nb-no", Norwegian_Bokmal},
    {"nn-no", Norwegian_Nynorsk},
    {"de-li", German_Swiss},
};

std::string lowerCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return out;
}

std::optional<Language> exactTag(std::string_view tag) {
  for (const auto& [known, language] : kTags) {
    if (known == tag) return language;
  }
  return std::nullopt;
}

bool isRegionSubtag(std::string_view subtag) {
  const auto all = [&](auto predicate) {
    return std::all_of(subtag.begin(), subtag.end(), predicate);
  };
  return (subtag.size() == 2 && all([](char c) { return c >= 'a' && c <= 'z'; })) ||
         (subtag.size() == 3 && all([](char c) { return c >= '0' && c <= '9'; }));
}

}  // namespace

std::optional<Language> languageFromAffix(std::string_view affix) {
  for (int i = 0; i < kLanguageCount; ++i) {
    const auto language = static_cast<Language>(i);
    if (languageAffix(language) == affix) return language;
  }
  return std::nullopt;
}

std::optional<Language> languageFromName(std::string_view name) {
  const std::string wanted = lowerCase(name);
  for (int i = 0; i < kLanguageCount; ++i) {
    const auto language = static_cast<Language>(i);
    if (lowerCase(show(language)) == wanted) return language;
  }
  return std::nullopt;
}

std::optional<Language> languageFromTag(std::string_view tag) {
  std::string wanted = lowerCase(tag);
  std::replace(wanted.begin(), wanted.end(), '_', '-');
  while (!wanted.empty()) {
    if (auto found = exactTag(wanted)) return found;
    const std::size_t dash = wanted.rfind('-');
    if (dash == std::string::npos || !isRegionSubtag(std::string_view(wanted).substr(dash + 1))) {
      break;
    }
    wanted.resize(dash);
  }
  return std::nullopt;
}

std::vector<std::string_view> languageTags(Language language) {
  (void)fromEnum(language);  // checks it
  std::vector<std::string_view> tags;
  for (const auto& [tag, known] : kTags) {
    if (known == language) tags.push_back(tag);
  }
  return tags;
}

std::optional<Language> findLanguage(std::string_view nameOrTag) {
  if (auto found = languageFromAffix(nameOrTag)) return found;
  if (auto found = languageFromName(nameOrTag)) return found;
  return languageFromTag(nameOrTag);
}

}  // namespace morvane
