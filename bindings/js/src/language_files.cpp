// In the WebAssembly build the languages' files are not compiled in: the
// JavaScript side fetches a language's file when it is first asked for,
// inflates it, and hands over its pattern, exception and character texts
// before the language's hyphenator is made.

#include <map>
#include <mutex>
#include <string>

#include "common/gzip.hpp"
#include "languages/embedded_store.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

std::map<std::string, std::string, std::less<>>& files() {
  static std::map<std::string, std::string, std::less<>> registered;
  return registered;
}

}  // namespace

void addLanguageFile(std::string name, std::string bytes) {
  files().insert_or_assign(std::move(name), std::move(bytes));
}

bool hasLanguageFile(std::string_view name) { return files().contains(name); }

std::string embeddedBytes(const std::string& name) {
  const auto found = files().find(name);
  if (found == files().end()) throw Error("Could not find " + name);
  return found->second;
}

std::string gunzip(std::span<const unsigned char> /*compressed*/) {
  // What is gzip-compressed here is inflated by JavaScript before it comes.
  throw Error("gzip data is inflated by JavaScript in this build");
}

}  // namespace morvane::detail
