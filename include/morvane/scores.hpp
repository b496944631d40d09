#pragma once

#include <cstdint>
#include <vector>

#include "morvane/cxx20.hpp"

namespace morvane {

/// One inter-letter score: odd allows a break, even (0 included) forbids it.
using Score = std::int64_t;

/// Scores aligned to the boundaries of a word of n characters: entry i belongs
/// to the boundary just before character i, entry n to the one after the last.
using ScoreList = std::vector<Score>;

}  // namespace morvane
