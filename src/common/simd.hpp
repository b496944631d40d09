#pragma once

// Where SSE2 is there to use (every x86-64 compiler), MORVANE_SSE2 is 1 and
// the loops that can use it do; building with MORVANE_SCALAR (the "scalar"
// preset) takes the plain loops beside them instead, so that those are
// built and tested too.
#if defined(__SSE2__) && !defined(MORVANE_SCALAR)
#define MORVANE_SSE2 1
#include <emmintrin.h>
#else
#define MORVANE_SSE2 0
#endif
