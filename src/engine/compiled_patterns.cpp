#include "engine/compiled_patterns.hpp"

#include <algorithm>
#include <limits>
#include <utility>

namespace morvane::detail {

namespace {

// Code points below this have their symbols in the array: every letter of
// a built-in language does (the highest is U+2DDE).
constexpr char32_t kDenseLimit = 0x10000;

}  // namespace

CompiledPatterns::CompiledPatterns(std::shared_ptr<const PatternTable> table, CharFunction chars,
                                   std::size_t automatonCells)
    : table_(std::move(table)), chars_(std::move(chars)), automatonCells_(automatonCells) {
  const PatternTable& t = *table_;
  const CharMap* map = chars_.table();
  // A character function that is no table is applied before each look-up.
  viaFunction_ = map == nullptr && !chars_.isIdentity();
  if (viaFunction_) return;
  // c → symbol(chars(c)): the letters themselves, then every mapped
  // character (to no symbol when it maps outside the patterns); later
  // pairs win.
  std::vector<std::pair<char32_t, char32_t>> pairs = t.symbols().pairs();
  if (map != nullptr) {
    for (const auto& [from, to] : map->pairs()) pairs.emplace_back(from, t.symbol(to));
  }
  if (t.alphabetSize() > std::numeric_limits<std::uint16_t>::max()) {
    beyond_ = CharMap(pairs);
    return;
  }
  std::vector<std::pair<char32_t, char32_t>> rare;
  for (const auto& [from, symbol] : pairs) {
    if (from >= kDenseLimit) {
      rare.emplace_back(from, symbol);
      continue;
    }
    if (from >= dense_.size()) dense_.resize(from + 1, PatternTable::kNoSymbol);
    dense_[from] = static_cast<std::uint16_t>(symbol);
  }
  beyond_ = CharMap(rare);
  allDense_ = rare.empty();
}

std::uint32_t CompiledPatterns::symbolBeyondArray(char32_t c) const {
  if (viaFunction_) return table_->symbol(chars_(c));
  if (allDense_) return PatternTable::kNoSymbol;
  return beyond_.find(c).value_or(PatternTable::kNoSymbol);
}

bool CompiledPatterns::hasLetterIn(std::u32string_view word) const {
  if (table_->nodeCount() == 1) return false;
  if (!allDense_) return true;
  const DenseSymbols array{dense_.data(), dense_.size()};
  std::uint32_t any = PatternTable::kNoSymbol;
  for (const char32_t c : word) any |= array(c);
  return any != PatternTable::kNoSymbol;
}

bool CompiledPatterns::dottedSymbols(std::u32string_view word,
                                     std::span<std::uint32_t> dotted) const {
  dotted[0] = dotted[word.size() + 1] = table_->dotSymbol();
  std::uint32_t any = PatternTable::kNoSymbol;
  for (std::size_t i = 0; i < word.size(); ++i) {
    dotted[i + 1] = symbolOf(word[i]);
    any |= dotted[i + 1];
  }
  return any != PatternTable::kNoSymbol;
}

const PatternAutomaton* CompiledPatterns::warmUp() const {
  // Counted only until the automaton exists, so that threads scoring words
  // share no writes after that.
  if (scored_.fetch_add(1, std::memory_order_relaxed) < kWarmWords) return nullptr;
  return automaton_.get([this] { return PatternAutomaton::compile(*table_, automatonCells_); })
      .get();
}

}  // namespace morvane::detail
