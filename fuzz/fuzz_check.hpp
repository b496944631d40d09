#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant that must hold for every input; a violation stops the fuzzer
// with the input saved.
#define MORVANE_FUZZ_CHECK(condition)                                             \
  do {                                                                            \
    if (!(condition)) {                                                           \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                               \
    }                                                                             \
  } while (false)
