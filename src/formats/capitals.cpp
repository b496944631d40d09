#include "formats/capitals.hpp"

#include <algorithm>

#include "morvane/case_mapping.hpp"

namespace morvane::detail {

std::vector<std::pair<char32_t, char32_t>> capitalsOf(std::u32string_view letters) {
  const CaseMapping cases = caseMapping();
  std::vector<char32_t> sorted(letters.begin(), letters.end());
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<std::pair<char32_t, char32_t>> pairs;
  for (const char32_t letter : sorted) {
    for (const char32_t capital : {cases.upper(letter), cases.title(letter)}) {
      if (capital != letter && !std::binary_search(sorted.begin(), sorted.end(), capital)) {
        pairs.emplace_back(capital, letter);
      }
    }
  }
  return pairs;
}

std::u32string upperCase(std::u32string_view text) {
  const CaseMapping cases = caseMapping();
  std::u32string out(text);
  for (char32_t& c : out) c = cases.upper(c);
  return out;
}

std::u32string lowerCase(std::u32string_view text) {
  const CaseMapping cases = caseMapping();
  std::u32string out(text);
  for (char32_t& c : out) c = cases.lower(c);
  return out;
}

}  // namespace morvane::detail
