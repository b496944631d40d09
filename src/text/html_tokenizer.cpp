#include "text/html_tokenizer.hpp"

#include <array>

namespace morvane::detail {

namespace {

// Long names and values matter to no one here: they are cut short.
constexpr std::size_t kLongestName = 64;
constexpr std::size_t kLongestValue = 1024;

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
  state_ = State::kTagName;
}

void HtmlTokenizer::finishAttribute() {
  if (attribute_.empty()) return;
  if (attribute_ == "xml:lang" || (attribute_ == "lang" && !tag_.hasLang)) {
    tag_.lang = value_;
    tag_.hasLang = true;
  } else if (attribute_ == "class") {
    tag_.classes = value_;
  } else if (attribute_ == "xmlns") {
    tag_.xmlns = value_;
  }
  attribute_.clear();
  value_.clear();
}

void HtmlTokenizer::emitTag() {
  finishAttribute();
  // The tag's bytes, up to and with this ">", go first.
  ++at_;
  handler_.markup(piece_.substr(markupStart_, at_ - markupStart_));
  markupStart_ = at_;
  --at_;  // the caller moves past the ">"
  state_ = State::kData;
  if (!tag_.end && !tag_.selfClosing && !xml_ && !foreign_ && isRawTextElement(tag_.name)) {
    rawEnd_ = tag_.name;
    rawMatched_ = 0;
    state_ = State::kRawText;
  }
  if (!tag_.end && !xml_ && tag_.name == "plaintext") state_ = State::kPlainText;
  handler_.tag(tag_);
}

void HtmlTokenizer::stepRawText(char c) {
  // rawMatched_: 0 nothing, 1 "<", 2 "</", 2 + k the first k letters of the name.
  if (rawMatched_ == 2 + rawEnd_.size()) {
    if (isSpace(c) || c == '/' || c == '>') {
      startTag(true);
      tag_.name = rawEnd_;
      state_ = State::kTagName;
      step(c);
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
      if (isSpace(c)) {
        state_ = State::kBeforeAttributeName;
      } else if (c == '/') {
        state_ = State::kSelfClosing;
      } else if (c == '>') {
        emitTag();
      } else if (tag_.name.size() < kLongestName) {
        tag_.name.push_back(folded(c));
      }
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
        attribute_.push_back(folded(c));
      }
      break;
    case State::kBeforeAttributeValue:
      if (isSpace(c)) break;
      value_.clear();
      if (c == '"' || c == '\'') {
        quote_ = c;
        state_ = State::kAttributeValue;
      } else if (c == '>') {
        emitTag();
      } else {
        quote_ = 0;
        value_.push_back(c);
        state_ = State::kAttributeValue;
      }
      break;
    case State::kAttributeValue:
      if (quote_ != 0 ? c == quote_ : isSpace(c)) {
        finishAttribute();
        state_ = quote_ != 0 ? State::kAfterAttributeValue : State::kBeforeAttributeName;
      } else if (quote_ == 0 && c == '>') {
        emitTag();
      } else if (value_.size() < kLongestValue) {
        value_.push_back(c);
      }
      break;
    case State::kAfterAttributeValue:
      if (isSpace(c)) {
        state_ = State::kBeforeAttributeName;
      } else if (c == '/') {
        state_ = State::kSelfClosing;
      } else if (c == '>') {
        emitTag();
      } else {
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
        // A declaration (the doctype) or a bogus comment: up to ">".
        state_ = State::kBogusComment;
        if (c == '>') state_ = State::kData;
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
    case State::kPlainText:
      break;
  }
}

}  // namespace morvane::detail
