// Pattern text: parsing, scoring against the literal rules, and the algebra
// of combining tries.

#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"
#include "reference_hyphenator.hpp"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto text = [&] { return fuzzText(input, 1024); };
  const std::u32string first = text();
  const Patterns a = parsePatterns(first);
  const Patterns b = parsePatterns(text());
  const Patterns c = parsePatterns(text());

  MORVANE_FUZZ_CHECK(show(a) == show(parsePatterns(first)));
  MORVANE_FUZZ_CHECK(show(a) == show(Patterns(a.scores(), a.children())));
  MORVANE_FUZZ_CHECK(((a | b) | c) == (a | (b | c)));
  MORVANE_FUZZ_CHECK((a | Patterns()) == a && (Patterns() | a) == a && (a | a) == a);

  for (int i = 0; i < 4 && input.remaining_bytes() > 0; ++i) {
    const std::u32string word = fuzzText(input, 64);
    MORVANE_FUZZ_CHECK(lookupPattern(word, a) == reference::lookupPattern(word, a));
    MORVANE_FUZZ_CHECK(lookupPattern(word, a | b) == reference::lookupPattern(word, a | b));
  }
  return 0;
}
