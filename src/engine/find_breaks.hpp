#pragma once

// The one way from a word to its breaks, for every kind of hyphenator:
// the exceptions first, then the scorer (the patterns, or an office
// dictionary's rules), then the minimums.

#include <algorithm>
#include <string_view>

#include "common/scratch_buffer.hpp"
#include "engine/automaton_scores.hpp"
#include "engine/hyphenator_state.hpp"
#include "engine/odd_scores.hpp"

namespace morvane::detail {

/// Words up to this long are worked on in buffers on the stack.
inline constexpr std::size_t kInlineWord = 64;

/// Calls `emit(p)` for every boundary p of `word` at which its exception's
/// `scores` allow a break within the minimums.
template <class Emit>
void exceptionBreaks(const HyphenatorState& h, std::u32string_view word, const ScoreList& scores,
                     Emit& emit) {
  const auto range = h.minimums.range(word, scores.size());
  if (!range) return;
  for (std::size_t at = range->first; at <= range->second; ++at) {
    if (scores[at] % 2 != 0) emit(at);
  }
}

/// Calls `emit(p)` for every boundary p of `word` at which its patterns
/// allow a break within the minimums: by the automaton once it is warm,
/// else from the table.
template <class Emit>
void patternBreaks(const HyphenatorState& h, const CompiledPatterns& patterns,
                   std::u32string_view word, Emit& emit) {
  const std::size_t n = word.size();
  if (const PatternAutomaton* automaton = patterns.automatonOnceWarm()) {
    AutomatonScores<kInlineWord> scores(n);
    bool tagged = false;  // (no pattern of a language is tagged)
    const bool reachesEnd = patterns.scoreByAutomaton(*automaton, word, scores, tagged);
    // A pattern result of no entries (the empty word) allows no break.
    const std::size_t rawLength = n + (reachesEnd ? 1 : 0);
    if (rawLength == 0) return;
    if (const auto range = h.minimums.range(word, rawLength)) {
      forEachOddScore(scores.afterCharacters(), range->first, range->second, emit);
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
    if (raw[at + 1] % 2 != 0) emit(at);
  }
}

/// Calls `emit(b)` for every break b of `word`, a FoundBreak (only an
/// office dictionary's may change the spelling), ascending.
template <class Emit>
void forEachBreak(const HyphenatorState& h, std::u32string_view word, Emit&& emit) {
  const std::size_t n = word.size();
  if (n < h.shortestBreakable()) return;
  const auto standard = [&emit](std::size_t p) { emit(FoundBreak::at(p)); };
  const ExceptionIndex& exceptions = *h.exceptionIndex.get();
  if (h.office != nullptr) {
    // Normalised first: the user's exceptions, whatever the length; then
    // the rules.
    ScratchBuffer<char32_t, kInlineWord> key(n);
    h.office->normalise(word, h.chars.get(), key.data());
    const std::u32string_view normalised(key.data(), n);
    if (const ScoreList* scores = exceptions.find(normalised)) {
      exceptionBreaks(h, word, *scores, standard);
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
      emit(b);
    }
    return;
  }
  const CompiledPatterns& patterns = *h.compiled.get();
  // Most words are no exception: the filter tells before any is normalised.
  if (exceptions.mayContain(word, patterns)) {
    const CharFunction& chars = h.chars.get();
    ScratchBuffer<char32_t, kInlineWord> key(n);
    for (std::size_t i = 0; i < n; ++i) key[i] = chars(word[i]);
    if (const ScoreList* scores = exceptions.find({key.data(), n})) {
      exceptionBreaks(h, word, *scores, standard);
      return;
    }
  }
  patternBreaks(h, patterns, word, standard);
}

}  // namespace morvane::detail
