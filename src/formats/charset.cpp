#include "formats/charset.hpp"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <string>

#include "common/utf8.hpp"
#include "formats/file_text.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

/// The name iconv knows for what dictionaries call their character set.
std::string iconvName(std::string_view charset) {
  if (charset == "microsoft-cp1251") return "CP1251";
  return std::string(charset);
}

class Converter {
 public:
  explicit Converter(std::string_view charset) {
    handle_ = iconv_open("UTF-32LE", iconvName(charset).c_str());
    // iconv_open's documented failure value.
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
      throw Error("unknown character set \"" + shownText(charset) + "\"");
    }
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  [[nodiscard]] iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

std::u32string decodeCharset(std::string_view bytes, std::string_view charset,
                             std::size_t offsetBase) {
  const auto invalid = [&](std::size_t at) {
    return CharsetError(
        "invalid " + shownText(charset) + " at byte offset " + std::to_string(offsetBase + at), at);
  };
  if (charset == "UTF-8" || charset == "utf-8") {
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
      char32_t c = 0;
      const std::size_t length = decodeUtf8Char(bytes.substr(at), c);
      if (length == 0) throw invalid(at);
      text.push_back(c);
      at += length;
    }
    return text;
  }
  const Converter converter(charset);
  std::u32string text(bytes.size(), U'\0');  // one byte is at least one character
  // iconv's interface takes mutable pointers but reads only from the input.
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* out = reinterpret_cast<char*>(text.data());
  std::size_t outLeft = text.size() * sizeof(char32_t);
  if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    throw invalid(static_cast<std::size_t>(in - bytes.data()));
  }
  text.resize(text.size() - outLeft / sizeof(char32_t));
  // UTF-32LE as written; on a big-endian machine the bytes are turned round.
  if constexpr (std::endian::native == std::endian::big) {
    for (char32_t& c : text) c = static_cast<char32_t>(__builtin_bswap32(c));
  }
  return text;
}

}  // namespace morvane::detail
