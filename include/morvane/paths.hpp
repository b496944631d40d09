#pragma once

#include <string>

#include "morvane/cxx20.hpp"

namespace morvane {

// Where morvane is installed, found when the program runs from where the
// library is: a shared library in PREFIX/lib, or a program linked with the
// static library in PREFIX/bin, is under PREFIX wherever the tree was
// installed or moved to; anywhere else (a build tree) the prefix it was
// configured with. Each can be overridden by an environment variable of the
// same name with the prefix "morvane_": morvane_bindir, morvane_libdir,
// morvane_dynlibdir, morvane_datadir, morvane_libexecdir and
// morvane_sysconfdir.

/// Programs (morvane-hyphenate).
[[nodiscard]] std::string getBinDir();
/// Libraries and their CMake and pkg-config files.
[[nodiscard]] std::string getLibDir();
/// Shared libraries.
[[nodiscard]] std::string getDynLibDir();
/// Read-only data of morvane's own.
[[nodiscard]] std::string getDataDir();
/// Helper programs that users do not run directly.
[[nodiscard]] std::string getLibexecDir();
/// Configuration.
[[nodiscard]] std::string getSysconfDir();
/// `name` within `getDataDir()`.
[[nodiscard]] std::string getDataFileName(const std::string& name);

}  // namespace morvane
