// Office-suite dictionaries as Pyphen reads them (see the header for its
// rules, and the guide for where they differ from the office suites').

#include "formats/pyphen_dictionary.hpp"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "common/ascii.hpp"
#include "engine/make_hyphenator.hpp"
#include "engine/pattern_builder.hpp"
#include "engine/pattern_table.hpp"
#include "formats/charset.hpp"
#include "formats/file_text.hpp"
#include "morvane/error.hpp"

namespace morvane::detail {

namespace {

/// Python's white space (str.isspace), which Pyphen trims lines of.
bool isPythonSpace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x20) || c == 0x85 || c == 0xA0 ||
         c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

template <class Char>
std::basic_string_view<Char> stripped(std::basic_string_view<Char> s) {
  while (!s.empty() && isPythonSpace(static_cast<char32_t>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && isPythonSpace(static_cast<char32_t>(s.back()))) s.remove_suffix(1);
  return s;
}

/// A whole number as Python's int() reads one: white space around it, a
/// sign, digits with single underscores between them.
std::optional<std::int64_t> pythonInt(std::u32string_view text) {
  text = stripped(text);
  bool negative = false;
  if (!text.empty() && (text.front() == U'+' || text.front() == U'-')) {
    negative = text.front() == U'-';
    text.remove_prefix(1);
  }
  if (text.empty() || !isAsciiDigit(text.front()) || !isAsciiDigit(text.back()))
    return std::nullopt;
  std::int64_t value = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'_' && isAsciiDigit(text[i - 1]) && isAsciiDigit(text[i + 1])) continue;
    if (!isAsciiDigit(text[i])) return std::nullopt;
    if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return std::nullopt;
    value = value * 10 + (text[i] - U'0');
  }
  return negative ? -value : value;
}

constexpr std::u32string_view kSkipped[] = {U"%",
                                            U"#",
                                            U"LEFTHYPHENMIN",
                                            U"RIGHTHYPHENMIN",
                                            U"COMPOUNDLEFTHYPHENMIN",
                                            U"COMPOUNDRIGHTHYPHENMIN"};

}  // namespace

struct PyphenDictionary::Parts {
  std::shared_ptr<const PatternBuilder> builder;
  Lazy<Patterns> patterns;
  Lazy<std::shared_ptr<const PatternTable>> table;
};

PyphenDictionary::PyphenDictionary(std::string_view bytes, std::string_view name) {
  const std::string_view body = withoutByteOrderMark(bytes);
  const std::size_t firstEnd = std::min(body.find('\n'), body.size());
  const std::string encoding(stripped(body.substr(0, firstEnd)));
  if (encoding.empty()) throw fileError(name, 1, "the first line names no encoding");
  const std::size_t offset = bytes.size() - body.size() + std::min(firstEnd + 1, body.size());
  std::u32string text;
  try {
    text = decodeCharset(bytes.substr(offset), encoding, offset);
  } catch (const CharsetError& e) {
    throw fileError(name, lineOf(bytes, offset + e.offset), e.what());
  } catch (const Error& e) {
    throw fileError(name, 1, e.what());
  }

  auto builder = std::make_shared<PatternBuilder>();
  builder->reserve(text.size() / 3);
  // The pattern of each letters, by the node they end at, and its change.
  std::unordered_map<std::uint32_t, std::uint32_t> tagOf;
  std::u32string letters;
  ScoreList values;
  std::size_t number = 1;
  for (std::size_t start = 0; start < text.size(); ++number) {
    const std::size_t end = std::min(text.find(U'\n', start), text.size());
    const std::u32string_view line = stripped(std::u32string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() ||
        std::any_of(std::begin(kSkipped), std::end(kSkipped),
                    [line](std::u32string_view s) { return line.starts_with(s); })) {
      continue;
    }
    std::u32string_view pattern = line;
    std::optional<Change> change;
    const std::size_t slash = line.find(U'/');
    if (slash != std::u32string_view::npos && line.find(U'=') != std::u32string_view::npos) {
      pattern = line.substr(0, slash);
      const std::vector<std::u32string_view> fields = fieldsOf(line.substr(slash + 1), U',');
      const auto first = fields.size() >= 3 ? pythonInt(fields[1]) : std::nullopt;
      const auto cut = fields.size() >= 3 ? pythonInt(fields[2]) : std::nullopt;
      if (!first || !cut) {
        throw fileError(name, number + 1,
                        "a spelling change is /replacement,start,cut, start and cut whole numbers");
      }
      change = Change{std::u32string(fields[0]), *first, *cut};
    }
    // Pairs of an optional digit and an optional letter, to the empty pair
    // at the end: in a run of digits each scores the next boundary.
    letters.clear();
    values.clear();
    for (std::size_t at = 0;;) {
      Score value = 0;
      bool any = false;
      if (at < pattern.size() && isAsciiDigit(pattern[at])) {
        value = pattern[at++] - U'0';
        any = true;
      }
      if (at < pattern.size() && !isAsciiDigit(pattern[at])) {
        letters.push_back(pattern[at++]);
        any = true;
      }
      values.push_back(value);
      if (!any) break;
    }
    // A line that scores nothing, or that has no letters (which Pyphen
    // never looks up), adds no pattern.
    if (letters.empty() || *std::max_element(values.begin(), values.end()) == 0) continue;
    std::uint32_t node = 0;
    for (const char32_t c : letters) node = builder->child(node, c);
    builder->setScores(node, values, PatternBuilder::OnConflict::kReplace);
    if (change) {
      // Start counts the letters after a dot the pattern begins with (as
      // written: "9.ab" does not begin with one).
      change->index = change->index - 1 + (pattern.starts_with(U'.') ? 1 : 0);
      changes_.push_back(std::move(*change));
      tagOf[node] = static_cast<std::uint32_t>(changes_.size());
    } else {
      tagOf.erase(node);
    }
  }
  for (const auto& [node, tag] : tagOf) builder->setTag(node, tag);
  auto parts =
      std::make_shared<Parts>(Parts{builder, Lazy<Patterns>([builder] { return freeze(*builder); }),
                                    Lazy<std::shared_ptr<const PatternTable>>([builder] {
                                      return std::make_shared<const PatternTable>(*builder);
                                    })});
  parts_ = std::move(parts);
}

