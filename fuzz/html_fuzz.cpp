// Arbitrary bytes as an HTML document, whole and streamed: the document loses
// or gains nothing but separators, and the stream gives what the whole gives.

#include <algorithm>
#include <string>

#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.find('\x01') != std::string::npos) return 0;
  for (const auto syntax : {HtmlOptions::Syntax::Detect, HtmlOptions::Syntax::Xhtml}) {
    HtmlOptions options("\x01");
    options.syntax = syntax;
    std::string whole = hyphenateHtml(english_US, bytes, options);
    std::string streamed;
    HtmlStream stream(english_US, options,
                      [&streamed](std::string_view piece) { streamed += piece; });
    for (std::size_t at = 0; at < bytes.size(); at += 5) stream.write(bytes.substr(at, 5));
    stream.finish();
    MORVANE_FUZZ_CHECK(streamed == whole);
    whole.erase(std::remove(whole.begin(), whole.end(), '\x01'), whole.end());
    MORVANE_FUZZ_CHECK(whole == bytes);
  }
  return 0;
}
