// Office dictionaries in other character sets than UTF-8 (ISO8859-2,
// KOI8-R, microsoft-cp1251, …), converted by the JavaScript engine's
// TextDecoder (src/unicode_imports.js) in place of iconv.

#include "formats/charset_backend.hpp"

namespace morvane::detail {

// In src/unicode_imports.js: the count of code points written to `out`
// (room for `length`), -1 for a character set TextDecoder does not know,
// -2 - N when the byte at offset N is no character in it.
extern "C" int morvane_decode(const char* charset, unsigned charsetLength, const char* bytes,
                              unsigned length, unsigned* out);

ConvertedText convertCharset(std::string_view bytes, std::string_view charset) {
  ConvertedText converted;
  converted.text.assign(bytes.size(), U'\0');  // one byte is at least one character
  const int count = morvane_decode(charset.data(), static_cast<unsigned>(charset.size()),
                                   bytes.data(), static_cast<unsigned>(bytes.size()),
                                   reinterpret_cast<unsigned*>(converted.text.data()));
  if (count == -1) {
    converted.status = ConvertedText::Status::UnknownCharset;
  } else if (count < -1) {
    converted.status = ConvertedText::Status::Invalid;
    converted.invalidAt = static_cast<std::size_t>(-2 - count);
  } else {
    converted.text.resize(static_cast<std::size_t>(count));
  }
  return converted;
}

}  // namespace morvane::detail
