#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace morvane::tools {

/// Counts and reports what went through, with a progress line every second
/// when standard error is a terminal.
class Stats {
 public:
  explicit Stats(bool enabled) : enabled_(enabled), progress_(enabled && isatty(2) != 0) {}

  void add(std::size_t words, std::size_t bytes) {
    words_ += words;
    bytes_ += bytes;
    if (!progress_) return;
    const auto now = Clock::now();
    if (now - lastProgress_ >= std::chrono::seconds(1)) {
      lastProgress_ = now;
      std::fprintf(stderr, "\r%zu words, %zu bytes...", words_, bytes_);
    }
  }

  void report() const {
    if (!enabled_) return;
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    std::fprintf(stderr, "%swords: %zu\nbytes: %zu\nseconds: %.3f\nwords per second: %.0f\n",
                 progress_ ? "\r" : "", words_, bytes_, seconds,
                 seconds > 0 ? static_cast<double>(words_) / seconds : 0.0);
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool progress_;
  std::size_t words_ = 0;
  std::size_t bytes_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastProgress_ = start_;
};

}  // namespace morvane::tools
