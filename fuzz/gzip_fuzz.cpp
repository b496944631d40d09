// Arbitrary bytes as compressed data and as text to decode leniently.

#include <string>

#include "common/utf8.hpp"
#include "fuzz_check.hpp"
#include "common/gzip.hpp"
#include "morvane/error.hpp"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const std::string plain = detail::gunzip({data, size});
    (void)detail::decodeUtf8Lenient(plain);
  } catch (const Error&) {
    // corrupt data is reported, never half-decoded
  }
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u32string text = detail::decodeUtf8Lenient(bytes);
  MORVANE_FUZZ_CHECK(text.size() <= bytes.size());
  for (const char32_t c : text) MORVANE_FUZZ_CHECK(c <= 0x10FFFF);
  try {
    MORVANE_FUZZ_CHECK(detail::decodeUtf8(bytes) == text);  // valid UTF-8 decodes alike
  } catch (const Error&) {
  }
  return 0;
}
