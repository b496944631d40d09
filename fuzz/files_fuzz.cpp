// Other tools' files from hostile bytes: office-suite dictionaries and TeX
// pattern files. A file is read or refused with an Error naming it; what is
// read hyphenates any word consistently (points ascend inside the word,
// pieces join to it, the standard breaks are the points, spelled breaks
// keep the word's letters around them), and the same once warm, when its
// patterns are scored by an automaton.

#include <string>
#include <vector>

#include "engine/compiled_patterns.hpp"
#include "fuzz_check.hpp"
#include "morvane/morvane.hpp"

using namespace morvane;

namespace {

struct Answers {
  std::vector<std::size_t> points;
  std::vector<WordBreak> breaks;
  friend bool operator==(const Answers&, const Answers&) = default;
};

Answers answersFor(const Hyphenator& h, const std::u32string& word) {
  Answers a;
  a.points.resize(word.size() + 1);
  a.points.resize(hyphenationPoints(h, word, a.points));
  a.breaks = hyphenationBreaks(h, word);

  std::size_t previous = 0;
  for (const std::size_t p : a.points) {
    MORVANE_FUZZ_CHECK(p > previous && p < word.size());
    previous = p;
  }
  std::u32string joined;
  for (const std::u32string& piece : hyphenate(h, word)) joined += piece;
  MORVANE_FUZZ_CHECK(joined == word);
  std::vector<std::size_t> standard;
  for (const WordBreak& b : a.breaks) {
    MORVANE_FUZZ_CHECK(b.position > 0 && b.position < word.size());
    if (b.standard) {
      MORVANE_FUZZ_CHECK(b.before == word.substr(0, b.position) &&
                         b.after == word.substr(b.position));
      standard.push_back(b.position);
    }
  }
  MORVANE_FUZZ_CHECK(standard == a.points);
  (void)spellBreaks(h, word);
  return a;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // Flags come from the end of the input, so that a real file is a seed.
  const bool tex = input.ConsumeBool();
  const bool officeLines = input.ConsumeBool();
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  std::optional<Hyphenator> cold;
  std::optional<Hyphenator> warm;
  try {
    const LoadOptions options{.officeLines = officeLines};
    cold = tex ? readTexPatterns(bytes, "fuzz", options) : readDictionary(bytes, "fuzz", options);
    warm = tex ? readTexPatterns(bytes, "fuzz", options) : readDictionary(bytes, "fuzz", options);
  } catch (const Error& e) {
    MORVANE_FUZZ_CHECK(std::string_view(e.what()).starts_with("fuzz"));
    return 0;
  }

  // Words made of the file's own letters, so that its patterns match.
  std::vector<std::u32string> words;
  const std::u32string text = detail::decodeUtf8Lenient(bytes);
  std::u32string word;
  for (const char32_t c : text) {
    if (c > U' ' && (c < U'0' || c > U'9') && c != U'/' && c != U'{' && c != U'}') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  if (words.size() > 16) words.resize(16);
  if (words.empty()) return 0;

  std::vector<Answers> before;
  before.reserve(words.size());
  for (const std::u32string& w : words) before.push_back(answersFor(*cold, w));
  for (std::uint32_t i = 0; i <= 2 * detail::CompiledPatterns::kWarmWords; ++i) {
    (void)hyphenationBreaks(*warm, words[i % words.size()]);
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    MORVANE_FUZZ_CHECK(answersFor(*warm, words[i]) == before[i]);
  }
  return 0;
}
