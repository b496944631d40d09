#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/make_hyphenator.hpp"
#include "morvane/hyphenator.hpp"
#include "morvane/text.hpp"
#include "text/ascii_block.hpp"
#include "text/text_units.hpp"
#include "text/unicode.hpp"
#include "text/word_breaks.hpp"
#include "text/word_cache.hpp"
#include "text/word_joiners.hpp"

namespace morvane::detail {

/// Hyphenates running text read through `Units` (UTF-8, code points, or the
/// text of an HTML document) into `out`, which needs only
/// `append(std::basic_string_view<Char>)` (and, to be told where breaks go
/// instead of being given separators, `markBreak()`). Text may come in pieces cut
/// anywhere: whatever the cuts, the output is the same. A word is a maximal
/// run of letters and marks, with the language's joiners between letters.
/// Left as they are: words that hold a soft hyphen already, every word of a
/// run between white space that looks like an address ("://", "@",
/// "www."), runs longer than kLongestRun, and everything when no hyphenator
/// is in use.
///
/// The text is read once: plain ASCII up to 64 bytes at a time by bit masks
/// (AsciiBlock), anything else unit by unit (a table lookup for most); the
/// words of each run between white space are gathered as they pass and
/// hyphenated when the run ends, those met before found in a memo
/// (WordCache). Output is written in spans between separators, never
/// character by character.
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
    // The cache keeps its hyphenator alive, so that no other can take its
    // address and be mistaken for it. Text left alone leaves it as it is.
    if (h != nullptr && (!cacheOwner_ || !sameHyphenator(*h, *cacheOwner_))) {
      cache_.clear();
      cacheOwner_ = std::make_unique<Hyphenator>(*h);
    }
    h_ = h;
    joiners_ = joiners;
    shortest_ = h == nullptr ? 0 : shortestBreakable(*h);
    blockSpecials_ = joiners == nullptr ? "" : joiners->ascii();
    if constexpr (Units::kAmpersandStarts) blockSpecials_ += '&';
  }

  /// Reads more text.
  void feed(View text) {
    while (!text.empty()) {
      if (pending_.empty()) {
        const std::size_t done = scan(text, false);
        pending_.assign(text.substr(done));
        return;
      }
      // Continue the pending run up to the new text's first ASCII white
      // space, which ends it (or a bounded slice when there is none soon):
      // the rest is scanned where it is, not copied.
      std::size_t take = std::min(text.size(), kLongestRun);
      for (std::size_t i = 0; i < take; ++i) {
        const auto c = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(text[i]));
        if (c < 0x80 && (kAsciiClasses[c] & text_class::kSpace) != 0) {
          take = i + 1;
          break;
        }
      }
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
  /// A word of the current run: code units [begin, end) from the run's start
  /// (which is never longer than kLongestRun while its words are kept).
  struct Word {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool whole = true;        // every unit one code unit, its own value
    bool softHyphen = false;  // its author chose its breaks
    bool unspaced = false;    // of a script written without spaces
  };

  // Hyphenates the whole runs between white space of `text`; returns how
  // much was done (all of it when `final`). Everything before the returned
  // offset has been written.
  std::size_t scan(View text, bool final) {
    using Unsigned = std::make_unsigned_t<Char>;
    const Char* const data = text.data();
    const std::size_t size = text.size();
    const auto codeUnit = [data](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<Unsigned>(data[i]));
    };
    std::size_t at = 0;
    std::size_t start = 0;       // where the current run began
    std::size_t copied = 0;      // written up to here
    std::size_t blockAfter = 0;  // no block is tried before here
    beginRun();
    while (at < size) {
      if constexpr (Units::kAsciiBlocks && AsciiBlock::kAvailable) {
        // Up to sixty-four bytes of plain ASCII at once, while a run cannot
        // grow too long within them; from the first byte that is not, unit
        // by unit, and all of a block that starts with one.
        if (at >= blockAfter && size - at >= AsciiBlock::kSize && keepingWords() &&
            at - start + AsciiBlock::kSize <= kLongestRun) {
          const AsciiBlock block = AsciiBlock::of(data + at, blockSpecials_);
          const auto plain = static_cast<std::size_t>(std::countr_zero(block.special));
          if (plain == 0) {
            blockAfter =
                at + AsciiBlock::kSize - static_cast<std::size_t>(std::countl_zero(block.special));
          } else {
            copied = scanBlock(block, plain, text, at, start, copied);
            at += plain;
            continue;
          }
        }
      }
      TextUnit unit;
      std::uint8_t classes = 0;
      if (const std::uint32_t c = codeUnit(at); Units::isWhole(c)) {
        classes = Units::wholeClass(c);
        if ((classes & text_class::kLetter) != 0 && keepingWords()) {
          // A stretch of letters that are single code units, in one go.
          std::size_t end = at + 1;
          std::uint8_t all = classes;
          while (end < size && Units::isWhole(codeUnit(end))) {
            const std::uint8_t next = Units::wholeClass(codeUnit(end));
            if ((next & text_class::kLetter) == 0) break;
            all |= next;
            ++end;
          }
          letters(at - start, end - start, all, true);
          at = end;
          checkRunLength(at - start);
          continue;
        }
        unit = TextUnit{c, 1, true};
      } else {
        const auto read = Units::read(text, at, final);
        if (!read) break;  // more text will complete it
        unit = *read;
        classes = unit.valid ? classOf(unit.value) : 0;
      }
      if ((classes & text_class::kSpace) != 0) {
        if (!runWords_.empty()) copied = endRun(text, start, at, copied);
        at += unit.length;
        start = at;
        longRun_ = false;
        beginRun();
        continue;
      }
      if (keepingWords()) other(unit, classes, at - start);
      at += unit.length;
      checkRunLength(at - start);
    }
    if (final) {
      if (!runWords_.empty()) copied = endRun(text, start, at, copied);
      out_.append(text.substr(copied));
      return size;
    }
    if (longRun_) start = at;
    out_.append(text.substr(copied, start - copied));
    return start;
  }

  // Takes in text[at, at + end) (end ≤ 64), the plain ASCII start of
  // `block`, as the loop of scan() would, unit by unit; moves `start` past
  // every run it ends and returns how far `text` has been written.
  std::size_t scanBlock(const AsciiBlock& block, std::size_t end, View text, std::size_t at,
                        std::size_t& start, std::size_t copied) {
    const std::uint64_t letterBits = block.letters;
    // What lies between letters, [from, to): white space ends the open run
    // and starts another after it; other bytes end the open word.
    const auto between = [&](std::size_t from, std::size_t to) {
      if (from == to) return;
      inWord_ = false;
      joinerPending_ = false;
      const std::uint64_t range = bitsBetween(from, to);
      const std::uint64_t spaces = block.spaces & range;
      if (spaces == 0) {
        addressMark_ = addressMark_ || (block.marks & range) != 0;
        return;
      }
      const auto firstSpace = static_cast<std::size_t>(std::countr_zero(spaces));
      const auto lastSpace = static_cast<std::size_t>(63 - std::countl_zero(spaces));
      addressMark_ = addressMark_ || (block.marks & bitsBetween(from, firstSpace)) != 0;
      if (!runWords_.empty()) copied = endRun(text, start, at + firstSpace, copied);
      start = at + lastSpace + 1;
      longRun_ = false;
      beginRun();
      addressMark_ = (block.marks & bitsBetween(lastSpace + 1, to)) != 0;
    };
    std::size_t p = 0;
    while (p < end) {
      const std::uint64_t ahead = letterBits & bitsBetween(p, end);
      const std::size_t wordStart =
          ahead == 0 ? end : static_cast<std::size_t>(std::countr_zero(ahead));
      between(p, wordStart);
      if (wordStart == end) break;
      const std::uint64_t after = ~letterBits & bitsBetween(wordStart, end);
      const std::size_t wordEnd =
          after == 0 ? end : static_cast<std::size_t>(std::countr_zero(after));
      letters(at + wordStart - start, at + wordEnd - start, 0, true);
      p = wordEnd;
    }
    return copied;
  }

  [[nodiscard]] bool keepingWords() const { return h_ != nullptr && !longRun_; }

  void checkRunLength(std::size_t length) {
    if (!longRun_ && length > kLongestRun) {
      longRun_ = true;  // nothing in it waits for its end
      beginRun();
    }
  }

  void beginRun() {
    runWords_.clear();  // a run with no words needs no ending
    inWord_ = false;
    joinerPending_ = false;
    addressMark_ = false;
  }

  // Letters (or a soft hyphen) at [begin, end) of the current run.
  void letters(std::size_t begin, std::size_t end, std::uint8_t classes, bool whole) {
    if (!inWord_) {
      inWord_ = true;
      runWords_.push_back(Word{static_cast<std::uint32_t>(begin)});
    }
    joinerPending_ = false;  // a joiner between letters is part of the word
    Word& word = runWords_.back();
    word.end = static_cast<std::uint32_t>(end);
    word.whole = word.whole && whole;
    word.unspaced = word.unspaced || (classes & text_class::kUnspaced) != 0;
  }

  // Any other unit of the current run, `offset` code units into it.
  void other(const TextUnit& unit, std::uint8_t classes, std::size_t offset) {
    const bool whole = unit.length == 1 && unit.valid;
    if ((classes & text_class::kLetter) != 0) {
      letters(offset, offset + unit.length, classes, whole);
      return;
    }
    if (unit.value == kSoftHyphen && unit.valid) {
      letters(offset, offset + unit.length, classes, whole);
      runWords_.back().softHyphen = true;
      return;
    }
    addressMark_ = addressMark_ || (classes & text_class::kAddressMark) != 0;
    // A joiner belongs to the word when a letter follows it.
    if (inWord_ && !joinerPending_ && unit.valid && joiners_->contains(unit.value)) {
      joinerPending_ = true;
      runWords_.back().whole = runWords_.back().whole && whole;
      return;
    }
    inWord_ = false;
    joinerPending_ = false;
  }

  // The run text[start, end) is over: writes it up to its last break and
  // returns how far `text` has been written (from `copied`).
  std::size_t endRun(View text, std::size_t start, std::size_t end, std::size_t copied) {
    if (longRun_ || h_ == nullptr ||
        (addressMark_ && looksLikeAddress(text.substr(start, end - start)))) {
      return copied;
    }
    for (const Word& word : runWords_) {
      // Too short to break (in code units, which are at least as many as
      // its characters), or broken by its author.
      if (word.end - word.begin < shortest_ || word.softHyphen) {
        ++words_;
        continue;
      }
      const std::size_t wordStart = start + word.begin;
      const View wordText = text.substr(wordStart, word.end - word.begin);
      const auto write = [&](std::size_t cut) {
        out_.append(text.substr(copied, wordStart + cut - copied));
        // An output that only notes where breaks go takes no separator.
        if constexpr (requires { out_.markBreak(); }) {
          out_.markBreak();
        } else {
          out_.append(separator_);
        }
        copied = wordStart + cut;
      };
      if (const auto* known = cache_.find(wordText)) {
        words_ += known->words;
        for (const std::uint8_t cut : known->breaks()) write(cut);
        continue;
      }
      words_ += wordCuts(wordText, word);
      for (const std::size_t cut : cuts_) write(cut);
    }
    return copied;
  }

  // The breaks of a word as code units from its start, into cuts_ (cleared
  // first), remembered in the cache; returns how many words it counts as.
  std::size_t wordCuts(View text, const Word& word) {
    cuts_.clear();
    const std::u32string_view letters = decode(text, word.whole);
    // A script without spaces: its words are found first.
    pieces_.clear();
    if (word.unspaced) unspacedWordBreaks(letters, pieces_);
    pieces_.push_back(letters.size());
    std::size_t from = 0;
    for (const std::size_t to : pieces_) {
      const std::size_t count = textWordBreaks(*h_, letters.substr(from, to - from), breaks_);
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t b = from + breaks_[i];
        cuts_.push_back(word.whole ? b : offsets_[b]);
      }
      from = to;
    }
    if (words_ >= kCacheAfterWords) cache_.store(text, cuts_, pieces_.size());
    return pieces_.size();
  }

  // The characters of a word, and where each starts into offsets_ unless
  // every unit is one code unit.
  std::u32string_view decode(View word, bool whole) {
    if (letters_.size() < word.size()) letters_.resize(word.size());
    if (whole) {
      for (std::size_t i = 0; i < word.size(); ++i) {
        letters_[i] = static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(word[i]));
      }
      return {letters_.data(), word.size()};
    }
    offsets_.clear();
    std::size_t count = 0;
    for (std::size_t at = 0; at < word.size();) {
      const TextUnit unit = *Units::read(word, at, true);
      letters_[count++] = unit.value;
      offsets_.push_back(static_cast<std::uint32_t>(at));
      at += unit.length;
    }
    return {letters_.data(), count};
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
  // The current run.
  std::vector<Word> runWords_;
  bool inWord_ = false;
  bool joinerPending_ = false;  // a joiner followed the last letter
  bool addressMark_ = false;    // the run holds "@", ":" or "."
  std::size_t shortest_ = 0;    // words shorter than this never break
  std::string blockSpecials_;   // ASCII bytes a block of text must not hold
  // Words seen, once a text is long enough for them to come again, and the
  // hyphenator they were scored with.
  static constexpr std::size_t kCacheAfterWords = 500;
  WordCache<Char> cache_;
  std::unique_ptr<const Hyphenator> cacheOwner_;
  // Reused for every word.
  std::vector<std::size_t> cuts_;
  std::vector<char32_t> letters_;
  std::vector<std::uint32_t> offsets_;
  std::vector<std::size_t> breaks_;
  std::vector<std::size_t> pieces_;
};

}  // namespace morvane::detail
