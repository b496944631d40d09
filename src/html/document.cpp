#include <array>
#include <map>
#include <memory>
#include <vector>

#include "html/text_units.hpp"
#include "html/tokenizer.hpp"
#include "morvane/html.hpp"
#include "morvane/language.hpp"
#include "morvane/languages.hpp"
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

/// Elements whose content is code, verbatim text, notation or text that
/// must not break: left alone, with everything in them.
constexpr std::array<std::string_view, 15> kLeftAlone = {
    "script", "style", "textarea", "title", "pre", "listing", "code", "tt",
    "kbd",    "samp",  "var",      "math",  "svg", "nobr",    "xmp"};

/// HTML start tags that end SVG or MathML content before them, as HTML's
/// parser ends it ("breaks out").
constexpr std::array<std::string_view, 44> kBreaksOut = {
    "b",      "big",  "blockquote", "body",  "br",   "center", "code",    "dd",   "div",
    "dl",     "dt",   "em",         "embed", "h1",   "h2",     "h3",      "h4",   "h5",
    "h6",     "head", "hr",         "i",     "img",  "li",     "listing", "menu", "meta",
    "nobr",   "ol",   "p",          "pre",   "ruby", "s",      "small",   "span", "strong",
    "strike", "sub",  "sup",        "table", "tt",   "u",      "ul",      "var"};

/// SVG and MathML elements whose content is HTML again (in lower case, as
/// HTML syntax reads names): their integration points.
constexpr std::array<std::string_view, 3> kSvgHoldsHtml = {"foreignobject", "desc", "title"};
constexpr std::array<std::string_view, 6> kMathHoldsHtml = {"mi", "mo",    "mn",
                                                            "ms", "mtext", "annotation-xml"};

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

/// Elements are tracked this deep, in runs of alike elements; past it only
/// those that change how their text is read are (the others are counted,
/// so that their end tags close nothing else): memory stays bounded by
/// what matters, whatever the document.
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

class HtmlReader final : public HyphenatingStream::Reader, detail::HtmlTokenizer::Handler {
 public:
  HtmlReader(const Hyphenator& h, const HtmlOptions& options, HyphenatingStream::Writer writer)
      : separator(options.separator),
        syntax(options.syntax),
        hyphenatorFor(options.hyphenatorFor),
        out(std::move(writer)),
        scanner(separator, out),
        tokenizer(*this),
        root(std::make_shared<const TextLanguage>(h)) {
    tokenizer.setXml(syntax == HtmlOptions::Syntax::Xhtml);
    scanner.use(&root->h, &root->joiners);
    if (syntax != HtmlOptions::Syntax::Detect) {
      decided = true;
      xmlSyntax = syntax == HtmlOptions::Syntax::Xhtml;
    }
  }

  /// Open elements, those alike and nested in a row as one.
  struct Element {
    std::string name;
    LanguagePointer language;  // of its text
    bool leftAlone = false;    // with everything in it
    bool hyphensOff = false;   // by CSS hyphens: none or manual, which an element in it may undo
    enum class Space { kHtml, kSvg, kMath } space = Space::kHtml;  // its namespace
    std::size_t count = 1;      // elements like it, each in the one before
    std::size_t untracked = 0;  // elements opened in it past kDeepest, still open

    [[nodiscard]] bool foreign() const { return space != Space::kHtml; }
    /// SVG or MathML whose content is HTML.
    [[nodiscard]] bool holdsHtml() const {
      return (space == Space::kSvg && isOneOf(name, kSvgHoldsHtml)) ||
             (space == Space::kMath && isOneOf(name, kMathHoldsHtml));
    }
    [[nodiscard]] bool readsAs(const Element& other) const {
      return language == other.language && leftAlone == other.leftAlone &&
             hyphensOff == other.hyphensOff && space == other.space;
    }
  };

