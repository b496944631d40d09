#include "morvane/paths.hpp"

#include <cstdlib>

namespace morvane {

namespace {

std::string fromEnvironment(const char* variable, const char* installed) {
  // Read-only access to the environment; nothing in the library sets it.
  const char* value = std::getenv(variable);  // NOLINT(concurrency-mt-unsafe)
  return value != nullptr ? value : installed;
}

}  // namespace

std::string getBinDir() { return fromEnvironment("morvane_bindir", MORVANE_INSTALL_BINDIR); }
std::string getLibDir() { return fromEnvironment("morvane_libdir", MORVANE_INSTALL_LIBDIR); }
std::string getDynLibDir() {
  return fromEnvironment("morvane_dynlibdir", MORVANE_INSTALL_DYNLIBDIR);
}
std::string getDataDir() { return fromEnvironment("morvane_datadir", MORVANE_INSTALL_DATADIR); }
std::string getLibexecDir() {
  return fromEnvironment("morvane_libexecdir", MORVANE_INSTALL_LIBEXECDIR);
}
std::string getSysconfDir() {
  return fromEnvironment("morvane_sysconfdir", MORVANE_INSTALL_SYSCONFDIR);
}
std::string getDataFileName(const std::string& name) { return getDataDir() + "/" + name; }

}  // namespace morvane
