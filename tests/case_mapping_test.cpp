// The core's own case table against ICU's functions, which the full
// library reads files with: the same on every code point, so that the core
// alone reads a file's capitals as the full library does.

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include "common/case_table.hpp"
#include "morvane/case_mapping.hpp"

namespace morvane {
namespace {

TEST(CaseMapping, TheCoresTableIsIcusOnEveryCodePoint) {
  int differences = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const auto u = static_cast<UChar32>(c);
    differences += detail::tableUpper(c) != static_cast<char32_t>(u_toupper(u));
    differences += detail::tableLower(c) != static_cast<char32_t>(u_tolower(u));
    differences += detail::tableTitle(c) != static_cast<char32_t>(u_totitle(u));
  }
  EXPECT_EQ(differences, 0);
}

TEST(CaseMapping, TheFullLibraryReadsFilesWithIcu) {
  const CaseMapping cases = caseMapping();
  EXPECT_NE(cases.upper, &detail::tableUpper);
  EXPECT_EQ(cases.upper(U'\u01C6'), U'\u01C4');  // ǆ → Ǆ
  EXPECT_EQ(cases.title(U'\u01C6'), U'\u01C5');  // ǆ → ǅ
  EXPECT_EQ(cases.lower(U'\u0130'), U'i');       // İ → i
}

}  // namespace
}  // namespace morvane