  void write(std::string_view bytes) override {
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

  [[nodiscard]] std::size_t words() const override { return scanner.words(); }

  void finish() override {
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
    if (syntax == HtmlOptions::Syntax::Detect && !xmlSyntax && !tag.end && tag.xhtmlNamespace) {
      xmlSyntax = true;
      tokenizer.setXml(true);
    }
    if (tag.end) {
      close(tag.name);
    } else {
      open(tag);
    }
    const Element* top = stack.empty() ? nullptr : &stack.back();
    const TextLanguage* language = root.get();
    if (top != nullptr)
      language = top->leftAlone || top->hyphensOff ? nullptr : top->language.get();
    scanner.use(language != nullptr ? &language->h : nullptr,
                language != nullptr ? &language->joiners : nullptr);
    tokenizer.setForeign(top != nullptr && top->foreign() && !top->holdsHtml());
  }

  void open(const detail::HtmlTokenizer::Tag& tag) {
    if (!xmlSyntax && isOneOf(tag.name, kBreaksOut)) {
      // Where SVG and MathML hold HTML (their integration points), it stays.
      while (!stack.empty() && stack.back().foreign() && !stack.back().holdsHtml()) {
        stack.pop_back();
      }
    }
    const bool foreign = !stack.empty() && stack.back().foreign() && !stack.back().holdsHtml();
    // In HTML, <svg/> and <math/> are empty, as any element is in them.
    const bool honourSelfClosing = xmlSyntax || foreign || tag.name == "svg" || tag.name == "math";
    if (!xmlSyntax && !foreign) {
      closeImplied(tag.name);
      if (isOneOf(tag.name, kVoid)) return;
    }
    if (tag.selfClosing && honourSelfClosing) return;
    Element element;
    element.name = tag.name;
    element.language = root;
    if (!stack.empty()) {
      const Element& parent = stack.back();
      element.language = parent.language;
      element.leftAlone = parent.leftAlone;
      element.hyphensOff = parent.hyphensOff;
      element.space = parent.holdsHtml() ? Element::Space::kHtml : parent.space;
    }
    const Element inherited = element;
    if (tag.lang) element.language = languageOf(*tag.lang);
    element.leftAlone = element.leftAlone || isOneOf(tag.name, kLeftAlone) || tag.dontHyphenate;
    if (tag.hyphens) element.hyphensOff = !*tag.hyphens;
    if (tag.name == "svg") element.space = Element::Space::kSvg;
    if (tag.name == "math") element.space = Element::Space::kMath;
    if (!stack.empty()) {
      Element& top = stack.back();
      if (top.untracked == 0 && top.name == element.name && top.readsAs(element)) {
        ++top.count;
        return;
      }
      if (element.readsAs(inherited) && (top.untracked > 0 || stack.size() >= kDeepest)) {
        ++top.untracked;
        return;
      }
    }
    stack.push_back(std::move(element));
  }

  /// Start tags that end the element before them, as HTML's parser does.
  void closeImplied(std::string_view name) {
    if (stack.empty() || stack.back().untracked > 0) return;
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
    if (closes()) popOne(stack.size() - 1);
    // A link or nobr in another ends it, and what was opened in it.
    if (name == "a" || name == "nobr") {
      for (std::size_t i = stack.size(); i-- > 0;) {
        if (stack[i].name == name) {
          popOne(i);
          break;
        }
      }
    }
    if (name == "tr" && !stack.empty() && stack.back().name == "tr") popOne(stack.size() - 1);
  }

  /// Closes the innermost element of the run at `i`, and all in it.
  void popOne(std::size_t i) {
    if (--stack[i].count == 0) {
      stack.resize(i);
    } else {
      stack.resize(i + 1);
      stack[i].untracked = 0;
    }
  }

  void close(std::string_view name) {
    if (stack.empty()) return;
    if (stack.back().untracked > 0) {
      // One of the elements past the depth tracked, whatever its name.
      --stack.back().untracked;
      return;
    }
    for (std::size_t i = stack.size(); i-- > 0;) {
      if (stack[i].name == name) {
        popOne(i);
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
  bool decided = false;
  bool xmlSyntax = false;
  std::string prefix;  // the first bytes, until the syntax is known
};

HtmlStream::HtmlStream(const Hyphenator& h, const HtmlOptions& options, Writer out)
    : HyphenatingStream(std::make_unique<HtmlReader>(h, options, std::move(out))) {}

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
