#include "reformat.hpp"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
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
/// Past this many bytes without a blank line, one stream takes the rest,
/// so that no paragraph is ever held whole.
constexpr std::size_t kLongestChunk = std::size_t{1} << 22;
/// A line's leading white space is looked at up to here; more is text.
constexpr std::size_t kLongestIndent = 1024;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

bool blank(std::string_view line) { return std::all_of(line.begin(), line.end(), isBlank); }

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

/// Paragraphs read from input as it comes, lines cut anywhere, set into
/// `out` as their lines are settled; lines that cannot fit are noted in
/// `overfull`, counted from the first line written.
class Paragraphs {
 public:
  Paragraphs(const Hyphenator& h, const Options& options, std::string& out,
             std::vector<std::size_t>& overfull)
      : h_(h), width_(static_cast<double>(*options.width)), out_(out), overfull_(overfull) {
    options_.greedy = options.greedy;
    options_.justify = options.justify;
    if (options.separator) options_.hyphen = *options.separator;
  }

  void feed(std::string_view bytes) {
    while (!bytes.empty()) {
      if (inText_) {
        // The rest of a line that holds text goes to the paragraph, its
        // line end as a space.
        const std::size_t end = bytes.find('\n');
        stream_->write(bytes.substr(0, end));
        if (end == std::string_view::npos) return;
        stream_->write(" ");
        inText_ = false;
        bytes.remove_prefix(end + 1);
        continue;
      }
      // A line's start: white space, then either its end (a blank line)
      // or text.
      std::size_t at = 0;
      while (at < bytes.size() && isBlank(bytes[at]) && head_.size() + at < kLongestIndent) ++at;
      head_.append(bytes.substr(0, at));
      bytes.remove_prefix(at);
      if (bytes.empty()) return;
      if (bytes.front() == '\n') {
        finish();
        out_ += '\n';
        ++written_;
        head_.clear();
        bytes.remove_prefix(1);
        continue;
      }
      if (!stream_) start();
      head_.clear();
      inText_ = true;
    }
  }

  /// Ends the input: the paragraph open, if any, is set.
  void finish() {
    if (stream_) stream_->finish();
    stream_.reset();
    inText_ = false;
  }

  [[nodiscard]] std::size_t written() const { return written_; }

 private:
  /// A paragraph begins with this line: its indent, tabs expanded, starts it.
  void start() {
    indent_.clear();
    for (const char c : head_) {
      if (c == ' ' || c == '\t')
        indent_.append(c == '\t' ? kTabStop - indent_.size() % kTabStop : 1, ' ');
    }
    options_.firstWidth = std::max(1.0, width_ - static_cast<double>(indent_.size()));
    firstLine_ = true;
    stream_.emplace(h_, width_, options_, [this](const TextLine& line) { take(line); });
  }

  void take(const TextLine& line) {
    if (!lineOpen_) {
      ++written_;
      if (line.overfull) overfull_.push_back(written_);
      if (firstLine_) out_ += indent_;
      firstLine_ = false;
    }
    out_ += line.text;
    lineOpen_ = line.continued;
    if (!lineOpen_) out_ += '\n';
  }

  const Hyphenator& h_;
  double width_;
  std::string& out_;
  std::vector<std::size_t>& overfull_;
  LineOptions options_;
  std::optional<LineStream> stream_;  // of the paragraph being read
  std::string head_;                  // the white space a line begins with, so far
  std::string indent_;                // of the paragraph's first line
  bool inText_ = false;               // in a line that holds text
  bool firstLine_ = false;
  bool lineOpen_ = false;  // a line is being written in pieces
  std::size_t written_ = 0;
};

void reportOverfull(const Options& options, std::size_t linesBefore,
                    const std::vector<std::size_t>& lines) {
  for (const std::size_t line : lines) {
    std::fprintf(stderr,
                 "morvane-hyphenate: output line %zu is wider than %zu columns: a word "
                 "does not fit\n",
                 linesBefore + line, *options.width);
  }
}

}  // namespace

int reformatInput(const Hyphenator& h, const Options& options, unsigned threads, Output& out,
                  Stats& stats) {
  std::size_t linesBefore = 0;
  const auto done = [&](const ChunkPool::Chunk& chunk) {
    reportOverfull(options, linesBefore, chunk.marks);
    out.write(chunk.output);
    linesBefore += chunk.count;
  };
  ChunkPool pool(
      threads > 1 ? threads : 0,
      [&h, &options](ChunkPool::Chunk& chunk) {
        // A chunk begins a paragraph, and its last line may lack its end.
        Paragraphs paragraphs(h, options, chunk.output, chunk.marks);
        paragraphs.feed(chunk.input);
        paragraphs.finish();
        chunk.count = paragraphs.written();
      },
      done);
  Input input;
  std::string pending;
  std::size_t searched = 0;  // bytes of pending known to end no blank line
  std::string_view block;
  for (block = input.next(); !block.empty(); block = input.next()) {
    stats.add(0, block.size());
    pending.append(block);
    while (pending.size() >= kChunk) {
      const std::size_t cut = afterBlankLine(pending, std::max(searched, kChunk - 1));
      if (cut != std::string::npos) {
        pool.start(pending, cut);
        searched = 0;
        continue;
      }
      searched = pending.size();
      break;
    }
    if (pending.size() > kLongestChunk) break;
  }
  pool.finishAll();
  // What is left, and, after a paragraph too long for a chunk, the rest of
  // the input, through one set of paragraphs.
  std::string output;
  std::vector<std::size_t> overfull;
  Paragraphs paragraphs(h, options, output, overfull);
  const auto setRest = [&](std::string_view bytes) {
    paragraphs.feed(bytes);
    reportOverfull(options, linesBefore, overfull);
    overfull.clear();
    out.write(output);
    output.clear();
  };
  setRest(pending);
  pending = std::string();
  if (!block.empty()) {
    for (block = input.next(); !block.empty(); block = input.next()) {
      stats.add(0, block.size());
      setRest(block);
    }
  }
  paragraphs.finish();
  setRest({});
  return input.failed() ? kFailure : kOk;
}

}  // namespace morvane::tools
