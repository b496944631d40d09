#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/utf8.hpp"

// An invariant that must hold for every input; a violation stops the fuzzer
// with the input saved.
#define MORVANE_FUZZ_CHECK(condition)                                                        \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)

/// Up to `maxBytes` of the input as text, leniently decoded like the data files.
inline std::u32string fuzzText(FuzzedDataProvider& input, std::size_t maxBytes) {
  return morvane::detail::decodeUtf8Lenient(input.ConsumeRandomLengthString(maxBytes));
}
