#include "morvane/language.hpp"

#include <array>
#include <ostream>

#include "common/show_text.hpp"
#include "morvane/error.hpp"

namespace morvane {

namespace {

constexpr std::array<std::string_view, kLanguageCount> kNames = {
#define MORVANE_NAME(name, value, code, left, right) #name,
    MORVANE_LANGUAGES(MORVANE_NAME)
#undef MORVANE_NAME
};

constexpr std::array<std::string_view, kLanguageCount> kAffixes = {
#define MORVANE_AFFIX(name, value, code, left, right) code,
    MORVANE_LANGUAGES(MORVANE_AFFIX)
#undef MORVANE_AFFIX
};

constexpr int kLast = kLanguageCount - 1;

std::size_t indexOf(Language language) { return static_cast<std::size_t>(fromEnum(language)); }

/// Ordinals from, from + step, … while within [0, 72] and not beyond `limit`.
std::vector<Language> arithmetic(int from, int step, int limit) {
  std::vector<Language> result;
  if (step == 0) {
    if (limit < from) return result;
    throw Error("enumFromThen{Language}: a step of zero never ends");
  }
  for (long long at = from; step > 0 ? at <= limit : at >= limit; at += step) {
    result.push_back(static_cast<Language>(at));
  }
  return result;
}

}  // namespace

std::string_view languageAffix(Language language) { return kAffixes.at(indexOf(language)); }

void detail::throwOutOfRange(long long ordinal) {
  throw Error("toEnum{Language}: tag (" + std::to_string(ordinal) +
              ") is outside of enumeration's range (0," + std::to_string(kLast) + ")");
}

Language toEnum(long long ordinal) {
  if (ordinal < 0 || ordinal > kLast) detail::throwOutOfRange(ordinal);
  return static_cast<Language>(ordinal);
}

Language succ(Language language) {
  if (fromEnum(language) == kLast) {
    throw Error("succ{Language}: tried to take `succ' of last tag in enumeration");
  }
  return static_cast<Language>(fromEnum(language) + 1);
}

Language pred(Language language) {
  if (fromEnum(language) == 0) {
    throw Error("pred{Language}: tried to take `pred' of first tag in enumeration");
  }
  return static_cast<Language>(fromEnum(language) - 1);
}

std::vector<Language> enumFrom(Language from) { return enumFromTo(from, kLastLanguage); }

std::vector<Language> enumFromTo(Language from, Language to) {
  const int first = fromEnum(from);
  return arithmetic(first, 1, fromEnum(to));
}

std::vector<Language> enumFromThen(Language from, Language then) {
  return enumFromThenTo(from, then,
                        fromEnum(then) < fromEnum(from) ? kFirstLanguage : kLastLanguage);
}

std::vector<Language> enumFromThenTo(Language from, Language then, Language to) {
  const int first = fromEnum(from);  // checked in argument order
  const int second = fromEnum(then);
  return arithmetic(first, second - first, fromEnum(to));
}

namespace {

// The name alone: no parentheses at any precedence.
void appendShow(std::string& out, int /*precedence*/, const Language& language) {
  out += kNames.at(indexOf(language));
}

using Shows = detail::Shows<Language, appendShow>;

}  // namespace

std::string show(Language language) { return showsPrec(0, language); }

std::string showsPrec(int precedence, Language language, std::string_view rest) {
  return Shows::showsPrec(precedence, language, rest);
}

std::string showList(std::span<const Language> languages, std::string_view rest) {
  return Shows::showList(languages, rest);
}

std::ostream& operator<<(std::ostream& out, Language language) {
  return out << kNames.at(indexOf(language));
}

std::ostream& operator<<(std::ostream& out, std::span<const Language> languages) {
  return out << showList(languages);
}

std::ostream& operator<<(std::ostream& out, const std::vector<Language>& languages) {
  return out << showList(languages);
}

}  // namespace morvane
