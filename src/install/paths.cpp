#include "morvane/paths.hpp"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace morvane {

namespace {

namespace fs = std::filesystem;

/// The directory morvane was installed under, found from where this code
/// is: a shared library in PREFIX/LIBDIR, or a program linked with the
/// static library in PREFIX/BINDIR. Anywhere else (a build tree) the prefix
/// given when it was built.
const fs::path& prefix() {
  static const fs::path found = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&getBinDir), &info) != 0 && info.dli_fname != nullptr) {
      std::error_code error;
      const std::string where = fs::canonical(info.dli_fname, error).parent_path().string();
      for (const std::string_view relative : {MORVANE_LIBDIR, MORVANE_BINDIR}) {
        if (!error && where.size() > relative.size() && where.ends_with(relative) &&
            where[where.size() - relative.size() - 1] == '/') {
          return fs::path(where.substr(0, where.size() - relative.size() - 1));
        }
      }
    }
    return fs::path(MORVANE_PREFIX);
  }();
  return found;
}

std::string location(const char* variable, const char* relative) {
  // Read-only access to the environment; nothing in the library sets it.
  if (const char* value = std::getenv(variable)) return value;  // NOLINT(concurrency-mt-unsafe)
  return (prefix() / relative).lexically_normal().string();
}

}  // namespace

std::string getBinDir() { return location("morvane_bindir", MORVANE_BINDIR); }
std::string getLibDir() { return location("morvane_libdir", MORVANE_LIBDIR); }
std::string getDynLibDir() { return location("morvane_dynlibdir", MORVANE_LIBDIR); }
std::string getDataDir() { return location("morvane_datadir", MORVANE_DATADIR); }
std::string getLibexecDir() { return location("morvane_libexecdir", MORVANE_LIBEXECDIR); }
std::string getSysconfDir() { return location("morvane_sysconfdir", MORVANE_SYSCONFDIR); }
std::string getDataFileName(const std::string& name) { return getDataDir() + "/" + name; }

}  // namespace morvane
