#pragma once

#include "morvane/cxx20.hpp"

namespace morvane {

/// The simple Unicode case mappings (one character to one) by which the
/// file readers let capitals break as their letters do: a TeX file's or an
/// office dictionary's patterns are written in small letters, and their
/// capitals are found by these. (The built-in languages need none: their
/// character files list their capitals.)
///
/// The core of the library carries Unicode's own table (as ICU has it, so
/// that its answers are the full library's); the full library sets ICU's
/// functions at start-up; a build of the core for another platform may set
/// that platform's (a JavaScript engine's toUpperCase, say).
struct CaseMapping {
  char32_t (*upper)(char32_t);
  char32_t (*lower)(char32_t);
  char32_t (*title)(char32_t);
};

/// Makes `mapping` the one files read from now on are read with. Set it
/// before reading any, from one thread.
void setCaseMapping(const CaseMapping& mapping) noexcept;

/// The mapping files are read with.
[[nodiscard]] CaseMapping caseMapping() noexcept;

}  // namespace morvane
