#include "morvane/html.hpp"

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "morvane/language.hpp"
#include "morvane/languages.hpp"
#include "text/html_tokenizer.hpp"
#include "text/output_buffer.hpp"
#include "text/text_scanner.hpp"

namespace morvane {

namespace {

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
  for (const std::string_view n : names) {
    if (n == name) return true;
  }
  return false;
}

/// Elements whose content is code, verbatim text or notation: left alone.
constexpr std::array<std::string_view, 11> kLeftAlone = {
    "script", "style", "textarea", "title", "pre", "code", "kbd", "samp", "var", "math", "svg"};

/// HTML elements that never have content, so never get an end tag.
constexpr std::array<std::string_view, 18> kVoid = {
    "area", "base",  "basefont", "bgsound", "br",   "col",   "embed",  "frame", "hr",
    "img",  "input", "keygen",   "link",    "meta", "param", "source", "track", "wbr"};

/// Start tags that close an open `p` (HTML's implied end tags).
constexpr std::array<std::string_view, 30> kClosesP = {
    "address",  "article",    "aside",  "blockquote", "details", "dialog", "div",  "dl",
    "fieldset", "figcaption", "figure", "footer",     "form",    "h1",     "h2",   "h3",
    "h4",       "h5",         "h6",     "header",     "hgroup",  "hr",     "main", "menu",
    "nav",      "ol",         "p",      "pre",        "section", "ul"};

bool hasClass(std::string_view classes, std::string_view wanted) {
  std::size_t at = 0;
  while (at < classes.size()) {
    const std::size_t start = classes.find_first_not_of(" \t\n\f\r", at);
    if (start == std::string_view::npos) break;
    std::size_t end = classes.find_first_of(" \t\n\f\r", start);
    if (end == std::string_view::npos) end = classes.size();
    if (classes.substr(start, end - start) == wanted) return true;
    at = end;
  }
  return false;
}

constexpr std::string_view kXhtmlNamespace = "http://www.w3.org/1999/xhtml";

/// Deeper elements than this are not tracked (their ends are counted, so the
/// stack stays right): memory stays bounded whatever the document.
constexpr std::size_t kDeepest = 512;

/// The hyphenator of a language, and its joiners (kept with the hyphenator).
struct TextLanguage {
  Hyphenator h;
  const detail::WordJoiners& joiners;
  explicit TextLanguage(Hyphenator hyphenator)
      : h(std::move(hyphenator)), joiners(detail::wordJoinersOf(h)) {}
};
using LanguagePointer = std::shared_ptr<const TextLanguage>;

}  // namespace

struct HtmlStream::State final : detail::HtmlTokenizer::Handler {
  State(const Hyphenator& h, const HtmlOptions& options, Writer writer)
      : separator(options.separator),
        syntax(options.syntax),
        hyphenatorFor(options.hyphenatorFor),
        out(std::move(writer)),
        scanner(separator, out),
        tokenizer(*this),
        root(std::make_shared<const TextLanguage>(h)) {
    tokenizer.setXml(syntax == HtmlOptions::Syntax::Xhtml);
    scanner.use(&root->h, &root->joiners);
  }

  struct Element {
    std::string name;
    LanguagePointer language;  // null: left as it is
    bool foreign;              // SVG or MathML
  };

  void write(std::string_view bytes) {
    if (syntax == HtmlOptions::Syntax::Detect && !decided) {
      // A document that begins with an XML declaration is XHTML.
      prefix.append(bytes);
      std::string_view head = prefix;
      if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
      if (head.size() < 5 && std::string_view("<?xml").starts_with(head)) return;
      decide(head.starts_with("<?xml"));
      tokenizer.feed(prefix);
      prefix.clear();
      return;
    }
    tokenizer.feed(bytes);
  }

  void finish() {
    if (!decided) {
      decide(false);
      tokenizer.feed(prefix);
    }
    tokenizer.finish();
    scanner.endText();
    out.flush();
  }

  void decide(bool xml) {
    decided = true;
    xmlSyntax = xml;
    tokenizer.setXml(xml);
  }

  // HtmlTokenizer::Handler
  void text(std::string_view bytes) override { scanner.feed(bytes); }
  void markup(std::string_view bytes) override {
    scanner.endText();
    out.append(bytes);
  }
  void tag(const detail::HtmlTokenizer::Tag& tag) override {
    if (syntax == HtmlOptions::Syntax::Detect && !xmlSyntax && !tag.end &&
        tag.xmlns == kXhtmlNamespace) {
      xmlSyntax = true;
      tokenizer.setXml(true);
    }
    if (tag.end) {
      close(tag.name);
    } else {
      open(tag);
    }
    const Element* top = stack.empty() ? nullptr : &stack.back();
    const TextLanguage* language = top != nullptr ? top->language.get() : root.get();
    scanner.use(language != nullptr ? &language->h : nullptr,
                language != nullptr ? &language->joiners : nullptr);
    tokenizer.setForeign(top != nullptr && top->foreign);
  }

