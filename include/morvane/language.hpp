#pragma once

#include <compare>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/cxx20.hpp"
#include "morvane/language_list.hpp"

namespace morvane {

/// The 73 languages (and variants) with built-in patterns, in catalogue
/// order; the ordinal is the position (0 to 72).
enum class Language : int {
#define MORVANE_ENUMERATOR(name, value, code, left, right) name,
  MORVANE_LANGUAGES(MORVANE_ENUMERATOR)
#undef MORVANE_ENUMERATOR
};

inline constexpr Language kFirstLanguage = Language::Afrikaans;
inline constexpr Language kLastLanguage = Language::Welsh;
inline constexpr int kLanguageCount = static_cast<int>(kLastLanguage) + 1;

/// The file code of the language's data ("en-us", "de-ch-1901").
[[nodiscard]] std::string_view languageAffix(Language language);

namespace detail {
/// Throws `Error` with the message `toEnum` gives for `ordinal`.
[[noreturn]] void throwOutOfRange(long long ordinal);
}  // namespace detail

/// The ordinal, 0 to 72. Every function that takes a `Language` checks it
/// this way: a value outside the 73 enumerators (`static_cast<Language>(73)`)
/// throws `Error` with the message of `toEnum`.
[[nodiscard]] constexpr int fromEnum(Language language) {
  const int ordinal = static_cast<int>(language);
  if (ordinal < 0 || ordinal >= kLanguageCount) detail::throwOutOfRange(ordinal);
  return ordinal;
}

// Comparison is by ordinal, as the built-in operators of an enum class do.
[[nodiscard]] constexpr std::strong_ordering compare(Language a, Language b) {
  return fromEnum(a) <=> fromEnum(b);
}
[[nodiscard]] constexpr Language min(Language a, Language b) {
  return fromEnum(b) < fromEnum(a) ? b : a;
}
[[nodiscard]] constexpr Language max(Language a, Language b) {
  return fromEnum(b) < fromEnum(a) ? a : b;
}

[[nodiscard]] constexpr Language minBound() { return kFirstLanguage; }
[[nodiscard]] constexpr Language maxBound() { return kLastLanguage; }

/// The language with ordinal `ordinal`; throws `Error` outside 0 to 72.
[[nodiscard]] Language toEnum(long long ordinal);
/// Next / previous by ordinal; throw `Error` past the last / before the first.
[[nodiscard]] Language succ(Language language);
[[nodiscard]] Language pred(Language language);
[[nodiscard]] std::vector<Language> enumFrom(Language from);
[[nodiscard]] std::vector<Language> enumFromTo(Language from, Language to);
[[nodiscard]] std::vector<Language> enumFromThen(Language from, Language then);
[[nodiscard]] std::vector<Language> enumFromThenTo(Language from, Language then, Language to);

/// The enumerator's name ("English_US"); the precedence is ignored.
[[nodiscard]] std::string show(Language language);
[[nodiscard]] std::string showsPrec(int precedence, Language language, std::string_view rest = {});
/// "[Afrikaans,Welsh]".
[[nodiscard]] std::string showList(std::span<const Language> languages, std::string_view rest = {});
std::ostream& operator<<(std::ostream& out, Language language);
std::ostream& operator<<(std::ostream& out, std::span<const Language> languages);
std::ostream& operator<<(std::ostream& out, const std::vector<Language>& languages);

/// The language whose file code is exactly `affix` ("de-ch-1901").
[[nodiscard]] std::optional<Language> languageFromAffix(std::string_view affix);
/// The language whose enumerator name is `name`, ignoring case ("norwegian_bokmal").
[[nodiscard]] std::optional<Language> languageFromName(std::string_view name);
/// The language for a BCP 47 tag ("en", "de-CH", "sr-Latn", "pt-BR"); case and
/// "_" for "-" do not matter. Nothing for an unknown tag: never a guess.
[[nodiscard]] std::optional<Language> languageFromTag(std::string_view tag);
/// The BCP 47 tags `languageFromTag` takes for `language`, as listed (lower
/// case); `languageFromTag` also takes each with a region added ("fr-ca").
[[nodiscard]] std::vector<std::string_view> languageTags(Language language);
/// Any of the three: file code, then enumerator name, then BCP 47 tag.
[[nodiscard]] std::optional<Language> findLanguage(std::string_view nameOrTag);

}  // namespace morvane
