#include "engine/dictionary_rules.hpp"

#include <algorithm>
#include <iterator>
#include <limits>

#include "common/scratch_buffer.hpp"
#include "engine/automaton_scores.hpp"
#include "engine/hyphenator_parts.hpp"

namespace morvane::detail {

namespace {

constexpr std::size_t kInline = 64;
// Letters below this have their symbols in an array.
constexpr char32_t kDenseLimit = 0x10000;

/// Whether a break after `position` characters of a part, with `before` and
/// `after` characters counted on its sides, keeps the part's minimums: a
/// single character before it is kept whatever the right one, as the C
/// library keeps it.
bool keepsMinimums(std::size_t position, std::int64_t before, std::int64_t after, std::int64_t left,
                   std::int64_t right) {
  return before >= left && (after >= right || position == 1);
}

/// Scores `piece` with `compiled`, its letters read through `dense`; false
/// when a tagged pattern met may have won somewhere.
bool scoreUntagged(const PatternAutomaton& compiled, DenseSymbols dense, std::u32string_view piece,
                   AutomatonScores<kInline>& scores) {
  if (!compiled.hasTags()) {
    (void)compiled.score(piece, dense, scores.data());
    return true;
  }
  bool tagged = false;
  (void)compiled.score(piece, dense, scores.data(), tagged);
  return !tagged;
}

}  // namespace

DictionaryLevel::DictionaryLevel(const PatternBuilder& builder, std::vector<SpellingChange> changes)
    : table_(std::make_shared<const PatternTable>(builder, PatternTable::Matching::kLongestPrefix)),
      changes_(std::move(changes)) {
  if (table_->alphabetSize() > std::numeric_limits<std::uint16_t>::max()) return;
  allDense_ = true;
  for (const auto& [letter, symbol] : table_->symbols().pairs()) {
    if (letter >= kDenseLimit) {
      allDense_ = false;
      continue;
    }
    if (letter >= denseSymbols_.size()) denseSymbols_.resize(letter + 1, PatternTable::kNoSymbol);
    denseSymbols_[letter] = static_cast<std::uint16_t>(symbol);
  }
}

bool DictionaryLevel::hasLetterIn(std::u32string_view piece) const {
  if (table_->nodeCount() == 1) return false;
  if (!allDense_) return true;
  const DenseSymbols dense{denseSymbols_.data(), denseSymbols_.size()};
  std::uint32_t any = PatternTable::kNoSymbol;
  for (const char32_t c : piece) any |= dense(c);
  return any != PatternTable::kNoSymbol;
}

const PatternAutomaton* DictionaryLevel::automaton() const {
  if (const auto* compiled = automaton_.tryGet()) return compiled->get();
  // Counted only until the automaton exists, so that threads scoring words
  // share no writes after that.
  if (scored_.fetch_add(1, std::memory_order_relaxed) < HyphenatorParts::kWarmWords) {
    return nullptr;
  }
  return automaton_.get([this] { return PatternAutomaton::compile(*table_, kAutomatonCells); })
      .get();
}

std::optional<std::size_t> DictionaryLevel::wordBreaks(std::u32string_view word, std::int64_t left,
                                                       std::int64_t right,
                                                       std::span<DictionaryBreak> out) const {
  const std::size_t n = word.size();
  if (n < 2 || table_->nodeCount() == 1) return 0;
  // Only once compiled: the words before are counted by breaks().
  const auto* compiled = automaton_.tryGet();
  if (!allDense_ || compiled == nullptr || *compiled == nullptr) return std::nullopt;
  AutomatonScores<kInline> scores(n);
  const DenseSymbols dense{denseSymbols_.data(), denseSymbols_.size()};
  if (!scoreUntagged(**compiled, dense, word, scores)) return std::nullopt;
  const auto length = static_cast<std::int64_t>(n);
  std::size_t count = 0;
  forEachOddScore(scores.afterCharacters(), 1, n - 1, [&](std::size_t p) {
    const auto at = static_cast<std::int64_t>(p);
    if (keepsMinimums(p, at, length - at, left, right)) out[count++] = {p, nullptr, 0, false};
  });
  return count;
}

void DictionaryLevel::breaks(std::u32string_view piece, std::vector<LevelBreak>& out) const {
  const std::size_t n = piece.size();
  const PatternTable& table = *table_;
  // A level of no patterns (the one above a single level) breaks nothing.
  if (n < 2 || table.nodeCount() == 1) return;
  const std::size_t m = n + 2;
  const auto length = static_cast<std::int64_t>(n);
  const auto addStandardBreaks = [&](AutomatonScores<kInline>& scores) {
    forEachOddScore(scores.afterCharacters(), 1, n - 1, [&](std::size_t p) {
      const auto at = static_cast<std::int64_t>(p);
      out.push_back({p, at, length - at, nullptr, 0});
    });
  };

  // The usual case: every letter has its symbol in the array, so the
  // automaton reads them as it goes, with no pass of its own to find them.
  // Where a tagged pattern met may have won, the table below works out
  // which one did.
  if (allDense_) {
    if (const PatternAutomaton* compiled = automaton()) {
      AutomatonScores<kInline> scores(n);
      const DenseSymbols dense{denseSymbols_.data(), denseSymbols_.size()};
      if (scoreUntagged(*compiled, dense, piece, scores)) {
        addStandardBreaks(scores);
        return;
      }
    }
  }

  ScratchBuffer<char32_t, kInline> symbols(n);
  bool anyLetter = false;
  // Locals: stores to `symbols` could otherwise alias the table.
  const std::uint16_t* const dense = denseSymbols_.data();
  const std::size_t denseSize = denseSymbols_.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char32_t c = piece[i];
    // Every letter below kDenseLimit is in the array: one beyond its end has no symbol.
    symbols[i] = c < denseSize     ? dense[c]
                 : c < kDenseLimit ? PatternTable::kNoSymbol
                                   : table.symbol(c);
    anyLetter |= symbols[i] != PatternTable::kNoSymbol;
  }
  // Patterns of dots alone score no boundary inside the piece.
  if (!anyLetter) return;

