#include "common/utf8.hpp"

#include "morvane/error.hpp"

namespace morvane::detail {

std::size_t decodeUtf8Long(std::string_view bytes, char32_t& out) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u, minimum = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0u) != 0x80u) return 0;
    value = (value << 6) | (byte(i) & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  out = value;
  return length;
}

bool startsTruncatedUtf8(std::string_view bytes) {
  if (bytes.empty()) return false;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || bytes.size() >= length) return false;
  // The second byte's range depends on the lead (no overlong forms, no
  // surrogates, nothing beyond U+10FFFF); the others are any continuation.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  if (bytes.size() > 1 && (byte(1) < low || byte(1) > high)) return false;
  for (std::size_t i = 2; i < bytes.size(); ++i) {
    if ((byte(i) & 0xC0) != 0x80) return false;
  }
  return true;
}

std::string invalidUtf8Message(std::size_t offset) {
  return "invalid UTF-8 at byte offset " + std::to_string(offset);
}

namespace {

/// Decodes `bytes` into `out` (room for bytes.size() code points); returns
/// how many it wrote. `onInvalid(offset)` gives the code point for a byte
/// that starts no well-formed sequence (or throws).
template <class OnInvalid>
std::size_t decodeInto(std::string_view bytes, char32_t* out, OnInvalid onInvalid) {
  std::size_t count = widenAscii(bytes, out);
  for (std::size_t at = count; at < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
      out[count++] = lead;
      ++at;
      continue;
    }
    char32_t c = 0;
    const std::size_t length = decodeUtf8Char(bytes.substr(at), c);
    out[count++] = length == 0 ? onInvalid(at) : c;
    at += length == 0 ? 1 : length;
  }
  return count;
}

template <class OnInvalid>
std::u32string decode(std::string_view bytes, OnInvalid onInvalid) {
  // Never more code points than bytes: written in place, then cut to size.
  std::u32string text(bytes.size(), U'\0');
  text.resize(decodeInto(bytes, text.data(), onInvalid));
  return text;
}

}  // namespace

std::size_t decodeUtf8Lenient(std::string_view bytes, char32_t* out) {
  return decodeInto(bytes, out, [bytes](std::size_t at) -> char32_t {
    return static_cast<unsigned char>(bytes[at]);
  });
}

std::u32string decodeUtf8(std::string_view bytes) {
  return decode(bytes, [](std::size_t at) -> char32_t { throw Error(invalidUtf8Message(at)); });
}

std::u32string decodeUtf8Lenient(std::string_view bytes) {
  std::u32string text(bytes.size(), U'\0');
  text.resize(decodeUtf8Lenient(bytes, text.data()));
  return text;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF) c = 0xFFFD;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string encodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char32_t c : text) appendUtf8(out, c);
  return out;
}

}  // namespace morvane::detail
