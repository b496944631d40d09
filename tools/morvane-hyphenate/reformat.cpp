#include "reformat.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "chunk_pool.hpp"
#include "morvane/lines.hpp"

namespace morvane::tools {

namespace {

constexpr std::size_t kTabStop = 8;
/// Input is set in chunks cut after the first blank line past this many
/// bytes: a paragraph never spans two, so each is set on its own.
constexpr std::size_t kChunk = std::size_t{1} << 18;

bool blank(std::string_view line) {
  return line.find_first_not_of(" \t\r\f\v") == std::string_view::npos;
}

/// Where a chunk of `text` may end: just after the first line end at or
/// past `from` that ends a blank line; npos when there is none.
std::size_t afterBlankLine(std::string_view text, std::size_t from) {
  for (std::size_t end = text.find('\n', from); end != std::string_view::npos;
       end = text.find('\n', end + 1)) {
    const std::size_t previous = end == 0 ? std::string_view::npos : text.rfind('\n', end - 1);
    const std::size_t start = previous == std::string_view::npos ? 0 : previous + 1;
    if (blank(text.substr(start, end - start))) return end + 1;
  }
  return std::string_view::npos;
}

/// A paragraph's lines gathered from input, set when a blank line or the
/// end comes, into `out`; lines that cannot fit are noted in `overfull`,
/// counted from the first line written.
class Paragraphs {
 public:
  Paragraphs(const Hyphenator& h, const Options& options, std::string& out,
             std::vector<std::size_t>& overfull)
      : h_(h), width_(static_cast<double>(*options.width)), out_(out), overfull_(overfull) {
    options_.greedy = options.greedy;
    options_.justify = options.justify;
    if (options.separator) options_.hyphen = *options.separator;
  }

  void line(std::string_view text) {
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);  // a CRLF line end
    if (blank(text)) {
      flush();
      out_ += '\n';
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
      if (line.overfull) overfull_.push_back(written_);
      if (first) out_ += indent_;
      out_ += line.text;
      out_ += '\n';
      first = false;
    }
    text_.clear();
    indent_.clear();
  }

  [[nodiscard]] std::size_t written() const { return written_; }

 private:
  const Hyphenator& h_;
  double width_;
  std::string& out_;
  std::vector<std::size_t>& overfull_;
  LineOptions options_;
  std::string text_;
  std::string indent_;
  std::size_t written_ = 0;
};

/// Sets the lines of a chunk, which begins a paragraph (the last line may
/// lack its end).
void setChunk(const Hyphenator& h, const Options& options, ChunkPool::Chunk& chunk) {
  Paragraphs paragraphs(h, options, chunk.output, chunk.marks);
  std::string_view text = chunk.input;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    paragraphs.line(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  paragraphs.flush();
  chunk.count = paragraphs.written();
}

}  // namespace

int reformatInput(const Hyphenator& h, const Options& options, unsigned threads, Output& out,
                  Stats& stats) {
  std::size_t linesBefore = 0;
  const auto done = [&](const ChunkPool::Chunk& chunk) {
    for (const std::size_t line : chunk.marks) {
      std::fprintf(stderr,
                   "morvane-hyphenate: output line %zu is wider than %zu columns: a word "
                   "does not fit\n",
                   linesBefore + line, *options.width);
    }
    out.write(chunk.output);
    linesBefore += chunk.count;
  };
  ChunkPool pool(
      threads > 1 ? threads : 0,
      [&h, &options](ChunkPool::Chunk& chunk) { setChunk(h, options, chunk); }, done);
  Input input;
  std::string pending;
  std::size_t searched = 0;  // bytes of pending known to end no blank line
  for (std::string_view block = input.next(); !block.empty(); block = input.next()) {
    stats.add(0, block.size());
    pending.append(block);
    while (pending.size() >= kChunk) {
      const std::size_t cut = afterBlankLine(pending, std::max(searched, kChunk - 1));
      if (cut == std::string::npos) {
        searched = pending.size();
        break;
      }
      pool.start(pending, cut);
      searched = 0;
    }
  }
  pool.finishAll();
  ChunkPool::Chunk last;
  last.input = std::move(pending);
  setChunk(h, options, last);
  done(last);
  return input.failed() ? kFailure : kOk;
}

}  // namespace morvane::tools
