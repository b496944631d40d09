// Running text and HTML from many threads at once: the text layer's
// per-thread ICU objects and its tables filled on first use.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "morvane/morvane.hpp"

namespace morvane {
namespace {

// The text layer keeps ICU's break iterators per thread: Thai (dictionary
// words), decomposed Greek (normalisation) and Devanagari (grapheme
// clusters) from many threads at once, text and HTML.
TEST(Threads, TextAndHtmlFromManyThreads) {
  const std::string text =
      "การแบ่งคำภาษาไทยต้องใช้พจนานุกรม \u03a3\u03c5\u0301\u03b3\u03ba\u03c1\u03b9\u03c3\u03b7 "
      "हिन्दी विकिपीडिया";
  const Language languages[] = {Language::Thai, Language::Greek_Mono, Language::Hindi};
  std::vector<std::string> expected;
  for (const Language l : languages)
    expected.push_back(hyphenateText(languageHyphenator(l), text, "-"));
  std::atomic<int> mismatches{0};
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&, t] {
        const std::size_t which = static_cast<std::size_t>(t) % 3;
        const Hyphenator& h = languageHyphenator(languages[which]);
        for (int i = 0; i < 30; ++i) {
          if (hyphenateText(h, text, "-") != expected[which]) ++mismatches;
          if (hyphenateHtml(h, "<p>" + text + "</p>", {"-"}) != "<p>" + expected[which] + "</p>") {
            ++mismatches;
          }
        }
      });
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// Characters are classified from tables filled on first use: many threads
// meeting scripts never seen before at once all read them right.
TEST(Threads, CharacterClassesFilledFromManyThreads) {
  const std::string text =
      "հայերեն ქართული "
      "አማርኛ العربية עברית";
  const Hyphenator& h = languageHyphenator(Language::Armenian);
  std::vector<std::string> results(8);
  {
    std::vector<std::jthread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
      threads.emplace_back([&, t] { results[t] = hyphenateText(h, text, "-"); });
    }
  }
  const std::string expected = hyphenateText(h, text, "-");
  for (const std::string& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace morvane