  void open(const detail::HtmlTokenizer::Tag& tag) {
    const bool foreign = !stack.empty() && stack.back().foreign;
    const bool honourSelfClosing = xmlSyntax || foreign;
    if (!xmlSyntax && !foreign) {
      closeImplied(tag.name);
      if (isOneOf(tag.name, kVoid)) return;
    }
    if (tag.selfClosing && honourSelfClosing) return;
    if (stack.size() >= kDeepest) {
      ++untracked;
      return;
    }
    LanguagePointer language = stack.empty() ? root : stack.back().language;
    if (tag.hasLang) language = languageOf(tag.lang);
    if (isOneOf(tag.name, kLeftAlone) || hasClass(tag.classes, "donthyphenate")) {
      language = nullptr;
    }
    stack.push_back({tag.name, language, foreign || tag.name == "svg" || tag.name == "math"});
  }

  /// Start tags that end the element before them, as HTML's parser does.
  void closeImplied(std::string_view name) {
    if (stack.empty()) return;
    const std::string_view top = stack.back().name;
    const auto closes = [&] {
      if (top == "p" && isOneOf(name, kClosesP)) return true;
      if (name == "li") return top == "li";
      if (name == "dt" || name == "dd") return top == "dt" || top == "dd";
      if (name == "option") return top == "option";
      if (name == "optgroup") return top == "option" || top == "optgroup";
      if (name == "td" || name == "th" || name == "tr") return top == "td" || top == "th";
      return false;
    };
    if (closes()) stack.pop_back();
    if (name == "tr" && !stack.empty() && stack.back().name == "tr") stack.pop_back();
  }

  void close(std::string_view name) {
    if (untracked > 0) {
      --untracked;
      return;
    }
    for (std::size_t i = stack.size(); i-- > 0;) {
      if (stack[i].name == name) {
        stack.resize(i);
        return;
      }
    }
  }

  LanguagePointer languageOf(const std::string& tag) {
    auto found = languages.find(tag);
    if (found == languages.end()) {
      if (languages.size() >= kDeepest) languages.clear();  // bounded, whatever the document
      std::optional<Hyphenator> h;
      if (hyphenatorFor) {
        h = hyphenatorFor(tag);
      } else if (const auto language = languageFromTag(tag)) {
        h = languageHyphenator(*language);
      }
      found = languages.emplace(tag, h ? std::make_shared<const TextLanguage>(*h) : nullptr).first;
    }
    return found->second;
  }

  std::string separator;
  HtmlOptions::Syntax syntax;
  std::function<std::optional<Hyphenator>(std::string_view)> hyphenatorFor;
  detail::OutputBuffer out;
  detail::TextScanner<detail::HtmlTextUnits, detail::OutputBuffer> scanner;
  detail::HtmlTokenizer tokenizer;
  LanguagePointer root;
  std::map<std::string, LanguagePointer, std::less<>> languages;
  std::vector<Element> stack;
  std::size_t untracked = 0;
  bool decided = false;
  bool xmlSyntax = false;
  std::string prefix;  // the first bytes, until the syntax is known
};

HtmlStream::HtmlStream(const Hyphenator& h, const HtmlOptions& options, Writer out)
    : state_(std::make_unique<State>(h, options, std::move(out))) {
  if (options.syntax != HtmlOptions::Syntax::Detect) {
    state_->decided = true;
    state_->xmlSyntax = options.syntax == HtmlOptions::Syntax::Xhtml;
  }
}

HtmlStream::~HtmlStream() = default;

void HtmlStream::write(std::string_view bytes) { state_->write(bytes); }

void HtmlStream::finish() { state_->finish(); }

std::size_t HtmlStream::words() const { return state_->scanner.words(); }

std::string hyphenateHtml(const Hyphenator& h, std::string_view document,
                          const HtmlOptions& options) {
  std::string result;
  result.reserve(document.size() + document.size() / 8);
  HtmlStream stream(h, options, [&result](std::string_view piece) { result.append(piece); });
  stream.write(document);
  stream.finish();
  return result;
}

}  // namespace morvane
