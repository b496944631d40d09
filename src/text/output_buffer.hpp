#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace morvane::detail {

/// Collects output and hands it on in pieces of about kSize bytes, so that a
/// stream's memory stays bounded whatever it writes.
class OutputBuffer {
 public:
  static constexpr std::size_t kSize = std::size_t{1} << 16;

  explicit OutputBuffer(std::function<void(std::string_view)> out) : out_(std::move(out)) {
    buffer_.reserve(kSize);
  }
  void append(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kSize) {
      flush();
      if (bytes.size() > kSize) {
        out_(bytes);
        return;
      }
    }
    buffer_.append(bytes);
  }
  void flush() {
    if (buffer_.empty()) return;
    out_(buffer_);
    buffer_.clear();
  }

 private:
  std::function<void(std::string_view)> out_;
  std::string buffer_;
};

}  // namespace morvane::detail
