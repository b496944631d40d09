#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/scratch_buffer.hpp"
#include "common/simd.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

/// decodeUtf8Char for the sequences it does not decode inline.
std::size_t decodeUtf8Long(std::string_view bytes, char32_t& out);

/// Length of the well-formed UTF-8 sequence at the start of `bytes` (shortest
/// form, no surrogates, at most U+10FFFF) with its code point in `out`, or 0
/// when the first byte does not start one. The common sequences are decoded
/// inline.
inline std::size_t decodeUtf8Char(std::string_view bytes, char32_t& out) {
  if (bytes.empty()) return 0;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) {
    out = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (bytes.size() < 2) return 0;
    const auto next = static_cast<unsigned char>(bytes[1]);
    if ((next & 0xC0U) != 0x80U) return 0;
    out = ((lead & 0x1FU) << 6) | (next & 0x3FU);
    return 2;
  }
  // Three bytes (the rest of the Basic Multilingual Plane: Indic scripts,
  // Thai, CJK …), when well formed, also inline: after E0 the second byte
  // is A0 or more (shorter forms are overlong), after ED below A0 (the rest
  // would be surrogates).
  if ((lead & 0xF0U) == 0xE0U && bytes.size() >= 3) {
    const auto second = static_cast<unsigned char>(bytes[1]);
    const auto third = static_cast<unsigned char>(bytes[2]);
    const unsigned lowest = lead == 0xE0 ? 0xA0U : 0x80U;
    const unsigned highest = lead == 0xED ? 0x9FU : 0xBFU;
    if (second >= lowest && second <= highest && (third & 0xC0U) == 0x80U) {
      out = ((lead & 0x0FU) << 12) | ((second & 0x3FU) << 6) | (third & 0x3FU);
      return 3;
    }
  }
  return decodeUtf8Long(bytes, out);
}

/// Copies the ASCII bytes that begin `bytes` into `out` as code points
/// (eight at a time where it can); returns how many.
inline std::size_t widenAscii(std::string_view bytes, char32_t* out) {
  std::size_t at = 0;
#if MORVANE_SSE2
  const auto widenEight = [bytes, out](std::size_t from) {
    const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes.data() + from));
    if ((_mm_movemask_epi8(eight) & 0xFF) != 0) return false;
    const __m128i zero = _mm_setzero_si128();
    const __m128i units = _mm_unpacklo_epi8(eight, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + from), _mm_unpacklo_epi16(units, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + from + 4), _mm_unpackhi_epi16(units, zero));
    return true;
  };
  while (at + 8 <= bytes.size() && widenEight(at)) at += 8;
  // The last eight bytes again, overlapping, when they are all that is left.
  if (at != 0 && at < bytes.size() && at + 8 > bytes.size() && widenEight(bytes.size() - 8)) {
    return bytes.size();
  }
#endif
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) {
    out[at] = static_cast<unsigned char>(bytes[at]);
    ++at;
  }
  return at;
}

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

/// A caller's UTF-8 word decoded (on the stack when short), with the byte
/// offset of every code point and of the end, so that pieces can be cut
/// from the caller's own bytes. Throws `Error` naming the byte offset of
/// invalid UTF-8.
class Utf8Word {
 public:
  static constexpr std::size_t kInline = 64;

  explicit Utf8Word(std::string_view bytes) : text_(bytes.size()), offsets_(bytes.size() + 1) {
    // Locals, not members, in the loops: stores through the arrays could
    // alias them and force reloads.
    char32_t* const text = text_.data();
    std::size_t at = widenAscii(bytes, text);
    size_ = at;
    if (at == bytes.size()) return;  // ASCII: offsets are indices
    ascii_ = false;
    std::size_t* const offsets = offsets_.data();
    std::size_t size = at;
    for (std::size_t i = 0; i < at; ++i) offsets[i] = i;
    while (at < bytes.size()) {
      char32_t c = 0;
      const std::size_t length = decodeUtf8Char(bytes.substr(at), c);
      if (length == 0) throw Error(invalidUtf8Message(at));
      text[size] = c;
      offsets[size++] = at;
      at += length;
    }
    offsets[size] = at;
    size_ = size;
  }
  [[nodiscard]] std::u32string_view text() { return {text_.data(), size_}; }
  /// Where code point `index` (or the end, at size) begins in the bytes.
  [[nodiscard]] std::size_t offset(std::size_t index) { return ascii_ ? index : offsets_[index]; }

 private:
  ScratchBuffer<char32_t, kInline> text_;
  ScratchBuffer<std::size_t, kInline + 1> offsets_;  // filled unless ascii_
  std::size_t size_ = 0;
  bool ascii_ = true;
};

}  // namespace morvane::detail
