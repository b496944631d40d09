// Arbitrary bytes through the UTF-8 entry points and the command's streaming
// text path: pieces join back, and text loses or gains nothing but separators.

#include <algorithm>
#include <string>

#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"
#include "text_stream.hpp"

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
    // The command's path: the same text streamed in pieces cut where it cuts.
    std::string streamed;
    std::string pending;
    for (std::size_t at = 0; at <= bytes.size(); at += 7) {
      pending += bytes.substr(at, 7);
      const bool atEnd = at + 7 > bytes.size();
      const std::size_t cut = tools::safeCut(pending, 1 << 20, atEnd);
      (void)appendHyphenatedText(h, std::string_view(pending).substr(0, cut), "\x01", streamed);
      pending.erase(0, cut);
    }
    MORVANE_FUZZ_CHECK(streamed == text);
    text.erase(std::remove(text.begin(), text.end(), '\x01'), text.end());
    MORVANE_FUZZ_CHECK(text == bytes);
  }
  return 0;
}
