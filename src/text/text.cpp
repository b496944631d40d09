#include "morvane/text.hpp"

#include <functional>
#include <memory>

#include "text/output_buffer.hpp"
#include "text/text_scanner.hpp"

namespace morvane {

namespace {

template <class Units, class Out>
std::size_t hyphenateWhole(const Hyphenator& h, typename Units::Char const* data, std::size_t size,
                           std::basic_string_view<typename Units::Char> separator, Out& out) {
  detail::TextScanner<Units, Out> scanner(separator, out);
  scanner.use(&h, &detail::wordJoinersOf(h));
  scanner.feed({data, size});
  scanner.endText();
  return scanner.words();
}

}  // namespace

std::u32string hyphenateText(const Hyphenator& h, std::u32string_view text,
                             std::u32string_view separator) {
  std::u32string out;
  out.reserve(text.size() + text.size() / 8);
  (void)hyphenateWhole<detail::Utf32Units>(h, text.data(), text.size(), separator, out);
  return out;
}

std::string hyphenateText(const Hyphenator& h, std::string_view text, std::string_view separator) {
  std::string out;
  (void)appendHyphenatedText(h, text, separator, out);
  return out;
}

std::size_t appendHyphenatedText(const Hyphenator& h, std::string_view text,
                                 std::string_view separator, std::string& out) {
  // Appending may move `out`: text or separator held in it are copied first.
  const auto inOut = [&out](std::string_view s) {
    return !s.empty() && std::less_equal<>()(out.data(), s.data()) &&
           std::less<>()(s.data(), out.data() + out.capacity());
  };
  if (inOut(text) || inOut(separator)) {
    const std::string ownText(text);
    const std::string ownSeparator(separator);
    return appendHyphenatedText(h, ownText, ownSeparator, out);
  }
  out.reserve(out.size() + text.size() + text.size() / 8);
  return hyphenateWhole<detail::Utf8Units>(h, text.data(), text.size(), separator, out);
}

HyphenatingStream::~HyphenatingStream() = default;

namespace {

class TextReader final : public HyphenatingStream::Reader {
 public:
  TextReader(Hyphenator hyphenator, std::string_view sep, HyphenatingStream::Writer writer)
      : h_(std::move(hyphenator)),
        separator_(sep),
        out_(std::move(writer)),
        scanner_(separator_, out_) {
    scanner_.use(&h_, &detail::wordJoinersOf(h_));
  }
  void write(std::string_view text) override { scanner_.feed(text); }
  void finish() override {
    scanner_.endText();
    out_.flush();
  }
  [[nodiscard]] std::size_t words() const override { return scanner_.words(); }

 private:
  Hyphenator h_;
  std::string separator_;
  detail::OutputBuffer out_;
  detail::TextScanner<detail::Utf8Units, detail::OutputBuffer> scanner_;
};

}  // namespace

TextStream::TextStream(const Hyphenator& h, std::string_view separator, Writer out)
    : HyphenatingStream(std::make_unique<TextReader>(h, separator, std::move(out))) {}

}  // namespace morvane
