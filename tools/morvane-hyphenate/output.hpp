#pragma once

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace morvane::tools {

/// Standard output, every write checked: a failed write is remembered and
/// makes the run fail, however the output ended. Output is gathered into
/// large blocks and written by a thread of its own, so that hyphenating the
/// next block and the system's work of writing the last one overlap (writing
/// a file costs about a tenth of hyphenating it). The bytes arrive in the
/// order they were given.
class Output {
 public:
  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output();

  void write(std::string_view bytes);
  /// Writes what is left and flushes; true when everything written arrived.
  bool finish();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 18;
  static constexpr std::size_t kQueued = 2;  // blocks waiting at most

  void handOff();
  void writeQueued();

  std::string block_;  // being filled
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;   // full blocks, oldest first
  std::vector<std::string> spare_;  // written blocks, emptied
  bool done_ = false;
  bool failed_ = false;  // guarded by mutex_ while the writer runs
  bool reported_ = false;
  std::thread writer_;
};

/// Reads standard input in blocks; a failed read (a directory, a closed
/// descriptor) is reported as "cannot read standard input".
class Input {
 public:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;

  /// The next block, empty at the end; sets failed() on a read error.
  std::string_view next() {
    const std::size_t got = std::fread(block_.data(), 1, kBlock, stdin);
    if (got < kBlock && std::ferror(stdin) != 0) {
      std::fputs("morvane-hyphenate: cannot read standard input\n", stderr);
      failed_ = true;
      return {};
    }
    return {block_.data(), got};
  }
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  std::vector<char> block_ = std::vector<char>(kBlock);
  bool failed_ = false;
};

}  // namespace morvane::tools
