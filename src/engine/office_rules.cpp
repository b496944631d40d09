// Office-suite dictionaries' rules: levels scored under the longest-prefix
// rule, compound words split at their joints, spelling changes, NOHYPHEN.

#include "engine/office_rules.hpp"

#include <algorithm>
#include <iterator>

#include "common/scratch_buffer.hpp"
#include "engine/automaton_scores.hpp"

namespace morvane::detail {

namespace {

constexpr std::size_t kInline = 64;

}  // namespace

OfficeLevel::OfficeLevel(const PatternBuilder& builder, std::vector<SpellingChange> changes)
    : patterns_(
          std::make_shared<const PatternTable>(builder, PatternTable::Matching::kLongestPrefix),
          CharFunction(), kAutomatonCells),
      changes_(std::move(changes)) {}

std::optional<std::size_t> OfficeLevel::wordBreaks(std::u32string_view word,
                                                   const Minimums& minimums,
                                                   std::span<FoundBreak> out) const {
  const std::size_t n = word.size();
  if (n < 2 || table().nodeCount() == 1) return 0;
  // Only once compiled: the words before are counted by breaks().
  const PatternAutomaton* compiled = patterns_.compiledAutomaton();
  if (!patterns_.dense() || compiled == nullptr) return std::nullopt;
  AutomatonScores<kInline> scores(n);
  bool tagged = false;
  (void)patterns_.scoreByAutomaton(*compiled, word, scores, tagged);
  if (tagged) return std::nullopt;
  const auto length = static_cast<std::int64_t>(n);
  std::size_t count = 0;
  forEachOddScore(scores.afterCharacters(), 1, n - 1, [&](std::size_t p) {
    const auto at = static_cast<std::int64_t>(p);
    if (Minimums::keptBy(p, at, length - at, minimums.left, minimums.right)) {
      out[count++] = FoundBreak::at(p);
    }
  });
  return count;
}

void OfficeLevel::breaks(std::u32string_view piece, std::vector<LevelBreak>& out) const {
  const std::size_t n = piece.size();
  const PatternTable& table = this->table();
  // A level of no patterns (the one above a single level) breaks nothing.
  if (n < 2 || table.nodeCount() == 1) return;
  const std::size_t m = n + 2;
  const auto length = static_cast<std::int64_t>(n);

  // Once warm, the automaton: where no tagged pattern was met, every odd
  // boundary is a standard break. Otherwise which pattern won where is
  // worked out from the table below.
  if (const PatternAutomaton* compiled = patterns_.automatonOnceWarm()) {
    AutomatonScores<kInline> scores(n);
    bool tagged = false;
    (void)patterns_.scoreByAutomaton(*compiled, piece, scores, tagged);
    if (!tagged) {
      forEachOddScore(scores.afterCharacters(), 1, n - 1, [&](std::size_t p) {
        const auto at = static_cast<std::int64_t>(p);
        out.push_back({p, at, length - at, nullptr, 0});
      });
      return;
    }
  }

  // Scores of the boundaries of the dotted piece, and, where a tagged
  // pattern may have set them, which pattern and where it began.
  ScratchBuffer<std::uint32_t, kInline + 2> dotted(m);
  // Patterns of dots alone score no boundary inside the piece.
  if (!patterns_.dottedSymbols(piece, dotted.span())) return;
  ScratchBuffer<PatternTable::Code, kInline + 2> raw(m);
  ScratchBuffer<std::uint32_t, kInline + 2> sources(table.hasTags() ? m : 0);
  ScratchBuffer<std::uint32_t, kInline + 2> starts(table.hasTags() ? m : 0);
  std::fill_n(raw.data(), m, 0);
  if (table.hasTags()) {
    std::fill_n(sources.data(), m, 0);
    (void)table.scoreWithSources(dotted.span(), raw.span(), sources.span(), starts.span());
  } else {
    (void)table.score(dotted.span(), raw.span());
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
struct OfficeRules::Split {
  std::u32string_view word;
  std::int64_t left = 0;
  std::int64_t right = 0;
  std::span<FoundBreak> found;
  std::size_t count = 0;
  std::vector<LevelBreak>& stack;
  const OfficeLevel& joints;
  const OfficeLevel& hyphens;

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
void OfficeRules::splitPart(Split& split, std::size_t from, std::size_t to, std::int64_t partLeft,
                            std::int64_t partRight, int depth) const {
  const std::u32string_view part = split.word.substr(from, to - from);
  const bool top = depth == 0;
  const auto allowed = [&](const LevelBreak& b) {
    const bool keeps = Minimums::keptBy(b.position, b.before, b.after, partLeft, partRight);
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

std::size_t OfficeRules::breaks(std::u32string_view word, const Minimums& minimums,
                                std::span<FoundBreak> out) const {
  const OfficeLevel& joints = *jointLevel.get();
  const OfficeLevel& hyphens = *hyphenLevel.get();
  // Most words are one part with no string to keep away from: the second
  // level's automaton gives their breaks straight away.
  if (noHyphen.empty() && !joints.hasLetterIn(word)) {
    if (const auto count = hyphens.wordBreaks(word, minimums, out)) return *count;
  }
  // Kept between words, so that splitting allocates nothing once warm.
  thread_local std::vector<LevelBreak> stack;
  stack.clear();
  Split split{word, minimums.left, minimums.right, out, 0, stack, joints, hyphens};
  splitPart(split, 0, word.size(), minimums.left, minimums.right, 0);
  const auto found = out.first(split.count);
  if (noHyphen.empty()) return found.size();
  // No break beside a string the dictionary names (a hyphen already there,
  // an apostrophe).
  const auto besideNoHyphen = [&](const FoundBreak& b) {
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
