#include "reformat.hpp"

#include <cstdio>
#include <string>

#include "morvane/lines.hpp"

namespace morvane::tools {

namespace {

constexpr std::size_t kTabStop = 8;

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
}

/// A paragraph's lines gathered from input, set when a blank line or the
/// end comes.
class Paragraphs {
 public:
  Paragraphs(const Hyphenator& h, const Options& options, Output& out)
      : h_(h), width_(static_cast<double>(*options.width)), out_(out) {
    options_.greedy = options.greedy;
    options_.justify = options.justify;
    if (options.separator) options_.hyphen = *options.separator;
  }

  void line(std::string_view text) {
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);  // a CRLF line end
    if (blank(text)) {
      flush();
      out_.write("\n");
      ++written_;
      return;
    }
    if (text_.empty()) {
      // The first line's indent, tabs expanded, starts the paragraph.
      std::size_t at = 0;
      for (; at < text.size() && (text[at] == ' ' || text[at] == '\t'); ++at) {
        indent_.append(text[at] == '\t' ? kTabStop - indent_.size() % kTabStop : 1, ' ');
      }
      text.remove_prefix(at);
    }
    text_.append(text);
    text_ += ' ';
  }

  void flush() {
    if (text_.empty()) return;
    options_.firstWidth = std::max(1.0, width_ - static_cast<double>(indent_.size()));
    bool first = true;
    for (const TextLine& line : breakLines(h_, text_, width_, options_)) {
      ++written_;
      if (line.overfull) {
        std::fprintf(stderr,
                     "morvane-hyphenate: output line %zu is wider than %g columns: a word "
                     "does not fit\n",
                     written_, width_);
      }
      if (first) out_.write(indent_);
      out_.write(line.text);
      out_.write("\n");
      first = false;
    }
    text_.clear();
    indent_.clear();
  }

 private:
  const Hyphenator& h_;
  double width_;
  Output& out_;
  LineOptions options_;
  std::string text_;
  std::string indent_;
  std::size_t written_ = 0;
};

}  // namespace

int reformatInput(const Hyphenator& h, const Options& options, Output& out, Stats& stats) {
  Input input;
  Paragraphs paragraphs(h, options, out);
  std::string pending;
  for (std::string_view block = input.next(); !block.empty(); block = input.next()) {
    stats.add(0, block.size());
    pending.append(block);
    std::size_t start = 0;
    for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
      paragraphs.line(std::string_view(pending).substr(start, end - start));
    }
    pending.erase(0, start);
  }
  if (!pending.empty()) paragraphs.line(pending);
  paragraphs.flush();
  return input.failed() ? kFailure : kOk;
}

}  // namespace morvane::tools
