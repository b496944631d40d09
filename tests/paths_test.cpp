#include "morvane/paths.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace morvane {
namespace {

struct Query {
  const char* variable;
  std::string (*get)();
  const char* installed;
};

const Query kQueries[] = {
    {"morvane_bindir", getBinDir, MORVANE_TEST_BINDIR},
    {"morvane_libdir", getLibDir, MORVANE_TEST_LIBDIR},
    {"morvane_dynlibdir", getDynLibDir, MORVANE_TEST_LIBDIR},
    {"morvane_datadir", getDataDir, MORVANE_TEST_DATADIR},
    {"morvane_libexecdir", getLibexecDir, MORVANE_TEST_LIBEXECDIR},
    {"morvane_sysconfdir", getSysconfDir, MORVANE_TEST_SYSCONFDIR},
};

TEST(Paths, InstalledLocationsUnlessTheEnvironmentSaysOtherwise) {
  for (const Query& query : kQueries) {
    ::unsetenv(query.variable);
    EXPECT_EQ(query.get(), query.installed) << query.variable;
    ::setenv(query.variable, "/elsewhere", 1);
    EXPECT_EQ(query.get(), "/elsewhere") << query.variable;
    ::setenv(query.variable, "", 1);
    EXPECT_EQ(query.get(), "") << query.variable;  // set, though empty
    ::unsetenv(query.variable);
  }
  ::setenv("morvane_datadir", "/data", 1);
  EXPECT_EQ(getDataFileName("x.txt"), "/data/x.txt");
  ::unsetenv("morvane_datadir");
  EXPECT_EQ(getDataFileName("x.txt"), std::string(MORVANE_TEST_DATADIR) + "/x.txt");
}

}  // namespace
}  // namespace morvane
