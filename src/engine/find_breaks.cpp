#include "engine/find_breaks.hpp"

#include <algorithm>

#include "engine/automaton_scores.hpp"
#include "engine/odd_scores.hpp"

namespace morvane::detail {

namespace {

/// Every break, written one after another into a caller's buffer.
class AllBreaks {
 public:
  explicit AllBreaks(FoundBreak* out) : out_(out) {}
  void operator()(std::size_t position) { out_[count_++] = FoundBreak::at(position); }
  void operator()(const FoundBreak& b) { out_[count_++] = b; }
  [[nodiscard]] std::size_t count() const { return count_; }

 private:
  FoundBreak* out_;
  std::size_t count_ = 0;
};

/// The standard breaks' positions, as many as there is room for, all counted.
class StandardPositions {
 public:
  explicit StandardPositions(std::span<std::size_t> out) : out_(out) {}
  void operator()(std::size_t position) {
    if (count_ < out_.size()) out_[count_] = position;
    ++count_;
  }
  void operator()(const FoundBreak& b) {
    if (b.standard()) (*this)(b.position);
  }
  [[nodiscard]] std::size_t count() const { return count_; }

 private:
  std::span<std::size_t> out_;
  std::size_t count_ = 0;
};

/// The boundaries of `word` at which its exception's `scores` allow a break
/// within the minimums.
template <class Sink>
void exceptionBreaks(const HyphenatorState& h, std::u32string_view word, const ScoreList& scores,
                     Sink& out) {
  const auto range = h.minimums.range(word, scores.size());
  if (!range) return;
  for (std::size_t at = range->first; at <= range->second; ++at) {
    if (scores[at] % 2 != 0) out(at);
  }
}

/// The boundaries of `word` at which its patterns allow a break within the
/// minimums: by the automaton once it is warm, else from the table.
template <class Sink>
void patternBreaks(const HyphenatorState& h, const CompiledPatterns& patterns,
                   std::u32string_view word, Sink& out) {
  const std::size_t n = word.size();
  if (const PatternAutomaton* automaton = patterns.automatonOnceWarm()) {
    AutomatonScores<kInlineWord> scores(n);
    bool tagged = false;  // (no pattern of a language is tagged)
    const bool reachesEnd = patterns.scoreByAutomaton(*automaton, word, scores, tagged);
    // A pattern result of no entries (the empty word) allows no break.
    const std::size_t rawLength = n + (reachesEnd ? 1 : 0);
    if (rawLength == 0) return;
    if (const auto range = h.minimums.range(word, rawLength)) {
      forEachOddScore(scores.afterCharacters(), range->first, range->second, out);
    }
    return;
  }
  const std::size_t m = n + 2;
  ScratchBuffer<std::uint32_t, kInlineWord + 2> dotted(m);
  (void)patterns.dottedSymbols(word, dotted.span());
  ScratchBuffer<PatternTable::Code, kInlineWord + 2> raw(m);
  std::fill_n(raw.data(), m, 0);
  const bool reachesEnd = patterns.table().score(dotted.span(), raw.span());
  const std::size_t rawLength = n + (reachesEnd ? 1 : 0);
  if (rawLength == 0) return;
  const auto range = h.minimums.range(word, rawLength);
  if (!range) return;
  // raw[j + 1] is the score of the boundary before character j.
  for (std::size_t at = range->first; at <= range->second; ++at) {
    if (raw[at + 1] % 2 != 0) out(at);
  }
}

/// The breaks of `word` by an office dictionary's rules, or by the user's
/// exceptions to them: both take the word normalised first, whatever its
/// length.
template <class Sink>
void officeBreaks(const HyphenatorState& h, const ExceptionIndex& exceptions,
                  std::u32string_view word, Sink& out) {
  const std::size_t n = word.size();
  ScratchBuffer<char32_t, kInlineWord> key(n);
  h.office->normalise(word, h.chars.get(), key.data());
  const std::u32string_view normalised(key.data(), n);
  if (const ScoreList* scores = exceptions.find(normalised)) {
    exceptionBreaks(h, word, *scores, out);
    return;
  }
  ScratchBuffer<FoundBreak, kInlineWord> breaks(n);
  const std::size_t count = h.office->breaks(normalised, h.minimums, breaks.span());
  for (FoundBreak& b : breaks.span().first(count)) {
    if (b.change != nullptr) {
      // Capitals are the letters the character function changes.
      const std::size_t end = std::min(n, b.changeStart + b.change->cut);
      b.capitals = end > b.changeStart;
      for (std::size_t i = b.changeStart; i < end; ++i) b.capitals &= word[i] != normalised[i];
    }
    out(b);
  }
}

/// The one way, for either sink.
template <class Sink>
void breaksInto(const HyphenatorState& h, std::u32string_view word, Sink& out) {
  const std::size_t n = word.size();
  if (n < h.shortestBreakable()) return;
  const ExceptionIndex& exceptions = *h.exceptionIndex.get();
  if (h.office != nullptr) {
    officeBreaks(h, exceptions, word, out);
    return;
  }
  const CompiledPatterns& patterns = *h.compiled.get();
  // Most words are no exception: the filter tells before any is normalised.
  if (exceptions.mayContain(word, patterns)) {
    const CharFunction& chars = h.chars.get();
    ScratchBuffer<char32_t, kInlineWord> key(n);
    for (std::size_t i = 0; i < n; ++i) key[i] = chars(word[i]);
    if (const ScoreList* scores = exceptions.find({key.data(), n})) {
      exceptionBreaks(h, word, *scores, out);
      return;
    }
  }
  patternBreaks(h, patterns, word, out);
}

}  // namespace

std::size_t findBreaks(const HyphenatorState& h, std::u32string_view word, FoundBreak* out) {
  AllBreaks sink(out);
  breaksInto(h, word, sink);
  return sink.count();
}

std::size_t findStandardBreaks(const HyphenatorState& h, std::u32string_view word,
                               std::span<std::size_t> out) {
  StandardPositions sink(out);
  breaksInto(h, word, sink);
  return sink.count();
}

}  // namespace morvane::detail