Hyphenator PyphenDictionary::hyphenator(std::int64_t left, std::int64_t right) const {
  return hyphenatorOfTable(CharFunction(), parts_->patterns, Exceptions(), left, right,
                           parts_->table);
}

std::vector<std::optional<PyphenDictionary::Change>> PyphenDictionary::changesAt(
    std::u32string_view word, std::span<const std::size_t> positions) const {
  std::vector<std::optional<Change>> out(positions.size());
  if (changes_.empty()) return out;
  const PatternTable& table = *parts_->table.get();
  // The winner at each boundary of ".word.": (score, start, length, node).
  struct Best {
    Score value = -1;
    std::size_t start = 0;
    std::size_t length = 0;
    std::uint32_t node = 0;
  };
  const std::size_t m = word.size() + 2;
  std::vector<std::uint32_t> dotted(m);
  dotted.front() = dotted.back() = table.dotSymbol();
  for (std::size_t i = 0; i < word.size(); ++i) dotted[i + 1] = table.symbol(word[i]);
  std::vector<Best> best(m + 1);
  const auto consider = [&](std::uint32_t node, std::size_t start, std::size_t length) {
    table.forEachScore(node, [&](std::uint32_t k, Score value) {
      const std::size_t boundary = start + k;
      if (boundary > m) return;
      Best& b = best[boundary];
      if (value > b.value ||
          (value == b.value && (start > b.start || (start == b.start && length > b.length)))) {
        b = {value, start, length, node};
      }
    });
  };
  for (std::size_t start = 0; start < m; ++start) {
    std::uint32_t node = 0;
    consider(node, start, 0);
    for (std::size_t j = start; j < m; ++j) {
      node = table.child(node, dotted[j]);
      if (node == 0) break;
      consider(node, start, j - start + 1);
    }
  }
  for (std::size_t i = 0; i < positions.size(); ++i) {
    const std::size_t boundary = positions[i] + 1;
    if (boundary > m) continue;
    const Best& b = best[boundary];
    if (b.value < 0) continue;
    if (const std::uint32_t tag = table.tag(b.node); tag != 0) {
      Change change = changes_[tag - 1];
      change.index -= static_cast<std::int64_t>(boundary - b.start);
      out[i] = std::move(change);
    }
  }
  return out;
}

PyphenDictionary loadPyphenDictionary(const std::string& path) {
  const LargeVector<char> bytes = readFile(path);
  return {std::string_view(bytes.data(), bytes.size()), path};
}

}  // namespace morvane::detail
