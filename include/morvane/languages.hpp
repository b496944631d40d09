#pragma once

#include "morvane/cxx20.hpp"
#include "morvane/hyphenator.hpp"
#include "morvane/language.hpp"

namespace morvane {

/// A new hyphenator for `language` from the built-in data. Cheap: its
/// character map, patterns and exceptions are each decompressed and parsed on
/// first use. Most callers want the shared `languageHyphenator` instead.
[[nodiscard]] Hyphenator loadHyphenator(Language language);

/// The language's shared hyphenator: built once, on first use (safely when
/// many threads ask at once), and kept for the life of the process.
[[nodiscard]] const Hyphenator& languageHyphenator(Language language);

/// A name for a language's shared hyphenator that costs nothing until used:
/// it converts to `const Hyphenator&`, so `hyphenate(english_US, word)` works.
struct LanguageHyphenator {
  Language language;
  // NOLINTNEXTLINE(google-explicit-constructor): stands for the hyphenator itself
  operator const Hyphenator&() const { return languageHyphenator(language); }
  [[nodiscard]] const Hyphenator& get() const { return languageHyphenator(language); }
};

#define MORVANE_NAMED_HYPHENATOR(name, value, code, left, right) \
  inline constexpr LanguageHyphenator value{Language::name};
MORVANE_LANGUAGES(MORVANE_NAMED_HYPHENATOR)
#undef MORVANE_NAMED_HYPHENATOR

}  // namespace morvane
