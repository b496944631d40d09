// Exception text: parsing, look-up, zipMin and the algebra of combining tables.

#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto text = [&] { return fuzzText(input, 1024); };
  const std::u32string first = text();
  const Exceptions a = parseExceptions(first);
  const Exceptions b = parseExceptions(text());
  const Exceptions c = parseExceptions(text());

  MORVANE_FUZZ_CHECK(show(a) == show(parseExceptions(first)));
  if (!first.empty() && first.back() != U'\n')
    MORVANE_FUZZ_CHECK(a == parseExceptions(first + U"\n"));
  MORVANE_FUZZ_CHECK(((a | b) | c) == (a | (b | c)));
  MORVANE_FUZZ_CHECK((a | Exceptions()) == a && (Exceptions() | a) == a && (a | a) == a);

  for (const auto& [key, scores] : a.entries()) {
    MORVANE_FUZZ_CHECK(key.find(U'-') == std::u32string::npos);
    MORVANE_FUZZ_CHECK(lookupException(key, a) == scores);
    if (const auto other = lookupException(key, b)) {
      MORVANE_FUZZ_CHECK(zipMin(scores, *other) == zipMin(*other, scores));
      MORVANE_FUZZ_CHECK(lookupException(key, a | b) == zipMin(scores, *other));
    }
  }
  return 0;
}
