#include "engine/find_breaks.hpp"

#include <algorithm>

#include "engine/automaton_scores.hpp"
#include "engine/odd_scores.hpp"

namespace morvane::detail {

namespace {

/// Breaks written one after another into a caller's buffer.
class BreakWriter {
 public:
  explicit BreakWriter(FoundBreak* out) : out_(out) {}
  void operator()(std::size_t position) { out_[count_++] = FoundBreak::at(position); }
  [[nodiscard]] std::size_t count() const { return count_; }

 private:
  FoundBreak* out_;
  std::size_t count_ = 0;
};

/// The boundaries of `word` at which its exception's `scores` allow a break
/// within the minimums.
void exceptionBreaks(const HyphenatorState& h, std::u32string_view word, const ScoreList& scores,
                     BreakWriter& out) {
  const auto range = h.minimums.range(word, scores.size());
  if (!range) return;
  for (std::size_t at = range->first; at <= range->second; ++at) {
    if (scores[at] % 2 != 0) out(at);
  }
}

/// The boundaries of `word` at which its patterns allow a break within the
/// minimums: by the automaton once it is warm, else from the table.
void patternBreaks(const HyphenatorState& h, const CompiledPatterns& patterns,
                   std::u32string_view word, BreakWriter& out) {
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

/// Writes the breaks of `word` by an office dictionary's rules, or by the
/// user's exceptions to them, into `out`; returns how many. Both take the
/// word normalised first, whatever its length.
std::size_t officeBreaks(const HyphenatorState& h, const ExceptionIndex& exceptions,
                         std::u32string_view word, FoundBreak* out) {
  const std::size_t n = word.size();
  ScratchBuffer<char32_t, kInlineWord> key(n);
  h.office->normalise(word, h.chars.get(), key.data());
  const std::u32string_view normalised(key.data(), n);
  if (const ScoreList* scores = exceptions.find(normalised)) {
    BreakWriter writer(out);
    exceptionBreaks(h, word, *scores, writer);
    return writer.count();
  }
  const std::size_t count = h.office->breaks(normalised, h.minimums, {out, n});
  for (FoundBreak& b : std::span(out, count)) {
    if (b.change != nullptr) {
      // Capitals are the letters the character function changes.
      const std::size_t end = std::min(n, b.changeStart + b.change->cut);
      b.capitals = end > b.changeStart;
      for (std::size_t i = b.changeStart; i < end; ++i) b.capitals &= word[i] != normalised[i];
    }
  }
  return count;
}

}  // namespace

std::size_t findBreaks(const HyphenatorState& h, std::u32string_view word, FoundBreak* out) {
  const std::size_t n = word.size();
  if (n < h.shortestBreakable()) return 0;
  const ExceptionIndex& exceptions = *h.exceptionIndex.get();
  if (h.office != nullptr) return officeBreaks(h, exceptions, word, out);
  BreakWriter writer(out);
  const CompiledPatterns& patterns = *h.compiled.get();
  // Most words are no exception: the filter tells before any is normalised.
  if (exceptions.mayContain(word, patterns)) {
    const CharFunction& chars = h.chars.get();
    ScratchBuffer<char32_t, kInlineWord> key(n);
    for (std::size_t i = 0; i < n; ++i) key[i] = chars(word[i]);
    if (const ScoreList* scores = exceptions.find({key.data(), n})) {
      exceptionBreaks(h, word, *scores, writer);
      return writer.count();
    }
  }
  patternBreaks(h, patterns, word, writer);
  return writer.count();
}

}  // namespace morvane::detail
