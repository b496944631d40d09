#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "morvane/cxx20.hpp"
#include "morvane/hyphenator.hpp"
#include "morvane/stream.hpp"

namespace morvane {

/// How `hyphenateHtml` reads a document.
struct HtmlOptions {
  HtmlOptions() = default;
  // NOLINTNEXTLINE(google-explicit-constructor): the separator is what most callers set
  HtmlOptions(std::string sep) : separator(std::move(sep)) {}

  /// Put at every break. U+00AD in UTF-8 by default; "&shy;" works as well.
  std::string separator = "\u00AD";

  /// HTML syntax, or XHTML (XML syntax: `<p/>` is an empty element, names
  /// keep their case, CDATA sections, no raw text). `Detect` reads a
  /// document that begins with "<?xml", or whose root declares the XHTML
  /// namespace, as XHTML (EPUB content documents do both), and others as
  /// HTML.
  enum class Syntax { Detect, Html, Xhtml } syntax = Syntax::Detect;

  /// The hyphenator for the content of an element whose `lang` or
  /// `xml:lang` attribute names `tag` (a BCP 47 tag), or nothing to leave
  /// that content as it is. By default the built-in language of the tag
  /// (`languageFromTag`); content in a language without patterns, or of
  /// `lang=""`, is left alone.
  std::function<std::optional<Hyphenator>(std::string_view tag)> hyphenatorFor;
};

/// `document` (UTF-8 HTML or XHTML) with the separator at every break of
/// every word of its text, and every other byte as it was: tags, attribute
/// values, comments, the doctype, processing instructions, CDATA sections
/// and character references are never touched (a word holding a reference,
/// "caf&eacute;", is scored as it reads, "café", and the reference stays
/// whole). The content of `script`, `style`, `textarea`, `title`, `pre`,
/// `listing`, `xmp`, `code`, `tt`, `kbd`, `samp`, `var`, `nobr`, `math` and
/// `svg`, of any element whose class list holds `donthyphenate`, and of any
/// whose `style` says `hyphens: none` or `manual`, is left as it is, with
/// everything in it (a `lang` inside does not change that). Text outside any
/// `lang` is hyphenated with `h`. Words are found as `hyphenateText` finds
/// them; markup ends a word. Malformed markup is read as browsers read it,
/// as far as where text is goes, and nothing is ever dropped or moved.
[[nodiscard]] std::string hyphenateHtml(const Hyphenator& h, std::string_view document,
                                        const HtmlOptions& options = {});

/// `hyphenateHtml` for a document that arrives in pieces, cut anywhere:
/// the writer receives, in pieces of bounded size, exactly what
/// `hyphenateHtml` gives for the whole, and memory stays bounded.
class HtmlStream : public HyphenatingStream {
 public:
  HtmlStream(const Hyphenator& h, const HtmlOptions& options, Writer out);
};

}  // namespace morvane
