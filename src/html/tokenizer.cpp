#include "html/tokenizer.hpp"

#include <array>

namespace morvane::detail {

namespace {

// Longer values matter to no one here: a language tag, the XHTML namespace
// and the CSS words looked for are all shorter.
constexpr std::size_t kLongestValue = 1024;
constexpr std::size_t kLongestToken = 64;
constexpr std::string_view kXhtmlNamespace = "http://www.w3.org/1999/xhtml";

/// Elements whose content the HTML tokenizer reads as raw text, up to their
/// own end tag (RAWTEXT and RCDATA alike: neither holds words to hyphenate).
bool isRawTextElement(std::string_view name) {
  static constexpr std::array<std::string_view, 9> kRaw = {
      "script", "style", "textarea", "title", "xmp", "iframe", "noembed", "noframes", "noscript"};
  for (const std::string_view raw : kRaw) {
    if (name == raw) return true;
  }
  return false;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' ||
                        s.front() == '\r' || s.front() == '\f')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' ||
                        s.back() == '\r' || s.back() == '\f')) {
    s.remove_suffix(1);
  }
  return s;
}

std::uint8_t bit(int attribute) { return static_cast<std::uint8_t>(1U << attribute); }

}  // namespace

void HtmlTokenizer::feed(std::string_view bytes) {
  piece_ = bytes;
  at_ = 0;
  markupStart_ = 0;
  const auto flushMarkup = [this] {
    if (at_ > markupStart_) handler_.markup(piece_.substr(markupStart_, at_ - markupStart_));
    markupStart_ = at_;
  };
  while (at_ < bytes.size()) {
    if (state_ == State::kData) {
      flushMarkup();
      std::size_t end = bytes.find('<', at_);
      if (end == std::string_view::npos) end = bytes.size();
      if (end > at_) handler_.text(bytes.substr(at_, end - at_));
      at_ = end;
      markupStart_ = at_;
      if (at_ == bytes.size()) break;
      ++at_;  // the "<"
      state_ = State::kTagOpen;
      continue;
    }
    const State before = state_;
    step(bytes[at_]);
    // A byte that turned out not to start a tag is read again as text.
    if (!(before == State::kTagOpen && state_ == State::kData)) ++at_;
  }
  flushMarkup();
  piece_ = {};
}

void HtmlTokenizer::finish() {
  // A tag or comment cut off by the end stays markup; nothing is pending.
  state_ = State::kData;
}

void HtmlTokenizer::startTag(bool end) {
  tag_ = Tag{};
  tag_.end = end;
  attribute_.clear();
  seen_ = 0;
  state_ = State::kTagName;
}

void HtmlTokenizer::startAttributeValue() {
  reading_ = Attribute::kOther;
  if (attribute_ == "lang") reading_ = Attribute::kLang;
  if (attribute_ == "xml:lang") reading_ = Attribute::kXmlLang;
  if (attribute_ == "class") reading_ = Attribute::kClass;
  if (attribute_ == "xmlns") reading_ = Attribute::kXmlns;
  if (attribute_ == "style") reading_ = Attribute::kStyle;
  // Of an attribute given twice, the first counts.
  if ((seen_ & bit(static_cast<int>(reading_))) != 0) reading_ = Attribute::kOther;
  value_.clear();
  valueTooLong_ = false;
  token_.clear();
  tokenTooLong_ = false;
  property_.clear();
  inValue_ = false;
  cssQuote_ = 0;
}

