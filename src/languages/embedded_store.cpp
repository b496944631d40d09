#include "languages/embedded_store.hpp"

namespace morvane::detail {

std::span<const EmbeddedFile> embeddedFiles() { return {kEmbeddedFiles, kEmbeddedFileCount}; }

std::optional<std::span<const unsigned char>> findEmbeddedFile(std::string_view name) {
  for (const EmbeddedFile& file : embeddedFiles()) {
    if (file.name == name) return file.content;
  }
  return std::nullopt;
}

}  // namespace morvane::detail
