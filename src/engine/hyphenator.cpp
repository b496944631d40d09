#include "morvane/hyphenator.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "common/scratch_buffer.hpp"
#include "common/utf8.hpp"
#include "engine/automaton_scores.hpp"
#include "engine/hyphenator_parts.hpp"
#include "engine/odd_scores.hpp"
#include "morvane/error.hpp"

namespace morvane {

namespace detail {

Hyphenator makeHyphenator(std::shared_ptr<const HyphenatorParts> parts) {
  return Hyphenator(std::move(parts));
}

const HyphenatorParts& partsOf(const Hyphenator& h) { return *h.parts_; }

HyphenatorParts::HyphenatorParts(Lazy<CharFunction> c, Lazy<Patterns> p, Lazy<Exceptions> e,
                                 std::int64_t left, std::int64_t right,
                                 Lazy<std::shared_ptr<const PatternTable>> compiled)
    : chars(std::move(c)),
      patterns(std::move(p)),
      exceptions(std::move(e)),
      leftMin(left),
      rightMin(right),
      table(std::move(compiled)),
      scorer([this] { return makeScorer(); }) {}

Scorer HyphenatorParts::makeScorer() const {
  Scorer scorer;
  scorer.table = table.get();
  scorer.chars = &chars.get();
  const PatternTable& t = *scorer.table;
  if (const CharMap* map = scorer.chars->table()) {
    // c → symbol(chars(c)): the letters themselves, then every mapped
    // character (to no symbol when it maps outside the patterns); later
    // pairs win. An array when the code points allow, else a map.
    auto pairs = t.symbols().pairs();
    for (const auto& [from, to] : map->pairs()) pairs.emplace_back(from, t.symbol(to));
    char32_t highest = 0;
    for (const auto& pair : pairs) highest = std::max(highest, pair.first);
    if (highest < Scorer::kMaxDense &&
        t.alphabetSize() <= std::numeric_limits<std::uint16_t>::max()) {
      scorer.denseSymbols.assign(pairs.empty() ? 0 : highest + 1, PatternTable::kNoSymbol);
      for (const auto& [from, symbol] : pairs) {
        scorer.denseSymbols[from] = static_cast<std::uint16_t>(symbol);
      }
    } else {
      scorer.directSymbols.emplace(pairs);
    }
  }
  for (const auto& entry : exceptions.get().entries()) {
    const std::u32string& key = entry.first;
    scorer.exceptionFilter.add(key.size(), [&t, &key](std::size_t i) { return t.symbol(key[i]); });
  }
  return scorer;
}

std::size_t HyphenatorParts::shortestBreakableForAnyMinimums() const {
  // Any 64-bit values: their sum is taken without overflow.
  __extension__ using Wide = __int128;
  const Wide room =
      std::clamp<Wide>(Wide{leftMin} + Wide{rightMin}, 0, std::numeric_limits<std::size_t>::max());
  return std::max(minWordLength, static_cast<std::size_t>(room));
}

const PatternAutomaton* compileWhenWarm(const HyphenatorParts& h) {
  if (h.scoredWords.fetch_add(1, std::memory_order_relaxed) < HyphenatorParts::kWarmWords) {
    return nullptr;
  }
  return h.automaton
      .get([&h] {
        return PatternAutomaton::compile(*h.scorer.get().table, HyphenatorParts::kAutomatonCells);
      })
      .get();
}

}  // namespace detail

Hyphenator::Hyphenator(std::shared_ptr<const detail::HyphenatorParts> parts)
    : parts_(std::move(parts)) {}

Hyphenator::Hyphenator(Lazy<CharFunction> chars, Lazy<Patterns> patterns,
                       Lazy<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin) {
  Lazy<std::shared_ptr<const detail::PatternTable>> table(
      [patterns] { return detail::compiledTable(patterns.get()); });
  parts_ = std::make_shared<const detail::HyphenatorParts>(std::move(chars), std::move(patterns),
                                                           std::move(exceptions), leftMin, rightMin,
                                                           std::move(table));
}

const CharFunction& hyphenatorChars(const Hyphenator& h) { return detail::partsOf(h).chars.get(); }
const Patterns& hyphenatorPatterns(const Hyphenator& h) {
  return detail::partsOf(h).patterns.get();
}
const Exceptions& hyphenatorExceptions(const Hyphenator& h) {
  return detail::partsOf(h).exceptions.get();
}
std::int64_t hyphenatorLeftMin(const Hyphenator& h) { return detail::partsOf(h).leftMin; }
std::int64_t hyphenatorRightMin(const Hyphenator& h) { return detail::partsOf(h).rightMin; }

namespace {

// Minimums are arbitrary 64-bit values; sums and differences with the word
// length are taken without overflow.
__extension__ using Wide = __int128;

constexpr std::size_t kInlineLength = 64;

using BoundaryRange = std::optional<std::pair<std::size_t, std::size_t>>;

/// breakableRange for minimums of any 64-bit values.
BoundaryRange breakableRangeForAnyMinimums(const detail::HyphenatorParts& h, std::size_t n,
                                           std::size_t rawLength, std::u32string_view word) {
  const Wide wideN = static_cast<Wide>(n);
  const Wide left = h.leftMin;
  const Wide right = h.rightMin;
  if (rawLength == 0 && left <= 0) {
    throw Error("Malformed hyphenation score for " + detail::encodeUtf8(word));
  }
  // The first leftMin boundaries are zeroed, and at most n − leftMin − rightMin + 1
  // entries are kept after them (after none, when leftMin ≤ 0).
  const Wide lowest = std::max<Wide>(left, 1);
  const Wide highest = std::min<Wide>(
      {wideN, static_cast<Wide>(rawLength) - 1, left >= 1 ? wideN - right : wideN - left - right});
  // Both within 1 … n when not empty: the loops need no wide arithmetic.
  if (highest < lowest) return std::nullopt;
  return std::pair{static_cast<std::size_t>(lowest), static_cast<std::size_t>(highest)};
}

/// The boundaries lowest … highest (1 ≤ lowest, highest ≤ n; boundary p
/// lies after the first p characters) the minimums leave for a word of `n`
/// characters whose raw score list has `rawLength` entries; none when the
/// range is empty.
[[gnu::always_inline]] inline BoundaryRange breakableRange(const detail::HyphenatorParts& h,
                                                           std::size_t n, std::size_t rawLength,
                                                           std::u32string_view word) {
  // Usual minimums, with a left one of at least 1: boundaries
  // leftMin … min(n − rightMin, rawLength − 1).
  if (!h.usualMinimums() || h.leftMin < 1) {
    return breakableRangeForAnyMinimums(h, n, rawLength, word);
  }
  const auto left = static_cast<std::size_t>(h.leftMin);
  const auto right = static_cast<std::size_t>(h.rightMin);
  if (rawLength == 0 || n < left + right) return std::nullopt;
  const std::size_t highest = std::min(n - right, rawLength - 1);
  if (highest < left) return std::nullopt;
  return std::pair{left, highest};
}

/// Calls `emit(p)` for every boundary p of `word` at which it may break,
/// ascending, given the raw score list R (`rawLength` entries, `raw(j)` the
/// score of the boundary before character j): p must be within the
/// minimums and R[p] odd.
template <class Raw, class Emit>
void emitBreaks(const detail::HyphenatorParts& h, std::u32string_view word, std::size_t rawLength,
                Raw raw, Emit& emit) {
  const auto range = breakableRange(h, word.size(), rawLength, word);
  if (!range) return;
  for (std::size_t at = range->first; at <= range->second; ++at) {
    if (raw(at) % 2 != 0) emit(at);
  }
}

/// emitBreaks for the scores an automaton gives: R[j] is raw[j] (R[n] only
/// when `reachesEnd`), with detail::kOddScanSlack bytes readable past R[n].
template <class Emit>
void emitOddBytes(const detail::HyphenatorParts& h, std::u32string_view word, bool reachesEnd,
                  const std::uint8_t* raw, Emit& emit) {
  const std::size_t rawLength = word.size() + (reachesEnd ? 1 : 0);
  if (rawLength == 0) return;
  const auto range = breakableRange(h, word.size(), rawLength, word);
  if (range) detail::forEachOddScore(raw, range->first, range->second, emit);
}

/// emitBreaks for the scores patterns give: R[j] is raw(j), and R[n] exists
/// only when some pattern scores past the word. A pattern result is never
/// malformed: with no entries at all (the empty word) it allows no break.
template <class Raw, class Emit>
void emitPatternBreaks(const detail::HyphenatorParts& h, std::u32string_view word, bool reachesEnd,
                       Raw raw, Emit& emit) {
  const std::size_t rawLength = word.size() + (reachesEnd ? 1 : 0);
  if (rawLength != 0) emitBreaks(h, word, rawLength, raw, emit);
}

/// Calls `emit(b)` for every break b of `word` (a detail::DictionaryBreak:
/// only an office dictionary's may change the spelling), ascending.
template <class Emit>
void forEachBreak(const detail::HyphenatorParts& h, std::u32string_view word, Emit&& emit) {
  const std::size_t n = word.size();
  if (n < h.shortestBreakable()) return;
  const auto standard = [&emit](std::size_t p) {
    emit(detail::DictionaryBreak{p, nullptr, 0, false});
  };
  if (h.dictionary != nullptr) {
    // The user's exceptions first, whatever the length; then the rules.
    const CharFunction& chars = h.chars.get();
    detail::ScratchBuffer<char32_t, kInlineLength> normalised(n);
    h.dictionary->normalise(word, chars, normalised.data());
    const std::u32string_view key(normalised.data(), n);
    const ExceptionMap& exceptions = h.exceptions.get().entries();
    if (const auto found = exceptions.empty() ? exceptions.end() : exceptions.find(key);
        found != exceptions.end()) {
      const ScoreList& scores = found->second;
      emitBreaks(
          h, word, scores.size(), [&scores](std::size_t j) { return scores[j]; }, standard);
      return;
    }
    detail::ScratchBuffer<detail::DictionaryBreak, kInlineLength> breaks(n);
    const std::size_t count = h.dictionary->breaks(key, h.leftMin, h.rightMin, breaks.span());
    for (detail::DictionaryBreak& b : breaks.span().first(count)) {
      if (b.change != nullptr) {
        // Capitals are the letters the character function changes.
        const std::size_t end = std::min(n, b.changeStart + b.change->cut);
        b.capitals = end > b.changeStart;
        for (std::size_t i = b.changeStart; i < end; ++i) b.capitals &= word[i] != key[i];
      }
      emit(b);
    }
    return;
  }
  const detail::Scorer& scorer = h.scorer.get();
  const std::optional<detail::DenseSymbols> dense = scorer.dense();
  const auto symbolOf = [&scorer, &dense](char32_t c) {
    return dense ? (*dense)(c) : scorer.symbolOf(c);
  };
  const auto mayBeException = [&] {
    if (scorer.exceptionFilter.empty()) return false;
    if (dense) {
      return scorer.exceptionFilter.mayContain(n, [&](std::size_t i) { return (*dense)(word[i]); });
    }
    return scorer.exceptionFilter.mayContain(n, [&](std::size_t i) { return symbolOf(word[i]); });
  };
  if (mayBeException()) {
    const CharFunction& chars = h.chars.get();
    const ExceptionMap& exceptions = h.exceptions.get().entries();
    detail::ScratchBuffer<char32_t, kInlineLength> normalised(n);
    for (std::size_t i = 0; i < n; ++i) normalised[i] = chars(word[i]);
    const auto found = exceptions.find(std::u32string_view(normalised.data(), n));
    if (found != exceptions.end()) {
      const ScoreList& scores = found->second;
      emitBreaks(
          h, word, scores.size(), [&scores](std::size_t j) { return scores[j]; }, standard);
      return;
    }
  }

  const std::size_t m = n + 2;
  if (const detail::PatternAutomaton* automaton = detail::automatonFor(h)) {
    detail::AutomatonScores<kInlineLength> scores(n);
    // The scoring loop must call nothing, or its registers spill: symbols
    // come from the dense table, or are all found first.
    bool reachesEnd = false;
    if (dense) {
      reachesEnd = automaton->score(word, *dense, scores.data());
    } else {
      detail::ScratchBuffer<char32_t, kInlineLength> symbols(n);
      for (std::size_t i = 0; i < n; ++i) symbols[i] = symbolOf(word[i]);
      reachesEnd = automaton->score(
          std::u32string_view(symbols.data(), n),
          [](char32_t symbol) -> std::uint32_t { return symbol; }, scores.data());
    }
    emitOddBytes(h, word, reachesEnd, scores.afterCharacters(), standard);
    return;
  }
  const detail::PatternTable& table = *scorer.table;
  detail::ScratchBuffer<std::uint32_t, kInlineLength + 2> dotted(m);
  dotted[0] = dotted[m - 1] = table.dotSymbol();
  for (std::size_t i = 0; i < n; ++i) dotted[i + 1] = symbolOf(word[i]);
  detail::ScratchBuffer<detail::PatternTable::Code, kInlineLength + 2> raw(m);
  std::fill_n(raw.data(), m, 0);
  const bool reachesEnd = table.score(dotted.span(), raw.span());
  emitPatternBreaks(
      h, word, reachesEnd, [&raw](std::size_t j) { return raw[j + 1]; }, standard);
}

/// A caller's UTF-8 word decoded (on the stack when short), with the byte
/// offset of every code point and of the end, so that pieces can be cut from
/// the caller's own bytes.
class DecodedWord {
 public:
  explicit DecodedWord(std::string_view bytes) : text_(bytes.size()), offsets_(bytes.size() + 1) {
    // Locals, not members, in the loops: stores through the arrays could
    // alias them and force reloads.
    char32_t* const text = text_.data();
    std::size_t at = detail::widenAscii(bytes, text);
    size_ = at;
    if (at == bytes.size()) return;  // ASCII: offsets are indices
    ascii_ = false;
    std::size_t* const offsets = offsets_.data();
    std::size_t size = at;
    for (std::size_t i = 0; i < at; ++i) offsets[i] = i;
    while (at < bytes.size()) {
      char32_t c = 0;
      const std::size_t length = detail::decodeUtf8Char(bytes.substr(at), c);
      if (length == 0) throw Error(detail::invalidUtf8Message(at));
      text[size] = c;
      offsets[size++] = at;
      at += length;
    }
    offsets[size] = at;
    size_ = size;
  }
  [[nodiscard]] std::u32string_view text() { return {text_.data(), size_}; }
  [[nodiscard]] std::size_t offset(std::size_t index) { return ascii_ ? index : offsets_[index]; }

