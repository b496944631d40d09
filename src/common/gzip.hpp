#pragma once

#include <span>
#include <string>

namespace morvane::detail {

/// The bytes of one gzip member. Throws `Error` with zlib's message for
/// corrupt or truncated data; nothing partial is returned.
std::string gunzip(std::span<const unsigned char> compressed);

}  // namespace morvane::detail
