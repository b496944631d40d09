#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "chunk_pool.hpp"
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
class ParallelTextStream {
 public:
  ParallelTextStream(Hyphenator h, std::string separator, unsigned threads, Output& out);

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

 private:
  /// Sends what is pending, and the rest of the input, through one stream.
  void goSingle();

  Hyphenator h_;
  std::string separator_;
  Output& out_;
  std::string pending_;       // read since the last cut
  std::size_t searched_ = 0;  // bytes of pending_ known to hold no line end
  std::size_t words_ = 0;
  std::optional<TextStream> single_;
  ChunkPool pool_;  // last: its threads stop before the rest goes
};

}  // namespace morvane::tools
