// Hyphenators built from fuzzed tables and minimums (0, negative and extreme
// included): pieces always join back to the word, agree with the literal
// rules wherever those can be evaluated, and do not change once the
// hyphenator is warm (scoring with its automaton).

#include <limits>

#include "engine/hyphenator_state.hpp"
#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"
#include "reference_hyphenator.hpp"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Patterns patterns = parsePatterns(fuzzText(input, 1024));
  const Exceptions exceptions = parseExceptions(fuzzText(input, 256));
  const auto minimum = [&]() -> std::int64_t {
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return input.ConsumeIntegralInRange<std::int64_t>(-3, 6);
      case 1:
        return std::numeric_limits<std::int64_t>::max();
      case 2:
        return std::numeric_limits<std::int64_t>::min();
      default:
        return input.ConsumeIntegral<std::int64_t>();
    }
  };
  const std::int64_t left = minimum();
  const std::int64_t right = minimum();
  const bool table = input.ConsumeBool();
  const std::vector<std::pair<char32_t, char32_t>> upper{{U'A', U'a'}, {U'B', U'b'}, {U'.', U'-'}};
  const CharFunction chars =
      table ? CharFunction(CharMap(upper)) : CharFunction([](char32_t c) { return c ^ 1u; });
  const Hyphenator h(chars, patterns, exceptions, left, right);
  const Hyphenator warm(chars, patterns, exceptions, left, right);
  for (std::uint32_t i = 0; i <= detail::CompiledPatterns::kWarmWords; ++i) {
    (void)detail::stateOf(warm).compiled.get()->automatonOnceWarm();
  }
  const bool small = left > -10 && left < 10 && right > -10 && right < 10;

  while (input.remaining_bytes() > 0) {
    const std::u32string word = fuzzText(input, 64);
    std::vector<std::u32string> pieces;
    try {
      pieces = hyphenate(h, word);
    } catch (const Error& e) {
      MORVANE_FUZZ_CHECK(
          std::string_view(e.what()).starts_with("Malformed hyphenation score for "));
      bool warmThrew = false;
      try {
        (void)hyphenate(warm, word);
      } catch (const Error&) {
        warmThrew = true;
      }
      MORVANE_FUZZ_CHECK(warmThrew);
      continue;
    }
    MORVANE_FUZZ_CHECK(hyphenate(warm, word) == pieces);
    std::u32string joined;
    for (const auto& piece : pieces) joined += piece;
    MORVANE_FUZZ_CHECK(!pieces.empty() && joined == word);
    MORVANE_FUZZ_CHECK(hyphenationPoints(h, word).size() + 1 == pieces.size());
    if (small) {
      MORVANE_FUZZ_CHECK(pieces ==
                         reference::hyphenate(chars, patterns, exceptions, left, right, word));
    }
  }
  return 0;
}
