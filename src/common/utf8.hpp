#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::detail {

/// Length of the well-formed UTF-8 sequence at the start of `bytes` (shortest
/// form, no surrogates, at most U+10FFFF) with its code point in `out`, or 0
/// when the first byte does not start one.
std::size_t decodeUtf8Char(std::string_view bytes, char32_t& out);

/// True when `bytes` is shorter than the well-formed sequence it starts, so
/// that more bytes may still complete it.
bool startsTruncatedUtf8(std::string_view bytes);

/// Decodes UTF-8, throwing `Error` with the byte offset of the first invalid byte.
std::u32string decodeUtf8(std::string_view bytes);

/// Decodes UTF-8, taking every byte outside a well-formed sequence as the code
/// point of its value (0xE9 becomes U+00E9).
std::u32string decodeUtf8Lenient(std::string_view bytes);
/// The same into `out`, which has room for bytes.size() code points;
/// returns how many were written.
std::size_t decodeUtf8Lenient(std::string_view bytes, char32_t* out);

void appendUtf8(std::string& out, char32_t c);
std::string encodeUtf8(std::u32string_view text);

/// The message for invalid UTF-8 at `offset`.
std::string invalidUtf8Message(std::size_t offset);

}  // namespace morvane::detail