 private:
  detail::ScratchBuffer<char32_t, kInlineLength> text_;
  detail::ScratchBuffer<std::size_t, kInlineLength + 1> offsets_;  // filled unless ascii_
  std::size_t size_ = 0;
  bool ascii_ = true;
};

/// The break positions of a word, gathered first (on the stack when the word
/// is short) so that what is built from them can be sized once.
class Breaks {
 public:
  Breaks(const Hyphenator& h, std::u32string_view word) : positions_(word.size()) {
    forEachBreak(detail::partsOf(h), word, [this](const detail::DictionaryBreak& b) {
      if (b.change == nullptr) positions_[count_++] = b.position;
    });
  }
  [[nodiscard]] std::size_t size() const { return count_; }
  [[nodiscard]] std::size_t operator[](std::size_t i) { return positions_[i]; }

 private:
  detail::ScratchBuffer<std::size_t, kInlineLength> positions_;
  std::size_t count_ = 0;
};

/// The pieces of `word` between its breaks, each made in place from cut(from, to).
template <class Piece, class Cut>
std::vector<Piece> piecesOf(const Hyphenator& h, std::u32string_view word, Cut cut) {
  Breaks breaks(h, word);
  std::vector<Piece> pieces;
  pieces.reserve(breaks.size() + 1);
  std::size_t start = 0;
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    pieces.emplace_back(cut(start, breaks[i]));
    start = breaks[i];
  }
  pieces.emplace_back(cut(start, word.size()));
  return pieces;
}

/// `word` (in `Text` units, with `offset(i)` the unit where code point i
/// starts) with `separator` at every break.
template <class Text, class Offset>
Text joinWithSeparator(const Hyphenator& h, std::u32string_view codePoints,
                       std::basic_string_view<typename Text::value_type> word,
                       std::basic_string_view<typename Text::value_type> separator, Offset offset) {
  Breaks breaks(h, codePoints);
  Text out;
  out.reserve(word.size() + breaks.size() * separator.size());
  std::size_t start = 0;
  for (std::size_t i = 0; i < breaks.size(); ++i) {
    const std::size_t at = offset(breaks[i]);
    out.append(word.substr(start, at - start));
    out.append(separator);
    start = at;
  }
  out.append(word.substr(start));
  return out;
}

}  // namespace

