#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

namespace morvane::tools {

/// Standard output, every write checked: a failed write is remembered and
/// makes the run fail, however the output ended.
class Output {
 public:
  void write(std::string_view bytes) {
    if (failed_) return;
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size();
  }
  /// Flushes; true when everything written arrived.
  bool finish() {
    failed_ = failed_ || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (failed_) std::fputs("morvane-hyphenate: cannot write standard output\n", stderr);
    return !failed_;
  }

 private:
  bool failed_ = false;
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