void HtmlTokenizer::valueByte(char c) {
  switch (reading_) {
    case Attribute::kOther:
      return;
    case Attribute::kLang:
    case Attribute::kXmlLang:
    case Attribute::kXmlns:
      if (value_.size() < kLongestValue) {
        value_.push_back(c);
      } else {
        valueTooLong_ = true;
      }
      return;
    case Attribute::kClass:
      if (isSpace(c)) {
        finishClassToken();
      } else if (token_.size() < kLongestToken) {
        token_.push_back(c);
      } else {
        tokenTooLong_ = true;
      }
      return;
    case Attribute::kStyle:
      if (cssQuote_ != 0) {
        if (c == cssQuote_) cssQuote_ = 0;
        return;
      }
      if (c == '"' || c == '\'') {
        cssQuote_ = c;
      } else if (c == ';') {
        finishStyleDeclaration();
      } else if (c == ':' && !inValue_) {
        property_ = tokenTooLong_ ? std::string() : std::string(trimmed(token_));
        token_.clear();
        tokenTooLong_ = false;
        inValue_ = true;
      } else if (token_.size() < kLongestToken) {
        token_.push_back(lower(c));
      } else {
        tokenTooLong_ = true;
      }
      return;
  }
}

void HtmlTokenizer::finishClassToken() {
  if (!tokenTooLong_ && token_ == "donthyphenate") tag_.dontHyphenate = true;
  token_.clear();
  tokenTooLong_ = false;
}

void HtmlTokenizer::finishStyleDeclaration() {
  if (inValue_ && !tokenTooLong_ && property_ == "hyphens") {
    std::string_view value = trimmed(token_);
    if (value.ends_with("!important")) value = trimmed(value.substr(0, value.size() - 10));
    // Of two declarations, the later counts.
    if (value == "none" || value == "manual") tag_.hyphens = false;
    if (value == "auto") tag_.hyphens = true;
  }
  token_.clear();
  tokenTooLong_ = false;
  property_.clear();
  inValue_ = false;
}

void HtmlTokenizer::finishAttribute() {
  if (attribute_.empty()) return;
  if (state_ != State::kAttributeValue && state_ != State::kAfterAttributeValue) {
    startAttributeValue();  // an attribute without a value: the empty one
  }
  // A value too long to be a language tag names no language.
  const auto lang = [this] { return valueTooLong_ ? std::string("x-too-long") : value_; };
  switch (reading_) {
    case Attribute::kOther:
      break;
    case Attribute::kXmlLang:
      tag_.lang = lang();  // before any lang
      break;
    case Attribute::kLang:
      if ((seen_ & bit(static_cast<int>(Attribute::kXmlLang))) == 0) tag_.lang = lang();
      break;
    case Attribute::kClass:
      finishClassToken();
      break;
    case Attribute::kXmlns:
      tag_.xhtmlNamespace = !valueTooLong_ && value_ == kXhtmlNamespace;
      break;
    case Attribute::kStyle:
      finishStyleDeclaration();
      break;
  }
  seen_ |= bit(static_cast<int>(reading_));
  reading_ = Attribute::kOther;
  attribute_.clear();
}

void HtmlTokenizer::emitTag() {
  finishAttribute();
  // The tag's bytes, up to and with this ">", go first.
  ++at_;
  handler_.markup(piece_.substr(markupStart_, at_ - markupStart_));
  markupStart_ = at_;
  --at_;  // the caller moves past the ">"
  state_ = State::kData;
  // In HTML a "/" at the end of an HTML element's start tag means nothing:
  // <script/> begins a script as <script> does.
  if (!tag_.end && !xml_ && !foreign_ && isRawTextElement(tag_.name)) {
    rawEnd_ = tag_.name;
    rawMatched_ = 0;
    state_ = State::kRawText;
    if (rawEnd_ == "script") {
      state_ = State::kScriptData;
      script_ = Script::kData;
    }
  }
  if (!tag_.end && !xml_ && !foreign_ && tag_.name == "plaintext") state_ = State::kPlainText;
  handler_.tag(tag_);
}

void HtmlTokenizer::endRawText(char c) {
  startTag(true);
  tag_.name = rawEnd_;
  state_ = State::kTagName;
  step(c);
}