std::vector<std::size_t> hyphenationPoints(const Hyphenator& h, std::u32string_view word) {
  std::vector<std::size_t> points;
  forEachBreak(detail::partsOf(h), word, [&points](const detail::DictionaryBreak& b) {
    if (b.change == nullptr) points.push_back(b.position);
  });
  return points;
}

std::size_t hyphenationPoints(const Hyphenator& h, std::u32string_view word,
                              std::span<std::size_t> out) {
  std::size_t count = 0;
  forEachBreak(detail::partsOf(h), word, [&](const detail::DictionaryBreak& b) {
    if (b.change != nullptr) return;
    if (count < out.size()) out[count] = b.position;
    ++count;
  });
  return count;
}

std::vector<std::size_t> hyphenationPoints(const Hyphenator& h, std::string_view word) {
  DecodedWord decoded(word);
  return hyphenationPoints(h, decoded.text());
}

std::vector<std::u32string> hyphenate(const Hyphenator& h, std::u32string_view word) {
  return piecesOf<std::u32string>(
      h, word, [word](std::size_t from, std::size_t to) { return word.substr(from, to - from); });
}

std::vector<std::string> hyphenate(const Hyphenator& h, std::string_view word) {
  DecodedWord decoded(word);
  return piecesOf<std::string>(h, decoded.text(), [&](std::size_t from, std::size_t to) {
    const std::size_t begin = decoded.offset(from);
    return word.substr(begin, decoded.offset(to) - begin);
  });
}

