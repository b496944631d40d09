#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace morvane::detail {

/// One file compiled into the library: its name and its bytes, which stay in
/// the library's read-only data and are never copied.
struct EmbeddedFile {
  std::string_view name;
  std::span<const unsigned char> content;
};

// Generated at build time from data/, in byte order of the names.
extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

/// Every embedded file, in byte order of the names.
std::span<const EmbeddedFile> embeddedFiles();

/// The content of the file named exactly `name`, or nothing.
std::optional<std::span<const unsigned char>> findEmbeddedFile(std::string_view name);

/// The decompressed bytes of the embedded file `name`; throws `Error`
/// "Could not find " + name when there is none. (In the WebAssembly build
/// the files come from JavaScript, which fetches and inflates them.)
std::string embeddedBytes(const std::string& name);

}  // namespace morvane::detail
