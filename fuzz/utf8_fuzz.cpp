// Arbitrary bytes through the UTF-8 entry points and the streaming text path:
// pieces join back, text loses or gains nothing but separators, and a stream
// gives what the whole text gives.

#include <algorithm>
#include <string>

#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Hyphenator& h = german_1996;

  try {
    const auto pieces = hyphenate(h, bytes);
    std::string joined;
    for (const auto& piece : pieces) joined += piece;
    MORVANE_FUZZ_CHECK(joined == bytes);
    MORVANE_FUZZ_CHECK(insertHyphens(h, bytes, "") == bytes);
  } catch (const Error& e) {
    MORVANE_FUZZ_CHECK(std::string_view(e.what()).starts_with("invalid UTF-8 at byte offset "));
  }

  MORVANE_FUZZ_CHECK(hyphenateText(h, bytes, "") == bytes);
  if (bytes.find('\x01') == std::string::npos) {
    std::string text = hyphenateText(h, bytes, "\x01");
    // Streamed in pieces cut anywhere (at every 7th byte), the same text.
    std::string streamed;
    TextStream stream(h, "\x01", [&streamed](std::string_view piece) { streamed += piece; });
    for (std::size_t at = 0; at < bytes.size(); at += 7) stream.write(bytes.substr(at, 7));
    stream.finish();
    MORVANE_FUZZ_CHECK(streamed == text);
    text.erase(std::remove(text.begin(), text.end(), '\x01'), text.end());
    MORVANE_FUZZ_CHECK(text == bytes);
  }
  return 0;
}