  const PatternAutomaton* compiled = allDense_ ? nullptr : automaton();
  if (compiled != nullptr) {
    AutomatonScores<kInline> scores(n);
    bool tagged = false;
    (void)compiled->score(
        std::u32string_view(symbols.data(), n),
        [](char32_t symbol) -> std::uint32_t { return symbol; }, scores.data(), tagged);
    // No tagged pattern met: every odd boundary p (p + 1 in the dotted
    // piece) is a standard break. Otherwise which pattern won where is
    // worked out from the table below.
    if (!tagged) {
      addStandardBreaks(scores);
      return;
    }
  }

  // Scores of the boundaries of the dotted piece, and, where a tagged
  // pattern may have set them, which pattern and where it began.
  ScratchBuffer<PatternTable::Code, kInline + 2> raw(m);
  ScratchBuffer<std::uint32_t, kInline + 2> sources(table.hasTags() ? m : 0);
  ScratchBuffer<std::uint32_t, kInline + 2> starts(table.hasTags() ? m : 0);
  std::fill_n(raw.data(), m, 0);
  {
    ScratchBuffer<std::uint32_t, kInline + 2> dotted(m);
    dotted[0] = dotted[m - 1] = table.dotSymbol();
    for (std::size_t i = 0; i < n; ++i) dotted[i + 1] = symbols[i];
    if (table.hasTags()) {
      std::fill_n(sources.data(), m, 0);
      (void)table.scoreWithSources(dotted.span(), raw.span(), sources.span(), starts.span());
    } else {
      (void)table.score(dotted.span(), raw.span());
    }
  }

  for (std::size_t p = 1; p < n; ++p) {
    const std::size_t boundary = p + 1;  // in the dotted piece
    if (raw[boundary] % 2 == 0) continue;
    if (table.hasTags() && sources[boundary] != 0) {
      if (const std::uint32_t tag = table.tag(sources[boundary]); tag != 0) {
        const SpellingChange& change = changes_[tag - 1];
        if (boundary - starts[boundary] == change.boundary) {
          // The changed letters, in the piece (the dots are not in it).
          const auto from = static_cast<std::int64_t>(starts[boundary]) - 1 + change.start;
          const std::int64_t to = std::min<std::int64_t>(from + change.cut, length);
          if (from < 0 || from > to) continue;
          // The minimums count the longer of the spellings on each side, as
          // the C library counts them.
          const auto at = static_cast<std::int64_t>(p);
          out.push_back(
              {p, std::max(at, from + static_cast<std::int64_t>(change.before.size())),
               std::max(length - at, static_cast<std::int64_t>(change.after.size()) + length - to),
               &change, static_cast<std::size_t>(from)});
          continue;
        }
      }
    }
    const auto at = static_cast<std::int64_t>(p);
    out.push_back({p, at, length - at, nullptr, 0});
  }
}

