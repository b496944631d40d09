#include "engine/dictionary_rules.hpp"

#include <algorithm>
#include <iterator>

#include "common/scratch_buffer.hpp"
#include "engine/hyphenator_parts.hpp"
#include "engine/pattern_links.hpp"

namespace morvane::detail {

namespace {

constexpr std::size_t kInline = 64;

}  // namespace

DictionaryLevel::DictionaryLevel(const PatternBuilder& builder, std::vector<SpellingChange> changes)
    : table_(std::make_shared<const PatternTable>(builder,
                                                  PatternTable::Matching::kLongestPrefix)),
      changes_(std::move(changes)) {}

void DictionaryLevel::breaks(std::u32string_view word, std::int64_t left, std::int64_t right,
                             std::size_t offset, std::vector<DictionaryBreak>& out) const {
  const std::size_t n = word.size();
  if (n < 2) return;
  const std::size_t m = n + 2;
  const PatternTable& table = *table_;

  // Scores of the boundaries of the dotted word, and, where a tagged
  // pattern may have set them, which pattern and where it began.
  ScratchBuffer<PatternTable::Code, kInline + 2> raw(m);
  std::fill_n(raw.data(), m, 0);
  ScratchBuffer<std::uint32_t, kInline + 2> sources(table.hasTags() ? m : 0);
  ScratchBuffer<std::uint32_t, kInline + 2> starts(table.hasTags() ? m : 0);
  std::fill_n(sources.data(), sources.size(), 0);
  ScratchBuffer<std::uint32_t, kInline + 2> dotted(m);
  dotted[0] = dotted[m - 1] = table.dotSymbol();
  for (std::size_t i = 0; i < n; ++i) dotted[i + 1] = table.symbol(word[i]);

  bool slow = true;
  const auto* automaton =
      scored_.fetch_add(1, std::memory_order_relaxed) < HyphenatorParts::kWarmWords
          ? nullptr
          : automaton_
                .get([&table] {
                  return PatternAutomaton::compile(table, HyphenatorParts::kAutomatonCells);
                })
                .get();
  if (automaton != nullptr) {
    constexpr std::size_t kWindow = PatternAutomaton::kMaxWindow;
    ScratchBuffer<std::uint8_t, kInline + 2 + kWindow> window(m + kWindow);
    ScratchBuffer<char32_t, kInline> symbols(n);
    for (std::size_t i = 0; i < n; ++i) symbols[i] = dotted[i + 1];
    bool tagged = false;
    (void)automaton->score(
        std::u32string_view(symbols.data(), n),
        [](char32_t symbol) -> std::uint32_t { return symbol; }, window.data(), tagged);
    // A tagged pattern met: which pattern won where is worked out below.
    if (!tagged) {
      for (std::size_t j = 0; j < m; ++j) raw[j] = window[j + kWindow - 1];
      slow = false;
    }
  }
  if (slow) {
    if (table.hasTags()) {
      (void)table.links().scoreWithSources(dotted.span(), raw.span(), sources.span(),
                                           starts.span());
    } else {
      (void)table.score(dotted.span(), raw.span());
    }
  }

  const auto length = static_cast<std::int64_t>(n);
  for (std::size_t p = 1; p < n; ++p) {
    const std::size_t boundary = p + 1;  // in the dotted word
    if (raw[boundary] % 2 == 0) continue;
    if (table.hasTags() && sources[boundary] != 0) {
      if (const std::uint32_t tag = table.tag(sources[boundary]); tag != 0) {
        const SpellingChange& change = changes_[tag - 1];
        if (boundary - starts[boundary] == change.boundary) {
          // The changed letters, in the word (the dots are not in it).
          const auto from = static_cast<std::int64_t>(starts[boundary]) - 1 + change.start;
          const std::int64_t to = std::min<std::int64_t>(from + change.cut, length);
          if (from < 0 || from > to) continue;
          const std::int64_t before = from + static_cast<std::int64_t>(change.before.size());
          const std::int64_t after = static_cast<std::int64_t>(change.after.size()) + length - to;
          if (before >= left && after >= right) {
            out.push_back({offset + p, &change, offset + static_cast<std::size_t>(from)});
          }
          continue;
        }
      }
    }
    const auto at = static_cast<std::int64_t>(p);
    if (at >= left && length - at >= right) out.push_back({offset + p, nullptr, 0});
  }
}

std::vector<DictionaryBreak> DictionaryRules::breaks(std::u32string_view word, std::int64_t left,
                                                     std::int64_t right) const {
  std::vector<DictionaryBreak> found;
  if (levels.empty()) return found;
  const DictionaryLevel& last = *levels.back();
  if (levels.size() == 1) {
    last.breaks(word, left, right, 0, found);
  } else {
    // The joints of a compound word (every odd score of the first level,
    // though only those within the minimums are breaks), then its parts on
    // their own, as the C library does it: within a part a break keeps the
    // word's minimums too, and never leaves a single letter before the next
    // joint or the end.
    std::vector<DictionaryBreak> joints;
    levels.front()->breaks(word, 1, 1, 0, joints);
    if (joints.empty()) {
      last.breaks(word, left, right, 0, found);
    } else {
      const auto n = static_cast<std::int64_t>(word.size());
      const auto withinWord = [&](const DictionaryBreak& b) {
        const auto p = static_cast<std::int64_t>(b.position);
        return p >= left && n - p >= right;
      };
      std::vector<DictionaryBreak> inPart;
      std::size_t from = 0;
      for (std::size_t i = 0; i <= joints.size(); ++i) {
        const std::size_t to = i < joints.size() ? joints[i].position : word.size();
        const std::int64_t partLeft = i == 0 ? left : compoundLeftMin;
        const std::int64_t partRight =
            std::max<std::int64_t>(i == joints.size() ? right : compoundRightMin, 2);
        inPart.clear();
        last.breaks(word.substr(from, to - from), partLeft, partRight, from, inPart);
        std::copy_if(inPart.begin(), inPart.end(), std::back_inserter(found), withinWord);
        if (i < joints.size() && withinWord(joints[i])) found.push_back(joints[i]);
        from = to;
      }
    }
  }
  // No break beside a string the dictionary names (a hyphen already there,
  // an apostrophe).
  if (!noHyphen.empty()) {
    std::erase_if(found, [&](const DictionaryBreak& b) {
      for (const std::u32string& s : noHyphen) {
        if (s.empty()) continue;
        if (b.position >= s.size() && word.substr(b.position - s.size(), s.size()) == s) {
          return true;
        }
        if (word.substr(b.position, s.size()) == s) return true;
      }
      return false;
    });
  }
  return found;
}

}  // namespace morvane::detail
