#pragma once

// morvane's C++ headers use C++20; included first by each, so that an older
// standard gets this message rather than a syntax error deep inside one.
#if defined(_MSVC_LANG) ? _MSVC_LANG < 202002L : __cplusplus < 202002L
#error "morvane needs C++20 (-std=c++20, or target_compile_features(... cxx_std_20) in CMake)"
#endif