void HtmlTokenizer::stepRawText(char c) {
  // rawMatched_: 0 nothing, 1 "<", 2 "</", 2 + k the first k letters of the name.
  if (rawMatched_ == 2 + rawEnd_.size()) {
    if (isSpace(c) || c == '/' || c == '>') {
      endRawText(c);
      return;
    }
    rawMatched_ = 0;
  }
  if (c == '<') {
    rawMatched_ = 1;
  } else if (rawMatched_ == 1 && c == '/') {
    rawMatched_ = 2;
  } else if (rawMatched_ >= 2 && rawMatched_ < 2 + rawEnd_.size() &&
             folded(c) == rawEnd_[rawMatched_ - 2]) {
    ++rawMatched_;
  } else {
    rawMatched_ = 0;
  }
}

void HtmlTokenizer::stepScript(char c) {
  constexpr std::string_view kScript = "script";
  const bool tagEnd = isSpace(c) || c == '/' || c == '>';
  switch (script_) {
    case Script::kData:
      if (c == '<') script_ = Script::kLessThan;
      return;
    case Script::kLessThan:
      if (c == '/') {
        script_ = Script::kEndTagOpen;
        scriptEscaped_ = false;
        rawMatched_ = 0;
      } else if (c == '!') {
        script_ = Script::kEscapeStart;
      } else {
        script_ = Script::kData;
        stepScript(c);
      }
      return;
    case Script::kEndTagOpen:
      if (rawMatched_ < kScript.size() && lower(c) == kScript[rawMatched_]) {
        ++rawMatched_;
        return;
      }
      if (rawMatched_ == kScript.size() && tagEnd) {
        endRawText(c);
        return;
      }
      script_ = scriptEscaped_ ? Script::kEscaped : Script::kData;
      stepScript(c);
      return;
    case Script::kEscapeStart:
      script_ = c == '-' ? Script::kEscapeStartDash : Script::kData;
      if (c != '-') stepScript(c);
      return;
    case Script::kEscapeStartDash:
      script_ = c == '-' ? Script::kEscapedDashDash : Script::kData;
      if (c != '-') stepScript(c);
      return;
    case Script::kEscaped:
    case Script::kEscapedDash:
    case Script::kEscapedDashDash:
      stepEscaped(c, {Script::kEscaped, Script::kEscapedDash, Script::kEscapedDashDash,
                      Script::kEscapedLessThan});
      return;
    case Script::kEscapedLessThan:
      if (c == '/') {
        script_ = Script::kEndTagOpen;
        scriptEscaped_ = true;
        rawMatched_ = 0;
      } else if (isAlpha(c)) {
        scriptWord_.clear();
        script_ = Script::kDoubleEscapeStart;
        stepScript(c);
      } else {
        script_ = Script::kEscaped;
        stepScript(c);
      }
      return;
    case Script::kDoubleEscapeStart:
    case Script::kDoubleEscapeEnd: {
      const bool starting = script_ == Script::kDoubleEscapeStart;
      if (tagEnd) {
        const bool named = scriptWord_ == kScript;
        script_ = named == starting ? Script::kDoubleEscaped : Script::kEscaped;
      } else if (isAlpha(c)) {
        if (scriptWord_.size() <= kScript.size()) scriptWord_.push_back(lower(c));
      } else {
        script_ = starting ? Script::kEscaped : Script::kDoubleEscaped;
        stepScript(c);
      }
      return;
    }
    case Script::kDoubleEscaped:
    case Script::kDoubleEscapedDash:
    case Script::kDoubleEscapedDashDash:
      stepEscaped(c, {Script::kDoubleEscaped, Script::kDoubleEscapedDash,
                      Script::kDoubleEscapedDashDash, Script::kDoubleEscapedLessThan});
      return;
    case Script::kDoubleEscapedLessThan:
      if (c == '/') {
        scriptWord_.clear();
        script_ = Script::kDoubleEscapeEnd;
      } else {
        script_ = Script::kDoubleEscaped;
        stepScript(c);
      }
      return;
  }
}

