#include "text/text_breaks.hpp"

#include <string>
#include <utility>
#include <vector>

#include "text/text_scanner.hpp"

namespace morvane::detail {

namespace {

/// The scanner's output, counted, with the offset of every break noted.
struct BreakRecorder {
  std::size_t written = 0;
  std::size_t textStart = 0;  // where the text being read began
  std::vector<std::size_t> offsets;
  void append(std::string_view bytes) { written += bytes.size(); }
  void markBreak() { offsets.push_back(written - textStart); }
};

}  // namespace

struct TextBreakFinder::State {
  explicit State(Hyphenator hyphenator) : h(std::move(hyphenator)), scanner({}, recorder) {
    scanner.use(&h, &wordJoinersOf(h));
  }
  Hyphenator h;
  BreakRecorder recorder;
  TextScanner<Utf8Units, BreakRecorder> scanner;
  std::string line;
};

TextBreakFinder::TextBreakFinder(const Hyphenator& h) : state_(std::make_unique<State>(h)) {}

TextBreakFinder::~TextBreakFinder() = default;

std::span<const std::size_t> TextBreakFinder::breaks(std::string_view text) {
  State& s = *state_;
  s.recorder.offsets.clear();
  s.recorder.textStart = s.recorder.written;
  // A line end ends every word and run: the text breaks as it would alone,
  // and all of it has been read once the line end has.
  s.line.assign(text);
  s.line += '\n';
  s.scanner.feed(s.line);
  return s.recorder.offsets;
}

}  // namespace morvane::detail