std::u32string insertHyphens(const Hyphenator& h, std::u32string_view word,
                             std::u32string_view separator) {
  return joinWithSeparator<std::u32string>(h, word, word, separator,
                                           [](std::size_t i) { return i; });
}

std::string insertHyphens(const Hyphenator& h, std::string_view word, std::string_view separator) {
  DecodedWord decoded(word);
  return joinWithSeparator<std::string>(h, decoded.text(), word, separator,
                                        [&decoded](std::size_t i) { return decoded.offset(i); });
}

namespace {

/// The breaks of `word` as a line breaker takes them, in `String` units cut
/// by `cut(from, to)` from the caller's text; `encode` turns a changed
/// spelling into them.
template <class String, class Cut, class Encode>
std::vector<BasicWordBreak<String>> breaksOf(const Hyphenator& h, std::u32string_view word, Cut cut,
                                             Encode encode) {
  std::vector<BasicWordBreak<String>> breaks;
  forEachBreak(detail::partsOf(h), word, [&](const detail::DictionaryBreak& b) {
    BasicWordBreak<String> out;
    out.position = b.position;
    if (b.change == nullptr) {
      out.before = cut(0, b.position);
      out.after = cut(b.position, word.size());
    } else {
      const std::size_t end = std::min(word.size(), b.changeStart + b.change->cut);
      out.before = cut(0, b.changeStart) + encode(b.before());
      out.after = encode(b.after()) + cut(end, word.size());
      out.standard = false;
    }
    breaks.push_back(std::move(out));
  });
  return breaks;
}

/// `word` with every break marked; a standard break inside or just after
/// letters a non-standard one rewrites gives way to it, as in the C library.
template <class String, class Cut, class Encode>
String spell(const Hyphenator& h, std::u32string_view word, const String& separator, Cut cut,
             Encode encode) {
  std::vector<detail::DictionaryBreak> breaks;
  forEachBreak(detail::partsOf(h), word,
               [&breaks](const detail::DictionaryBreak& b) { breaks.push_back(b); });
  std::erase_if(breaks, [&breaks](const detail::DictionaryBreak& b) {
    return b.change == nullptr && std::any_of(breaks.begin(), breaks.end(), [&b](const auto& c) {
             return c.change != nullptr && b.position > c.changeStart &&
                    b.position <= c.changeStart + c.change->cut;
           });
  });
  String out;
  std::size_t written = 0;
  for (const detail::DictionaryBreak& b : breaks) {
    const std::size_t from = b.change == nullptr ? b.position : b.changeStart;
    if (from < written) continue;
    out += cut(written, from);
    if (b.change == nullptr) {
      out += separator;
      written = b.position;
    } else {
      out += encode(b.before()) + separator + encode(b.after());
      written = std::min(word.size(), b.changeStart + b.change->cut);
    }
  }
  out += cut(written, word.size());
  return out;
}

std::u32string same(std::u32string_view s) { return std::u32string(s); }

/// A new hyphenator sharing everything of `h`'s, changed by `change`.
template <class Change>
Hyphenator derived(const Hyphenator& h, Change change) {
  const detail::HyphenatorParts& from = detail::partsOf(h);
  auto parts = std::make_shared<detail::HyphenatorParts>(from.chars, from.patterns, from.exceptions,
                                                         from.leftMin, from.rightMin, from.table);
  parts->dictionary = from.dictionary;
  parts->minWordLength = from.minWordLength;
  change(*parts);
  return detail::makeHyphenator(std::move(parts));
}

}  // namespace

