#include <iconv.h>

#include <bit>
#include <string>

#include "formats/charset_backend.hpp"

namespace morvane::detail {

namespace {

/// The name iconv knows for what dictionaries call their character set.
std::string iconvName(std::string_view charset) {
  if (charset == "microsoft-cp1251") return "CP1251";
  return std::string(charset);
}

class Converter {
 public:
  explicit Converter(std::string_view charset)
      : handle_(iconv_open("UTF-32LE", iconvName(charset).c_str())) {}
  ~Converter() {
    if (opened()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  [[nodiscard]] bool opened() const {
    // iconv_open's documented failure value.
    return handle_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  }
  [[nodiscard]] iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

ConvertedText convertCharset(std::string_view bytes, std::string_view charset) {
  ConvertedText converted;
  const Converter converter(charset);
  if (!converter.opened()) {
    converted.status = ConvertedText::Status::UnknownCharset;
    return converted;
  }
  std::u32string& text = converted.text;
  text.assign(bytes.size(), U'\0');  // one byte is at least one character
  // iconv's interface takes mutable pointers but reads only from the input.
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* out = reinterpret_cast<char*>(text.data());
  std::size_t outLeft = text.size() * sizeof(char32_t);
  if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    converted.status = ConvertedText::Status::Invalid;
    converted.invalidAt = static_cast<std::size_t>(in - bytes.data());
    return converted;
  }
  text.resize(text.size() - outLeft / sizeof(char32_t));
  // UTF-32LE as written; on a big-endian machine the bytes are turned round.
  if constexpr (std::endian::native == std::endian::big) {
    for (char32_t& c : text) c = static_cast<char32_t>(__builtin_bswap32(c));
  }
  return converted;
}

}  // namespace morvane::detail
