#include "languages/loader.hpp"

#include <array>
#include <string>

#include "common/utf8.hpp"
#include "engine/make_hyphenator.hpp"
#include "engine/pattern_builder.hpp"
#include "engine/pattern_table.hpp"
#include "languages/embedded_store.hpp"
#include "morvane/error.hpp"
#include "morvane/languages.hpp"

namespace morvane {

namespace detail {

std::u32string embeddedText(const std::string& name) {
  return decodeUtf8Lenient(embeddedBytes(name));
}

}  // namespace detail

namespace {

using detail::embeddedBytes;
using detail::embeddedText;

struct Minimums {
  std::int64_t left;
  std::int64_t right;
};

constexpr std::array<Minimums, kLanguageCount> kMinimums = {{
#define MORVANE_MINIMUMS(name, value, code, left, right) {left, right},
    MORVANE_LANGUAGES(MORVANE_MINIMUMS)
#undef MORVANE_MINIMUMS
}};

/// Each line "hX" maps X to h; later lines win. A longer line pairs a letter
/// with its multi-character capital ("ßSS", "ΐΪ́"): the characters of that
/// capital are not variants of the letter, so the line maps nothing.
CharFunction charFunctionFrom(std::u32string_view text) {
  std::vector<std::pair<char32_t, char32_t>> pairs;
  detail::forEachLine(text, [&pairs](std::u32string_view line) {
    if (line.size() == 2) pairs.emplace_back(line[1], line[0]);
  });
  return CharFunction(CharMap(pairs));
}

}  // namespace

Hyphenator loadHyphenator(Language language) {
  const std::string stem = "hyph-" + std::string(languageAffix(language));
  const std::string patternFile = stem + ".pat.txt.gz";
  const Minimums minimums = kMinimums.at(static_cast<std::size_t>(fromEnum(language)));
  return detail::hyphenatorOfTable(
      Lazy<CharFunction>(
          [file = stem + ".chr.txt.gz"] { return charFunctionFrom(embeddedText(file)); }),
      Lazy<Patterns>([patternFile] { return parsePatterns(embeddedText(patternFile)); }),
      Lazy<Exceptions>(
          [file = stem + ".hyp.txt.gz"] { return parseExceptions(embeddedText(file)); }),
      minimums.left, minimums.right,
      // Scoring compiles the pattern text directly, never building the trie.
      Lazy<std::shared_ptr<const detail::PatternTable>>([patternFile] {
        detail::PatternBuilder builder;
        builder.addLenientUtf8Text(embeddedBytes(patternFile));
        return std::make_shared<const detail::PatternTable>(builder);
      }));
}

const Hyphenator& languageHyphenator(Language language) {
  static std::array<detail::OnceCell<Hyphenator>, kLanguageCount> shared;
  return shared.at(static_cast<std::size_t>(fromEnum(language))).get([language] {
    return loadHyphenator(language);
  });
}

}  // namespace morvane
