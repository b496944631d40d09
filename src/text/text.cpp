#include "morvane/text.hpp"

#include <functional>
#include <memory>

#include "engine/hyphenator_parts.hpp"
#include "text/output_buffer.hpp"
#include "text/text_scanner.hpp"

namespace morvane {

namespace detail {

WordJoiners::WordJoiners(const Hyphenator& h) {
  const CharMap* map = hyphenatorChars(h).table();
  if (map == nullptr) return;
  const auto consider = [this](char32_t c) {
    if (c != U'-' && c != U'\u2010' && c != kSoftHyphen && !isLetterOrMark(c)) {
      joiners_.push_back(c);
    }
  };
  for (const auto& [from, to] : map->pairs()) {
    consider(from);
    consider(to);
  }
  std::sort(joiners_.begin(), joiners_.end());
  joiners_.erase(std::unique(joiners_.begin(), joiners_.end()), joiners_.end());
  for (const char32_t c : joiners_) {
    if (c < 0x80) ascii_ += static_cast<char>(c);
  }
}

const WordJoiners& wordJoinersOf(const Hyphenator& h) {
  return *partsOf(h).wordJoiners.get([&h] { return std::make_shared<const WordJoiners>(h); });
}

}  // namespace detail

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

struct TextStream::State {
  State(Hyphenator hyphenator, std::string_view sep, Writer writer)
      : h(std::move(hyphenator)), separator(sep), out(std::move(writer)), scanner(separator, out) {
    scanner.use(&h, &detail::wordJoinersOf(h));
  }
  Hyphenator h;
  std::string separator;
  detail::OutputBuffer out;
  detail::TextScanner<detail::Utf8Units, detail::OutputBuffer> scanner;
};

TextStream::TextStream(const Hyphenator& h, std::string_view separator, Writer out)
    : state_(std::make_unique<State>(h, separator, std::move(out))) {}

TextStream::~TextStream() = default;

void TextStream::write(std::string_view text) { state_->scanner.feed(text); }

void TextStream::finish() {
  state_->scanner.endText();
  state_->out.flush();
}

std::size_t TextStream::words() const { return state_->scanner.words(); }

}  // namespace morvane
