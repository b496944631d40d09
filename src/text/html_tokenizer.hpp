#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::detail {

/// Splits an HTML or XHTML document, fed in pieces cut anywhere, into text
/// (where words are) and markup (everything else, copied as it is), and
/// reports each tag once its last byte has gone by.
///
/// It follows the tokenizer of the HTML standard in the states that decide
/// where text is: tags and their attribute values (quoted or not), comments
/// (with their abrupt endings), the doctype and other declarations,
/// processing instructions, CDATA sections, and the raw text of `script`,
/// `style`, `textarea`, `title` and the like, which ends only at its own end
/// tag. Character references are left in the text for the reader of the text
/// (`HtmlTextUnits`). No library gives these byte positions while streaming in
/// bounded memory, hence this small state machine.
class HtmlTokenizer {
 public:
  struct Tag {
    std::string name;  // lower case in HTML syntax
    bool end = false;
    bool selfClosing = false;
    bool hasLang = false;
    std::string lang;  // of xml:lang when both are given
    std::string classes;
    std::string xmlns;
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
    kProcessingInstruction,  // XML: up to "?>"
    kCdata,
    kRawText,    // up to the end tag of `rawEnd_`
    kPlainText,  // to the end of the document
  };

  /// Consumes the byte at `at` of `bytes` in the current state.
  void step(char c);
  void startTag(bool end);
  void emitTag();
  void finishAttribute();
  /// Raw text ends at "</" + `rawEnd_` followed by white space, "/" or ">".
  void stepRawText(char c);

  static bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
  }
  static bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  char folded(char c) const { return !xml_ && c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

  Handler& handler_;
  bool xml_ = false;
  bool foreign_ = false;
  State state_ = State::kData;
  Tag tag_;
  std::string attribute_;  // name of the attribute being read
  std::string value_;      // its value, kept for the few attributes that matter
  char quote_ = 0;
  std::string lookahead_;  // of "<!": "--", "[CDATA[", or anything else
  int dashes_ = 0;         // comment: "-" just seen; CDATA: "]"; PI: "?"
  bool bang_ = false;      // comment: "--!" just seen
  std::size_t commentLength_ = 0;
  std::string rawEnd_;          // the element whose raw text this is
  std::size_t rawMatched_ = 0;  // of "</" + rawEnd_
  // Markup bytes of the current piece not handed over yet.
  std::string_view piece_;
  std::size_t markupStart_ = 0;
  std::size_t at_ = 0;
};

}  // namespace morvane::detail