/// The state of one word's splitting: the word, its minimums, the breaks
/// found so far, and the lists of breaks of the parts being split, deepest
/// last.
struct DictionaryRules::Split {
  std::u32string_view word;
  std::int64_t left = 0;
  std::int64_t right = 0;
  std::span<DictionaryBreak> found;
  std::size_t count = 0;
  std::vector<LevelBreak>& stack;
  const DictionaryLevel& joints;
  const DictionaryLevel& hyphens;

  /// Within the word's own minimums, for a break `b` of the part at `from`.
  [[nodiscard]] bool withinWord(const LevelBreak& b, std::size_t from, std::size_t to) const {
    return static_cast<std::int64_t>(from) + b.before >= left &&
           b.after + static_cast<std::int64_t>(word.size() - to) >= right;
  }
  // Joints are the ends of parts and other breaks lie inside them, so no
  // boundary is added twice and `found` has room for all.
  void add(const LevelBreak& b, std::size_t from) {
    found[count++] = {from + b.position, b.change, from + b.changeStart, false};
  }
};

// The C library's rules, found by testing it as a black box: a break
// leaving a single character before it is kept whatever the right minimum
// (the word's, at the top; the part's, within a compound word); within a
// compound word nothing leaves a single character at the end of a part,
// and every break keeps the word's own minimums too.
void DictionaryRules::splitPart(Split& split, std::size_t from, std::size_t to,
                                std::int64_t partLeft, std::int64_t partRight, int depth) const {
  const std::u32string_view part = split.word.substr(from, to - from);
  const bool top = depth == 0;
  const auto allowed = [&](const LevelBreak& b) {
    const bool keeps = keepsMinimums(b.position, b.before, b.after, partLeft, partRight);
    if (top) return keeps;
    return keeps && b.after >= 2 && split.withinWord(b, from, to);
  };
  std::vector<LevelBreak>& stack = split.stack;
  const std::size_t base = stack.size();
  if (depth < kMaxSplitDepth && split.joints.hasLetterIn(part)) split.joints.breaks(part, stack);
  const std::size_t count = stack.size() - base;
  if (count == 0) {
    split.hyphens.breaks(part, stack);
    for (std::size_t i = base; i < stack.size(); ++i) {
      if (allowed(stack[i])) split.add(stack[i], from);
    }
    stack.resize(base);
    return;
  }
  // Deeper calls push their lists after this one and take them off again;
  // a joint is copied, as their pushing may move the stack.
  std::size_t start = 0;
  for (std::size_t k = 0; k <= count; ++k) {
    const LevelBreak joint =
        k < count ? stack[base + k] : LevelBreak{part.size(), 0, 0, nullptr, 0};
    splitPart(split, from + start, from + joint.position, k == 0 ? partLeft : compoundLeftMin,
              k == count ? partRight : compoundRightMin, depth + 1);
    if (k == count) break;
    const bool printed =
        top ? allowed(joint) : joint.after >= 2 && split.withinWord(joint, from, to);
    if (printed) split.add(joint, from);
    start = joint.position;
  }
  stack.resize(base);
}

std::size_t DictionaryRules::breaks(std::u32string_view word, std::int64_t left, std::int64_t right,
                                    std::span<DictionaryBreak> out) const {
  const DictionaryLevel& joints = *jointLevel.get();
  const DictionaryLevel& hyphens = *hyphenLevel.get();
  // Most words are one part with no string to keep away from: the second
  // level's automaton gives their breaks straight away.
  if (noHyphen.empty() && !joints.hasLetterIn(word)) {
    if (const auto count = hyphens.wordBreaks(word, left, right, out)) return *count;
  }
  // Kept between words, so that splitting allocates nothing once warm.
  thread_local std::vector<LevelBreak> stack;
  stack.clear();
  Split split{word, left, right, out, 0, stack, joints, hyphens};
  splitPart(split, 0, word.size(), left, right, 0);
  const auto found = out.first(split.count);
  if (noHyphen.empty()) return found.size();
  // No break beside a string the dictionary names (a hyphen already there,
  // an apostrophe).
  const auto besideNoHyphen = [&](const DictionaryBreak& b) {
    for (const std::u32string& s : noHyphen) {
      if (s.empty()) continue;
      if (b.position >= s.size() && word.substr(b.position - s.size(), s.size()) == s) {
        return true;
      }
      if (word.substr(b.position, s.size()) == s) return true;
    }
    return false;
  };
  return static_cast<std::size_t>(std::remove_if(found.begin(), found.end(), besideNoHyphen) -
                                  found.begin());
}

}  // namespace morvane::detail