bool HtmlTokenizer::endsName(char c) {
  if (isSpace(c)) {
    state_ = State::kBeforeAttributeName;
  } else if (c == '/') {
    state_ = State::kSelfClosing;
  } else if (c == '>') {
    emitTag();
  } else {
    return false;
  }
  return true;
}

void HtmlTokenizer::stepEscaped(char c, const EscapeStates& states) {
  if (c == '-') {
    script_ = script_ == states.plain ? states.dash : states.dashDash;
  } else if (c == '<') {
    script_ = states.lessThan;
  } else if (c == '>' && script_ == states.dashDash) {
    script_ = Script::kData;  // "-->" ends the escape
  } else {
    script_ = states.plain;
  }
}

void HtmlTokenizer::stepDoctype(char c) {
  if (quote_ != 0) {
    if (c == quote_) quote_ = 0;
    return;
  }
  switch (inSubset_) {
    case InSubset::kComment:
      if (c == '>' && dashes_ >= 2) inSubset_ = InSubset::kNothing;
      dashes_ = c == '-' ? dashes_ + 1 : 0;
      return;
    case InSubset::kInstruction:
      if (c == '>' && dashes_ > 0) inSubset_ = InSubset::kNothing;
      dashes_ = c == '?' ? 1 : 0;
      return;
    case InSubset::kLessThan:
      lookahead_.push_back(c);
      if (lookahead_ == "?" || lookahead_ == "!--") {
        inSubset_ = lookahead_ == "?" ? InSubset::kInstruction : InSubset::kComment;
        dashes_ = 0;
        return;
      }
      if (std::string_view("!--").starts_with(lookahead_)) return;
      inSubset_ = InSubset::kDeclaration;
      [[fallthrough]];
    case InSubset::kDeclaration:
      if (c == '"' || c == '\'') {
        quote_ = c;
      } else if (c == '>') {
        inSubset_ = InSubset::kNothing;
      }
      return;
    case InSubset::kNothing:
      break;
  }
  if (c == '"' || c == '\'') {
    quote_ = c;
  } else if (subset_) {
    if (c == ']') subset_ = false;
    if (c == '<') {
      inSubset_ = InSubset::kLessThan;
      lookahead_.clear();
    }
  } else if (c == '[') {
    subset_ = true;
  } else if (c == '>') {
    state_ = State::kData;
  }
}

