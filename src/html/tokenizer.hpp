#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvane::detail {

/// Splits an HTML or XHTML document, fed in pieces cut anywhere, into text
/// (where words are) and markup (everything else, copied as it is), and
/// reports each tag once its last byte has gone by.
///
/// It follows the tokenizer of the HTML standard in the states that decide
/// where text is: tags and their attribute values (quoted or not), comments
/// (with their abrupt endings), the doctype and other declarations (in XML,
/// with the internal subset of a doctype), processing instructions, CDATA
/// sections, the raw text of `style`, `textarea`, `title` and the like,
/// which ends only at its own end tag, and `script`, whose "<!--" escapes
/// can hide an end tag. Character references are left in the text for the
/// reader of the text (`HtmlTextUnits`). No library gives these byte
/// positions while streaming in bounded memory, hence this small state
/// machine. Of an attribute given twice, the first counts, as in HTML.
class HtmlTokenizer {
 public:
  struct Tag {
    std::string name;  // lower case in HTML syntax; at most kLongestName bytes
    bool end = false;
    bool selfClosing = false;
    /// The language the tag names (`xml:lang` before `lang`), when it names
    /// one; a value too long to be a language tag reads as "x-too-long".
    std::optional<std::string> lang;
    bool dontHyphenate = false;  // `donthyphenate` is one of its classes
    /// What its style says of CSS `hyphens`: false for none or manual,
    /// true for auto.
    std::optional<bool> hyphens;
    bool xhtmlNamespace = false;  // xmlns names XHTML's
  };

  class Handler {
   public:
    virtual void text(std::string_view bytes) = 0;
    virtual void markup(std::string_view bytes) = 0;
    /// A start or end tag, after its bytes went to `markup`.
    virtual void tag(const Tag& tag) = 0;

   protected:
    ~Handler() = default;
  };

  explicit HtmlTokenizer(Handler& handler) : handler_(handler) {}

  /// XML syntax from now on (or HTML syntax again).
  void setXml(bool xml) { xml_ = xml; }
  /// Whether a tag's content is foreign (SVG, MathML), where CDATA sections
  /// and self-closing tags count in HTML too.
  void setForeign(bool foreign) { foreign_ = foreign; }

  void feed(std::string_view bytes);
  /// Ends the document: whatever is open ends with it.
  void finish();

  static constexpr std::size_t kLongestName = 64;

 private:
  enum class State {
    kData,
    kTagOpen,     // after "<"
    kEndTagOpen,  // after "</"
    kTagName,
    kBeforeAttributeName,
    kAttributeName,
    kAfterAttributeName,
    kBeforeAttributeValue,
    kAttributeValue,  // quoted by `quote_`, or unquoted when it is 0
    kAfterAttributeValue,
    kSelfClosing,
    kDeclarationOpen,  // after "<!": a comment, a CDATA section or a declaration
    kComment,
    kBogusComment,           // up to ">"
    kDoctype,                // XML: up to the ">" outside quotes and the internal subset
    kProcessingInstruction,  // XML: up to "?>"
    kCdata,
    kRawText,     // up to the end tag of `rawEnd_`
    kScriptData,  // HTML's script, with its escapes
    kPlainText,   // to the end of the document
  };
  /// Where in a script's text: the HTML standard's script data states.
  enum class Script {
    kData,
    kLessThan,
    kEndTagOpen,  // "</" and `rawMatched_` letters of "script"
    kEscapeStart,
    kEscapeStartDash,
    kEscaped,
    kEscapedDash,
    kEscapedDashDash,
    kEscapedLessThan,
    kDoubleEscapeStart,
    kDoubleEscaped,
    kDoubleEscapedDash,
    kDoubleEscapedDashDash,
    kDoubleEscapedLessThan,
    kDoubleEscapeEnd,
  };
  /// The attributes that matter here, as they are read.
  enum class Attribute { kOther, kLang, kXmlLang, kClass, kXmlns, kStyle };

  /// Consumes the byte at `at` of `bytes` in the current state.
  void step(char c);
  void startTag(bool end);
  /// What ends a tag's name, or an attribute's quoted value, and goes on the
  /// same way after it: white space, "/" or ">". False for anything else.
  bool endsName(char c);
  void emitTag();
  void startAttributeValue();
  void valueByte(char c);
  void finishAttribute();
  void finishClassToken();
  void finishStyleDeclaration();
  /// Raw text ends at "</" + `rawEnd_` followed by white space, "/" or ">".
  void stepRawText(char c);
  void stepScript(char c);
  /// Text of a script's escape ("<!--"), or of one inside it: as it is,
  /// after "-", after "--", and at "<".
  struct EscapeStates {
    Script plain;
    Script dash;
    Script dashDash;
    Script lessThan;
  };
  void stepEscaped(char c, const EscapeStates& states);
  /// The end tag of the raw text begins: `c` is the byte after its name.
  void endRawText(char c);
  void stepDoctype(char c);

  static bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
  }
  static bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
  char folded(char c) const { return xml_ ? c : lower(c); }

  Handler& handler_;
  Tag tag_;
  std::string attribute_;   // name of the attribute being read
  std::string value_;       // of lang, xml:lang or xmlns, up to kLongestValue
  std::string token_;       // the class name or CSS word being read, up to kLongestToken
  std::string property_;    // the CSS property whose value is being read
  std::string lookahead_;   // of "<!": "--", "[CDATA[", or anything else
  std::string rawEnd_;      // the element whose raw text this is
  std::string scriptWord_;  // a tag name in escaped text, up to "script" and one more
  std::size_t commentLength_ = 0;
  std::size_t rawMatched_ = 0;  // of "</" + rawEnd_
  // Markup bytes of the current piece not handed over yet.
  std::string_view piece_;
  std::size_t markupStart_ = 0;
  std::size_t at_ = 0;
  State state_ = State::kData;
  Attribute reading_ = Attribute::kOther;
  Script script_ = Script::kData;
  // An XML doctype: quoted, in its internal subset, in a declaration,
  // comment or processing instruction there.
  enum class InSubset { kNothing, kLessThan, kDeclaration, kComment, kInstruction } inSubset_{};
  int dashes_ = 0;         // comment: "-" just seen; CDATA: "]"; PI: "?"
  std::uint8_t seen_ = 0;  // bits of the attributes given so far in this tag
  bool xml_ = false;
  bool foreign_ = false;
  bool valueTooLong_ = false;
  bool tokenTooLong_ = false;
  bool inValue_ = false;  // of a CSS declaration
  char cssQuote_ = 0;
  char quote_ = 0;
  bool bang_ = false;  // comment: "--!" just seen
  bool subset_ = false;
  bool scriptEscaped_ = false;  // an end tag being matched is in escaped text
};

}  // namespace morvane::detail