std::vector<WordBreak> hyphenationBreaks(const Hyphenator& h, std::u32string_view word) {
  return breaksOf<std::u32string>(
      h, word,
      [word](std::size_t from, std::size_t to) {
        return std::u32string(word.substr(from, to - from));
      },
      same);
}

std::vector<Utf8WordBreak> hyphenationBreaks(const Hyphenator& h, std::string_view word) {
  DecodedWord decoded(word);
  return breaksOf<std::string>(
      h, decoded.text(),
      [&](std::size_t from, std::size_t to) {
        return std::string(
            word.substr(decoded.offset(from), decoded.offset(to) - decoded.offset(from)));
      },
      detail::encodeUtf8);
}

std::u32string spellBreaks(const Hyphenator& h, std::u32string_view word,
                           std::u32string_view separator) {
  return spell(
      h, word, std::u32string(separator),
      [word](std::size_t from, std::size_t to) {
        return std::u32string(word.substr(from, to - from));
      },
      same);
}

std::string spellBreaks(const Hyphenator& h, std::string_view word, std::string_view separator) {
  DecodedWord decoded(word);
  return spell(
      h, decoded.text(), std::string(separator),
      [&](std::size_t from, std::size_t to) {
        return std::string(
            word.substr(decoded.offset(from), decoded.offset(to) - decoded.offset(from)));
      },
      detail::encodeUtf8);
}

