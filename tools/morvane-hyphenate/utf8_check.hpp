#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace morvane::tools {

/// Follows a stream of bytes, cut anywhere, line by line, and reports the
/// first byte of every line that is not UTF-8, naming the line and the byte
/// offset within it. Holds at most three bytes, however long the lines.
class Utf8LineCheck {
 public:
  /// Reports name "where N", N counting lines from `firstLine`.
  explicit Utf8LineCheck(std::string where, std::size_t firstLine = 1)
      : where_(std::move(where)), line_(firstLine) {}

  void feed(std::string_view bytes) {
    for (const char c : bytes) step(static_cast<unsigned char>(c));
  }
  /// The end of the input: a sequence cut off by it is invalid.
  void finish() {
    if (needed_ > 0) report(sequenceStart_);
  }
  [[nodiscard]] bool failed() const { return failed_; }

 private:
  void step(unsigned char byte) {
    if (needed_ > 0) {
      if (byte >= low_ && byte <= high_) {
        low_ = 0x80;
        high_ = 0xBF;
        --needed_;
        ++offset_;
        return;
      }
      report(sequenceStart_);
      needed_ = 0;  // and read this byte afresh
    }
    if (byte == '\n') {
      ++line_;
      offset_ = 0;
      reported_ = false;
      return;
    }
    sequenceStart_ = offset_++;
    if (byte < 0x80) return;
    // The lead byte fixes the length and the range of the next byte.
    low_ = 0x80;
    high_ = 0xBF;
    if (byte >= 0xC2 && byte <= 0xDF) {
      needed_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      needed_ = 2;
      if (byte == 0xE0) low_ = 0xA0;
      if (byte == 0xED) high_ = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      needed_ = 3;
      if (byte == 0xF0) low_ = 0x90;
      if (byte == 0xF4) high_ = 0x8F;
    } else {
      report(sequenceStart_);
    }
  }

  void report(std::size_t offset) {
    failed_ = true;
    if (reported_) return;
    reported_ = true;
    std::fprintf(stderr, "morvane-hyphenate: %s %zu: invalid UTF-8 at byte offset %zu\n",
                 where_.c_str(), line_, offset);
  }

  std::string where_;
  std::size_t line_;
  std::size_t offset_ = 0;  // within the line
  std::size_t sequenceStart_ = 0;
  int needed_ = 0;  // continuation bytes still to come
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xBF;
  bool reported_ = false;  // for this line
  bool failed_ = false;
};

}  // namespace morvane::tools
