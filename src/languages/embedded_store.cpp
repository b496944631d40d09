#include "languages/embedded_store.hpp"

#include "common/gzip.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

std::span<const EmbeddedFile> embeddedFiles() { return {kEmbeddedFiles, kEmbeddedFileCount}; }

std::optional<std::span<const unsigned char>> findEmbeddedFile(std::string_view name) {
  for (const EmbeddedFile& file : embeddedFiles()) {
    if (file.name == name) return file.content;
  }
  return std::nullopt;
}

std::string embeddedBytes(const std::string& name) {
  const auto content = findEmbeddedFile(name);
  if (!content) throw Error("Could not find " + name);
  return gunzip(*content);
}

}  // namespace morvane::detail
