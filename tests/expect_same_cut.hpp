#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morvane/core.hpp"
#include "reference_hyphenator.hpp"

namespace morvane::testing_support {

/// Expects `h`, made of these fields, to cut `word` as the literal rules do,
/// or to fail where they fail.
inline void expectSameCut(const Hyphenator& h, const Patterns& patterns,
                          const Exceptions& exceptions, std::int64_t leftMin, std::int64_t rightMin,
                          std::u32string_view word, const CharFunction& chars = CharFunction()) {
  std::vector<std::u32string> expected;
  try {
    expected = reference::hyphenate(chars, patterns, exceptions, leftMin, rightMin, word);
  } catch (const Error&) {
    EXPECT_THROW((void)hyphenate(h, word), Error);
    return;
  }
  EXPECT_EQ(hyphenate(h, word), expected);
}

}  // namespace morvane::testing_support