Hyphenator withExceptions(const Hyphenator& h, std::u32string_view exceptionText) {
  // The user's lines, with their keys in the hyphenator's own spelling, over
  // the hyphenator's entries.
  return derived(h, [&h, text = std::u32string(exceptionText)](detail::HyphenatorParts& parts) {
    parts.exceptions = Lazy<Exceptions>([h, text] {
      const CharFunction& chars = hyphenatorChars(h);
      ExceptionMap entries = hyphenatorExceptions(h).entries();
      ExceptionMap own;
      const Exceptions given = parseExceptions(text);
      for (const auto& [key, scores] : given.entries()) {
        std::u32string normalised(key);
        for (char32_t& c : normalised) c = chars(c);
        auto [at, added] = own.try_emplace(std::move(normalised), scores);
        if (!added) at->second = zipMin(scores, at->second);
      }
      for (auto& [key, scores] : own) entries.insert_or_assign(key, std::move(scores));
      return Exceptions(std::move(entries));
    });
  });
}

Hyphenator withExceptions(const Hyphenator& h, std::string_view exceptionText) {
  return withExceptions(h, detail::decodeUtf8(exceptionText));
}

Hyphenator withMinimums(const Hyphenator& h, std::int64_t leftMin, std::int64_t rightMin) {
  return derived(h, [&](detail::HyphenatorParts& parts) {
    parts.leftMin = leftMin;
    parts.rightMin = rightMin;
  });
}

Hyphenator withMinWordLength(const Hyphenator& h, std::size_t length) {
  return derived(h, [length](detail::HyphenatorParts& parts) { parts.minWordLength = length; });
}

}  // namespace morvane
