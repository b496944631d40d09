#pragma once

#include "morvane/hyphenator.hpp"
#include "options.hpp"
#include "output.hpp"
#include "stats.hpp"

namespace morvane::tools {

/// Sets the paragraphs of standard input (blank-line separated) in lines of
/// `options.width` columns, writing them to `out`; blank lines are copied,
/// and a paragraph's first-line indent is kept. Lines that cannot fit (a
/// word wider than the width) are kept whole and reported. With more than
/// one thread, paragraphs are set on that many at once, written in order.
int reformatInput(const Hyphenator& h, const Options& options, unsigned threads, Output& out,
                  Stats& stats);

}  // namespace morvane::tools
