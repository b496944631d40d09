#pragma once

#include <cstddef>
#include <string_view>

namespace morvane::tools {

/// Where text read so far may be cut so that the part before the cut holds
/// only whole words: after the last ASCII white space byte. In a run without
/// any that has outgrown `limit` bytes, before a trailing incomplete UTF-8
/// sequence instead (a word may then be split, but memory stays bounded). At
/// the end of the input, everything. 0 means: read more first.
inline std::size_t safeCut(std::string_view text, std::size_t limit, bool atEnd) {
  if (atEnd) return text.size();
  for (std::size_t i = text.size(); i-- > 0;) {
    const char c = text[i];
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f' || c == '\v') return i + 1;
  }
  if (text.size() < limit) return 0;
  // Find the lead byte of the last sequence; keep it back only if the bytes
  // it announces have not all arrived.
  std::size_t lead = text.size();
  while (lead > 0 && text.size() - lead < 4 &&
         (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
    --lead;
  }
  if (lead == 0) return text.size();
  const auto byte = static_cast<unsigned char>(text[lead - 1]);
  const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
  return text.size() - (lead - 1) < length ? lead - 1 : text.size();
}

}  // namespace morvane::tools
