#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/hyphenator.hpp"
#include "text/text_units.hpp"
#include "text/unicode.hpp"
#include "text/word_breaks.hpp"

namespace morvane::detail {

/// The characters other than letters and marks that a language counts as
/// part of a word when they stand between two letters: those its character
/// map names (the apostrophes of French or Ukrainian, the joiners of Indic
/// scripts). Hyphens never are: they are breaks already.
class WordJoiners {
 public:
  WordJoiners() = default;
  explicit WordJoiners(const Hyphenator& h);
  [[nodiscard]] bool contains(char32_t c) const {
    return !joiners_.empty() && std::binary_search(joiners_.begin(), joiners_.end(), c);
  }

 private:
  std::vector<char32_t> joiners_;
};

/// A run of more than this many code units without white space is not prose
/// (encoded data, minified code): it is copied as it is, which keeps memory
/// bounded when text is streamed.
inline constexpr std::size_t kLongestRun = std::size_t{1} << 20;

/// Hyphenates running text read through `Units` (UTF-8, code points, or the
/// text of an HTML document) into `out`, which needs only
/// `append(std::basic_string_view<Char>)`. Text may come in pieces cut
/// anywhere: whatever the cuts, the output is the same. A word is a maximal
/// run of letters and marks, with the language's joiners between letters.
/// Left as they are: words that hold a soft hyphen already, every word of a
/// run between white space that looks like an address ("://", "@",
/// "www."), runs longer than kLongestRun, and everything when no hyphenator
/// is in use.
template <class Units, class Out>
class TextScanner {
 public:
  using Char = typename Units::Char;
  using View = std::basic_string_view<Char>;

  TextScanner(View separator, Out& out) : separator_(separator), out_(out) {}

  /// Words read from now on are hyphenated with `h`, whose joiners are
  /// `joiners`, or copied as they are when `h` is null. Neither is copied:
  /// both must outlive their use. Call between stretches of text (after
  /// `endText`).
  void use(const Hyphenator* h, const WordJoiners* joiners) {
    h_ = h;
    joiners_ = joiners;
  }

  /// Reads more text.
  void feed(View text) {
    while (!text.empty()) {
      if (pending_.empty()) {
        const std::size_t done = scan(text, false);
        pending_.assign(text.substr(done));
        return;
      }
      // Continue the pending run with a bounded slice of the new text.
      const std::size_t take = std::min(text.size(), kLongestRun);
      pending_.append(text.substr(0, take));
      text.remove_prefix(take);
      pending_.erase(0, scan(pending_, false));
    }
  }

  /// Ends a stretch of text (at the end of the input, or where markup
  /// interrupts it): what is pending is whole.
  void endText() {
    (void)scan(pending_, true);
    pending_.clear();
    longRun_ = false;
  }

  /// Words met so far.
  [[nodiscard]] std::size_t words() const { return words_; }

 private:
  // Hyphenates the whole runs between white space of `text`; returns how
  // much was done (all of it when `final`).
  std::size_t scan(View text, bool final) {
    std::size_t at = 0;
    std::size_t start = 0;  // where the current run began
    while (at < text.size()) {
      const auto unit = Units::read(text, at, final);
      if (!unit) break;  // more text will complete it
      if (unit->valid && isWhiteSpace(unit->value)) {
        if (start < at) run(text.substr(start, at - start));
        out_.append(text.substr(at, unit->length));
        at += unit->length;
        start = at;
        longRun_ = false;
        continue;
      }
      at += unit->length;
      longRun_ = longRun_ || at - start > kLongestRun;
    }
    if (final) {
      if (start < at) run(text.substr(start, at - start));
      if (at < text.size()) out_.append(text.substr(at));  // a cut-off sequence
      return text.size();
    }
    if (longRun_) {  // nothing in it waits for its end
      out_.append(text.substr(start, at - start));
      start = at;
    }
    return start;
  }

  // A run between white space.
  void run(View text) {
    if (longRun_ || h_ == nullptr || looksLikeAddress(text)) {
      out_.append(text);
      return;
    }
    std::size_t at = 0;
    while (at < text.size()) {
      const TextUnit unit = *Units::read(text, at, true);
      if (!isLetter(unit)) {
        out_.append(text.substr(at, unit.length));
        at += unit.length;
        continue;
      }
      // A word: letters, and joiners with a letter on either side.
      std::size_t end = at + unit.length;
      while (end < text.size()) {
        const TextUnit next = *Units::read(text, end, true);
        if (isLetter(next)) {
          end += next.length;
          continue;
        }
        if (!next.valid || !joiners_->contains(next.value) || end + next.length >= text.size()) {
          break;
        }
        const TextUnit after = *Units::read(text, end + next.length, true);
        if (!isLetter(after)) break;
        end += next.length + after.length;
      }
      word(text.substr(at, end - at));
      at = end;
    }
  }

  // Letters and marks, and the soft hyphen, which marks a word whose author
  // chose its breaks.
  static bool isLetter(const TextUnit& unit) {
    return unit.valid && (isLetterOrMark(unit.value) || unit.value == kSoftHyphen);
  }

  void word(View text) {
    letters_.clear();
    offsets_.clear();
    bool softHyphen = false;
    bool dictionary = false;
    for (std::size_t at = 0; at < text.size();) {
      const TextUnit unit = *Units::read(text, at, true);
      letters_.push_back(unit.value);
      offsets_.push_back(at);
      softHyphen = softHyphen || unit.value == kSoftHyphen;
      dictionary = dictionary || needsDictionary(unit.value);
      at += unit.length;
    }
    offsets_.push_back(text.size());
    if (softHyphen) {
      ++words_;
      out_.append(text);
      return;
    }
    // A script without spaces: its words are found first.
    pieces_.clear();
    if (dictionary) dictionaryWordBreaks(letters_, pieces_);
    pieces_.push_back(letters_.size());
    std::size_t from = 0;
    std::size_t written = 0;  // code units of `text` written so far
    for (const std::size_t to : pieces_) {
      ++words_;
      textWordBreaks(*h_, std::u32string_view(letters_).substr(from, to - from), breaks_);
      for (const std::size_t b : breaks_) {
        const std::size_t cut = offsets_[from + b];
        out_.append(text.substr(written, cut - written));
        out_.append(separator_);
        written = cut;
      }
      from = to;
    }
    out_.append(text.substr(written));
  }

  /// A URL or an e-mail address: its words are names, not language.
  static bool looksLikeAddress(View text) {
    const auto contains = [text](std::string_view ascii) {
      if (text.size() < ascii.size()) return false;
      for (std::size_t i = 0; i + ascii.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t j = 0; j < ascii.size() && same; ++j) {
          const auto c = static_cast<char32_t>(text[i + j]);
          same = (c >= U'A' && c <= U'Z' ? c + 0x20 : c) == static_cast<char32_t>(ascii[j]);
        }
        if (same) return true;
      }
      return false;
    };
    return contains("://") || contains("@") || contains("www.");
  }

  View separator_;
  Out& out_;
  const Hyphenator* h_ = nullptr;
  const WordJoiners* joiners_ = nullptr;
  std::basic_string<Char> pending_;  // the start of a run whose end has not come yet
  bool longRun_ = false;             // copying a run too long to be prose
  std::size_t words_ = 0;
  // Reused for every word.
  std::u32string letters_;
  std::vector<std::size_t> offsets_;
  std::vector<std::size_t> breaks_;
  std::vector<std::size_t> pieces_;
};

}  // namespace morvane::detail
