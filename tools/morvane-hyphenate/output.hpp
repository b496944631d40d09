#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace morvane::tools {

/// Thrown by `Output::write` once a write has failed (and been reported):
/// the command stops there, as `cat` does.
struct OutputFailed {};

/// Where the command's output goes, every write checked: standard output,
/// or a file that is replaced only once everything has been written to it
/// (the output is written beside it and renamed over it, so a failed run
/// leaves the old file as it was). Output is gathered into large blocks and
/// written by a thread of its own, so that hyphenating the next block and
/// the system's work of writing the last one overlap. The bytes arrive in
/// the order they were given.
class Output {
 public:
  /// Standard output.
  Output();
  /// The file `path`, with the permissions `mode` (by default those of the
  /// file it replaces, else those of a new file).
  explicit Output(std::string path, std::optional<mode_t> mode = std::nullopt);
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output();

  /// Throws OutputFailed once a write has failed.
  void write(std::string_view bytes);
  /// Writes what is left, flushes, and puts a file in place; true when
  /// everything written arrived. A failure is reported on standard error.
  bool finish();
  /// Drops what was written to a file (the old one stays); nothing for
  /// standard output.
  void abandon();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 18;
  static constexpr std::size_t kQueued = 2;  // blocks waiting at most

  /// False once a write has failed.
  bool handOff();
  void writeQueued();
  void fail(int error);

  std::string name_;       // in messages
  std::string path_;       // the file to replace; empty for standard output
  std::string temporary_;  // written in its place until finish()
  std::optional<mode_t> mode_;
  std::FILE* file_ = nullptr;

  std::string block_;  // being filled
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;   // full blocks, oldest first
  std::vector<std::string> spare_;  // written blocks, emptied
  bool done_ = false;
  int error_ = 0;  // the first failed write's; guarded by mutex_ while the writer runs
  bool finished_ = false;
  std::thread writer_;
};

/// Reads standard input in blocks; a failed read (a directory, a closed
/// descriptor) is reported as "cannot read standard input: REASON".
class Input {
 public:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;

  /// The next block, empty at the end; sets failed() on a read error.
  std::string_view next();
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  std::vector<char> block_ = std::vector<char>(kBlock);
  bool failed_ = false;
};

}  // namespace morvane::tools
