#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "morvane/morvane.hpp"
#include "output.hpp"

namespace morvane::tools {

/// Running text hyphenated by several threads, written in order. The input
/// is cut into chunks just after a line end, which ends every word, URL and
/// run a word could belong to, so the chunks hyphenated apart give exactly
/// what the whole text gives. A line too long to cut (a megabyte without a
/// line end) sends the rest of the input through one stream, and so does a
/// long separator from the start, so that memory stays bounded: a chunk's
/// output is held whole, at most (1 + separator) times its input.
///
/// The threads and the chunks' buffers last as long as the stream: fresh
/// memory for every chunk would cost more in page faults than a thread saves.
class ParallelTextStream {
 public:
  ParallelTextStream(Hyphenator h, std::string separator, unsigned threads, Output& out);
  ParallelTextStream(const ParallelTextStream&) = delete;
  ParallelTextStream& operator=(const ParallelTextStream&) = delete;
  /// Stops the threads; chunks not yet written are dropped.
  ~ParallelTextStream();

  void write(std::string_view text);
  void finish();
  /// Words met in what has been written so far.
  [[nodiscard]] std::size_t words() const;

  /// Chunks are cut at the first line end after this many bytes.
  static constexpr std::size_t kChunk = std::size_t{1} << 18;
  /// Past this many bytes without a line end, one stream takes over.
  static constexpr std::size_t kLongestLine = std::size_t{1} << 20;
  /// The longest separator chunks are hyphenated with ("&shy;", "<wbr>"
  /// and the like are shorter).
  static constexpr std::size_t kLongestSeparator = 16;
  /// The threads the command uses when not told: more would wait on the
  /// one that reads and writes.
  static constexpr unsigned kDefaultMostThreads = 8;

 private:
  struct Chunk {
    std::string input;
    std::string output;
    std::size_t words = 0;
    bool done = false;
    std::exception_ptr failure;
  };
  void start(std::size_t cut);
  void writeOldest();
  void writeAll();
  void work();
  /// Sends what is pending, and the rest of the input, through one stream.
  void goSingle();

  Hyphenator h_;
  std::string separator_;
  unsigned threads_;
  Output& out_;
  std::string pending_;       // read since the last cut
  std::size_t searched_ = 0;  // bytes of pending_ known to hold no line end
  // A ring of chunks: `started_` of them from `oldest_` on are being
  // hyphenated or wait to be written.
  std::vector<Chunk> chunks_;
  std::size_t oldest_ = 0;
  std::size_t started_ = 0;
  std::size_t words_ = 0;
  std::optional<TextStream> single_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Chunk*> queue_;  // started, not yet taken by a thread
  bool stopping_ = false;
  std::vector<std::thread> workers_;  // started with the first chunk
};

/// How many threads the command may use: the processors it may run on.
unsigned availableProcessors();

}  // namespace morvane::tools