void HtmlTokenizer::step(char c) {
  switch (state_) {
    case State::kData:
      break;  // handled by feed
    case State::kTagOpen:
      if (isAlpha(c)) {
        startTag(false);
        tag_.name.push_back(folded(c));
      } else if (c == '/') {
        state_ = State::kEndTagOpen;
      } else if (c == '!') {
        lookahead_.clear();
        state_ = State::kDeclarationOpen;
      } else if (c == '?') {
        dashes_ = 0;
        state_ = xml_ ? State::kProcessingInstruction : State::kBogusComment;
      } else {
        state_ = State::kData;  // a "<" of the text
      }
      break;
    case State::kEndTagOpen:
      if (isAlpha(c)) {
        startTag(true);
        tag_.name.push_back(folded(c));
      } else if (c == '>') {
        state_ = State::kData;  // "</>" is dropped by browsers: markup
      } else {
        state_ = State::kBogusComment;
      }
      break;
    case State::kTagName:
      if (!endsName(c) && tag_.name.size() < kLongestName) tag_.name.push_back(folded(c));
      break;
    case State::kBeforeAttributeName:
    case State::kAfterAttributeName:
      if (isSpace(c)) break;
      if (c == '/') {
        finishAttribute();
        state_ = State::kSelfClosing;
      } else if (c == '>') {
        emitTag();
      } else if (c == '=' && state_ == State::kAfterAttributeName) {
        state_ = State::kBeforeAttributeValue;
      } else {
        finishAttribute();
        attribute_.push_back(folded(c));
        state_ = State::kAttributeName;
      }
      break;
    case State::kAttributeName:
      if (isSpace(c)) {
        state_ = State::kAfterAttributeName;
      } else if (c == '/') {
        finishAttribute();
        state_ = State::kSelfClosing;
      } else if (c == '=') {
        state_ = State::kBeforeAttributeValue;
      } else if (c == '>') {
        emitTag();
      } else if (attribute_.size() < kLongestName) {
        attribute_.push_back(folded(c));  // no name that matters is longer
      }
      break;
    case State::kBeforeAttributeValue:
      if (isSpace(c)) break;
      if (c == '"' || c == '\'') {
        state_ = State::kAttributeValue;
        startAttributeValue();
        quote_ = c;
      } else if (c == '>') {
        emitTag();
      } else {
        state_ = State::kAttributeValue;
        startAttributeValue();
        quote_ = 0;
        valueByte(c);
      }
      break;
    case State::kAttributeValue:
      if (quote_ != 0 ? c == quote_ : isSpace(c)) {
        finishAttribute();
        state_ = quote_ != 0 ? State::kAfterAttributeValue : State::kBeforeAttributeName;
      } else if (quote_ == 0 && c == '>') {
        emitTag();
      } else {
        valueByte(c);
      }
      break;
    case State::kAfterAttributeValue:
      if (!endsName(c)) {
        state_ = State::kBeforeAttributeName;
        step(c);
      }
      break;
    case State::kSelfClosing:
      if (c == '>') {
        tag_.selfClosing = true;
        emitTag();
      } else {
        state_ = State::kBeforeAttributeName;
        step(c);
      }
      break;
    case State::kDeclarationOpen: {
      lookahead_.push_back(c);
      const bool cdataAllowed = xml_ || foreign_;
      if (lookahead_ == "--") {
        dashes_ = 0;
        bang_ = false;
        commentLength_ = 0;
        state_ = State::kComment;
      } else if (cdataAllowed && lookahead_ == "[CDATA[") {
        dashes_ = 0;
        state_ = State::kCdata;
      } else if (!std::string_view("--").starts_with(lookahead_) &&
                 !(cdataAllowed && std::string_view("[CDATA[").starts_with(lookahead_))) {
        // A declaration (the doctype) or a bogus comment: up to ">", and in
        // XML past the internal subset of a doctype.
        if (xml_) {
          state_ = State::kDoctype;
          quote_ = 0;
          subset_ = false;
          inSubset_ = InSubset::kNothing;
          for (const char d : std::string(lookahead_)) stepDoctype(d);
        } else {
          state_ = State::kBogusComment;
          if (c == '>') state_ = State::kData;
        }
      }
      break;
    }
    case State::kComment: {
      // Ends at "-->" or "--!>", or at once with "<!-->" and "<!--->".
      const bool abrupt = commentLength_ == 0 || (commentLength_ == 1 && dashes_ == 1);
      if (c == '>' && (abrupt || dashes_ >= 2 || bang_)) {
        state_ = State::kData;
        break;
      }
      bang_ = c == '!' && dashes_ >= 2;
      dashes_ = c == '-' ? dashes_ + 1 : 0;
      ++commentLength_;
      break;
    }
    case State::kBogusComment:
      if (c == '>') state_ = State::kData;
      break;
    case State::kDoctype:
      stepDoctype(c);
      break;
    case State::kProcessingInstruction:
      if (c == '>' && dashes_ > 0) state_ = State::kData;
      dashes_ = c == '?' ? 1 : 0;
      break;
    case State::kCdata:
      if (c == '>' && dashes_ >= 2) {
        state_ = State::kData;
        break;
      }
      dashes_ = c == ']' ? dashes_ + 1 : 0;
      break;
    case State::kRawText:
      stepRawText(c);
      break;
    case State::kScriptData:
      stepScript(c);
      break;
    case State::kPlainText:
      break;
  }
}

}  // namespace morvane::detail
