#include "morvane/case_mapping.hpp"

#include <atomic>

#include "common/case_table.hpp"

namespace morvane {

namespace {

// Set once, before files are read, and read by any thread after: atomics,
// so that a late setting is never seen torn.
constinit std::atomic<char32_t (*)(char32_t)> upperOf{detail::tableUpper};
constinit std::atomic<char32_t (*)(char32_t)> lowerOf{detail::tableLower};
constinit std::atomic<char32_t (*)(char32_t)> titleOf{detail::tableTitle};

}  // namespace

void setCaseMapping(const CaseMapping& mapping) noexcept {
  upperOf.store(mapping.upper != nullptr ? mapping.upper : detail::tableUpper);
  lowerOf.store(mapping.lower != nullptr ? mapping.lower : detail::tableLower);
  titleOf.store(mapping.title != nullptr ? mapping.title : detail::tableTitle);
}

CaseMapping caseMapping() noexcept { return {upperOf.load(), lowerOf.load(), titleOf.load()}; }

}  // namespace morvane
