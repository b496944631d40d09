// Office-suite hyphenation dictionaries (.dic).

#include <algorithm>
#include <charconv>
#include <unordered_set>

#include "common/utf8.hpp"
#include "engine/dictionary_rules.hpp"
#include "engine/hyphenator_parts.hpp"
#include "engine/pattern_builder.hpp"
#include "formats/charset.hpp"
#include "formats/file_text.hpp"
#include "morvane/files.hpp"
#include "text/unicode.hpp"

namespace morvane {

namespace {

using detail::fileError;

bool isBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\v' || c == U'\f'; }
bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

std::u32string_view trimmed(std::u32string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<std::int64_t> readNumber(std::u32string_view text) {
  const std::string ascii = detail::encodeUtf8(text);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size() || value < 0) return std::nullopt;
  return value;
}

/// One level of patterns as it is read.
struct LevelReader {
  detail::PatternBuilder builder;
  std::vector<detail::SpellingChange> changes;
  std::unordered_set<std::uint32_t> tagged;  // builder nodes with a change
  std::vector<std::u32string> lines;         // the patterns, for the trie
};

/// Reads a non-standard pattern's "/replacement,start,cut" (more fields
/// after those are ignored, as the C library ignores them); nothing when its
/// break is at no odd score (the C library then ignores the change).
std::optional<detail::SpellingChange> readChange(std::u32string_view letters,
                                                 const ScoreList& scores,
                                                 std::u32string_view spec,
                                                 const std::function<Error(std::string)>& fail) {
  std::vector<std::u32string_view> fields;
  for (std::size_t at = 0; at <= spec.size();) {
    const std::size_t comma = std::min(spec.find(U',', at), spec.size());
    fields.push_back(spec.substr(at, comma - at));
    at = comma + 1;
  }
  const auto start = fields.size() >= 3 ? readNumber(fields[1]) : std::nullopt;
  const auto cut = fields.size() >= 3 ? readNumber(fields[2]) : std::nullopt;
  if (!start || !cut || *start < 1) {
    throw fail("a non-standard pattern ends in /replacement,start,cut");
  }
  const std::u32string_view replacement = fields[0];
  const std::size_t hyphen = replacement.find(U'=');
  if (hyphen == std::u32string_view::npos || replacement.find(U'=', hyphen + 1) != replacement.npos) {
    throw fail("the replacement of a non-standard pattern has one \"=\"");
  }
  // Start counts the pattern's letters after a leading dot.
  const std::size_t from =
      static_cast<std::size_t>(*start) - 1 + (!letters.empty() && letters[0] == U'.' ? 1 : 0);
  const auto to = from + static_cast<std::size_t>(*cut);
  if (to > letters.size()) throw fail("the change of a non-standard pattern reaches past it");
  detail::SpellingChange change;
  change.before = replacement.substr(0, hyphen);
  change.after = replacement.substr(hyphen + 1);
  change.start = static_cast<std::uint32_t>(from);
  change.cut = static_cast<std::uint32_t>(*cut);
  for (std::size_t b = std::min(to, scores.size() - 1) + 1; b-- > from;) {
    if (scores[b] % 2 != 0) {
      change.boundary = static_cast<std::uint32_t>(b);
      return change;
    }
  }
  return std::nullopt;
}

void addPattern(LevelReader& level, std::u32string_view token,
                const std::function<Error(std::string)>& fail) {
  const std::size_t slash = token.find(U'/');
  const std::u32string_view pattern = token.substr(0, slash);
  // A digit scores the boundary where it stands; of digits in a row the
  // last counts (the C library reads "aktionärs11ausschüsse" so).
  std::u32string letters;
  ScoreList scores{0};
  for (const char32_t c : pattern) {
    if (isDigit(c)) {
      scores.back() = c - U'0';
    } else {
      letters.push_back(c);
      scores.push_back(0);
    }
  }
  if (letters.empty()) throw fail("a pattern needs a letter");
  std::optional<detail::SpellingChange> change;
  if (slash != std::u32string_view::npos) {
    change = readChange(letters, scores, token.substr(slash + 1), fail);
  }
  std::uint32_t node = 0;
  for (const char32_t c : letters) node = level.builder.child(node, c);
  // Of two lines with the same letters the later one counts, as in the C library.
  level.builder.setScores(node, scores, detail::PatternBuilder::OnConflict::kReplace);
  if (change) {
    level.changes.push_back(std::move(*change));
    level.builder.setTag(node, static_cast<std::uint32_t>(level.changes.size()));
    level.tagged.insert(node);
  } else if (level.tagged.erase(node) != 0) {
    level.builder.setTag(node, 0);
  }
  level.lines.emplace_back(pattern);
}

}  // namespace

Hyphenator readDictionary(std::string_view bytes, std::string_view name,
                          const LoadOptions& options) {
  const std::size_t firstEnd = std::min(bytes.find('\n'), bytes.size());
  std::string charset(bytes.substr(0, firstEnd));
  while (!charset.empty() && (charset.back() == '\r' || charset.back() == ' ')) charset.pop_back();
  if (charset.empty()) throw fileError(name, 1, "the first line names no character set");
  const std::size_t bodyStart = std::min(firstEnd + 1, bytes.size());
  std::u32string text;
  try {
    text = detail::decodeCharset(bytes.substr(bodyStart), charset, bodyStart);
  } catch (const detail::CharsetError& e) {
    throw fileError(name, detail::lineOf(bytes, bodyStart + e.offset), e.what());
  } catch (const Error& e) {
    throw fileError(name, 1, e.what());
  }

  std::vector<LevelReader> levels(1);
  std::int64_t left = 2;
  std::int64_t right = 2;
  std::optional<std::int64_t> compoundLeft;
  std::optional<std::int64_t> compoundRight;
  bool leftGiven = false;
  bool rightGiven = false;
  auto rules = std::make_shared<detail::DictionaryRules>();
  detail::forEachFileLine(std::u32string_view(text), 2, [&](std::u32string_view line,
                                                            std::size_t number) {
    const auto fail = [&](const std::string& what) { return fileError(name, number, what); };
    line = trimmed(line);
    if (line.empty() || line.front() == U'%' || line.front() == U'#') return;
    const std::size_t space =
        std::min(static_cast<std::size_t>(std::find_if(line.begin(), line.end(), isBlank) - line.begin()),
                 line.size());
    const std::u32string_view word = line.substr(0, space);
    const std::u32string_view rest = trimmed(line.substr(space));
    const auto setMinimum = [&](std::int64_t& minimum, const char* keyword) {
      const auto value = readNumber(rest);
      if (!value) throw fail(std::string(keyword) + " needs a number");
      minimum = *value;
    };
    if (word == U"LEFTHYPHENMIN") {
      setMinimum(left, "LEFTHYPHENMIN");
      leftGiven = true;
    } else if (word == U"RIGHTHYPHENMIN") {
      setMinimum(right, "RIGHTHYPHENMIN");
      rightGiven = true;
    } else if (word == U"COMPOUNDLEFTHYPHENMIN") {
      setMinimum(compoundLeft.emplace(), "COMPOUNDLEFTHYPHENMIN");
    } else if (word == U"COMPOUNDRIGHTHYPHENMIN") {
      setMinimum(compoundRight.emplace(), "COMPOUNDRIGHTHYPHENMIN");
    } else if (word == U"NOHYPHEN") {
      if (rest.empty()) throw fail("NOHYPHEN needs characters, separated by commas");
      for (std::size_t at = 0; at <= rest.size();) {
        const std::size_t comma = std::min(rest.find(U',', at), rest.size());
        if (comma > at) rules->noHyphen.emplace_back(rest.substr(at, comma - at));
        at = comma + 1;
      }
    } else if (word == U"NEXTLEVEL") {
      if (!rest.empty()) throw fail("text after NEXTLEVEL");
      if (levels.size() == 2) throw fail("NEXTLEVEL a second time");
      levels.emplace_back();
    } else {
      if (!rest.empty()) throw fail("more than one pattern on a line");
      addPattern(levels.back(), word, fail);
    }
  });

  // Without NEXTLEVEL the C library still splits words at hyphens and
  // apostrophes first, as if a first level held these patterns; the
  // minimums by those joints are then the word's, or 3 where the file gives
  // neither (with NEXTLEVEL they are 0 unless it does).
  if (levels.size() == 1) {
    rules->compoundLeftMin = compoundLeft.value_or(leftGiven ? left : 3);
    rules->compoundRightMin = compoundRight.value_or(rightGiven ? right : 3);
    LevelReader joints;
    for (const std::u32string_view joint : {U"1-1", U"1'1", U"1\u20191", U"1\u20131"}) {
      addPattern(joints, joint, [&name](const std::string& what) { return fileError(name, 0, what); });
    }
    levels.insert(levels.begin(), std::move(joints));
  }
  if (rules->compoundLeftMin == 0) rules->compoundLeftMin = compoundLeft.value_or(0);
  if (rules->compoundRightMin == 0) rules->compoundRightMin = compoundRight.value_or(0);
  std::u32string letters;
  for (const LevelReader& level : levels) {
    for (std::size_t i = 1; i < level.builder.nodes().size(); ++i) {
      if (level.builder.nodes()[i].letter != U'.') letters.push_back(level.builder.nodes()[i].letter);
    }
  }
  for (LevelReader& level : levels) {
    rules->levels.push_back(
        std::make_unique<const detail::DictionaryLevel>(level.builder, std::move(level.changes)));
  }
  const CharFunction chars{CharMap(detail::capitalsOf(letters))};
  // The trie of the last level's patterns, made only when asked for: the
  // lines last first, since there the later of two with the same letters
  // counts.
  const Lazy<Patterns> patterns([lines = std::move(levels.back().lines)] {
    std::u32string text;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) text += *line + U"\n";
    return parsePatterns(text);
  });
  auto parts = std::make_shared<detail::HyphenatorParts>(
      chars, patterns, Exceptions(), options.leftMin.value_or(left),
      options.rightMin.value_or(right),
      Lazy<std::shared_ptr<const detail::PatternTable>>(
          [patterns] { return detail::compiledTable(patterns.get()); }));
  parts->dictionary = std::move(rules);
  return detail::makeHyphenator(std::move(parts));
}

Hyphenator loadDictionary(const std::filesystem::path& file, const LoadOptions& options) {
  return readDictionary(detail::readFile(file.string()), file.string(), options);
}

}  // namespace morvane
