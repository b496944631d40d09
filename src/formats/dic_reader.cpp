// Office-suite hyphenation dictionaries (.dic).

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>
#include <unordered_set>

#include "common/ascii.hpp"
#include "common/utf8.hpp"
#include "engine/make_hyphenator.hpp"
#include "engine/office_rules.hpp"
#include "engine/pattern_builder.hpp"
#include "formats/capitals.hpp"
#include "formats/charset.hpp"
#include "formats/file_text.hpp"
#include "morvane/files.hpp"

namespace morvane {

namespace {

using detail::fileError;

bool isBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\v' || c == U'\f'; }

/// Where the first blank of `s` is, or its length.
std::size_t firstBlank(std::u32string_view s) {
  std::size_t at = 0;
  while (at < s.size() && !isBlank(s[at])) ++at;
  return at;
}

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
  // Reused from pattern to pattern.
  std::u32string letters;
  ScoreList scores;
};

/// Reads a non-standard pattern's "/replacement,start,cut" (more fields
/// after those are ignored, as the C library ignores them); nothing when its
/// break is at no odd score (the C library then ignores the change).
std::optional<detail::SpellingChange> readChange(std::u32string_view letters,
                                                 const ScoreList& scores, std::u32string_view spec,
                                                 const std::function<Error(std::string)>& fail) {
  const std::vector<std::u32string_view> fields = detail::fieldsOf(spec, U',');
  const auto start = fields.size() >= 3 ? readNumber(fields[1]) : std::nullopt;
  const auto cut = fields.size() >= 3 ? readNumber(fields[2]) : std::nullopt;
  if (!start || !cut || *start < 1) {
    throw fail("a non-standard pattern ends in /replacement,start,cut");
  }
  const std::u32string_view replacement = fields[0];
  const std::size_t hyphen = replacement.find(U'=');
  if (hyphen == std::u32string_view::npos ||
      replacement.find(U'=', hyphen + 1) != replacement.npos) {
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
  change.capitalBefore = detail::upperCase(change.before);
  change.capitalAfter = detail::upperCase(change.after);
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
  std::u32string& letters = level.letters;
  ScoreList& scores = level.scores;
  letters.clear();
  scores.assign(1, 0);
  for (const char32_t c : pattern) {
    if (detail::isAsciiDigit(c)) {
      scores.back() = c - U'0';
    } else {
      letters.push_back(c);
      scores.push_back(0);
    }
  }
  if (letters.empty()) throw fail("a pattern needs a letter");
  // The change goes straight into the level's list: most patterns have
  // none, and should not pay for making an empty one.
  bool changed = false;
  if (slash != std::u32string_view::npos) {
    if (auto change = readChange(letters, scores, token.substr(slash + 1), fail)) {
      level.changes.push_back(std::move(*change));
      changed = true;
    }
  }
  std::uint32_t node = 0;
  for (const char32_t c : letters) node = level.builder.child(node, c);
  // Of two lines with the same letters the later one counts, as in the C library.
  level.builder.setScores(node, scores, detail::PatternBuilder::OnConflict::kReplace);
  if (changed) {
    level.builder.setTag(node, static_cast<std::uint32_t>(level.changes.size()));
    level.tagged.insert(node);
  } else if (!level.tagged.empty() && level.tagged.erase(node) != 0) {
    level.builder.setTag(node, 0);
  }
}

/// The text of a dictionary's lines. The office suites' C library reads a
/// file in pieces of at most 99 bytes, so that the rest of a longer line is
/// read as lines of its own; `officeLines` reads them so too, else every
/// line is read whole.
class DictionaryLines {
 public:
  DictionaryLines(std::string_view bytes, std::string_view name, bool officeLines)
      : bytes_(bytes), name_(name), officeLines_(officeLines) {}

  /// Calls `onLine(text, number, continued, stray)` for each line or piece
  /// of one after the first line; `continued` marks a piece after a line's
  /// first, and `stray` holds the bytes it begins with that end a UTF-8
  /// character begun in the piece before.
  template <class OnLine>
  void read(OnLine onLine) {
    const std::size_t bom = bytes_.size() - detail::withoutByteOrderMark(bytes_).size();
    const std::size_t firstEnd = std::min(bytes_.find('\n'), bytes_.size());
    charset_ = std::string(bytes_.substr(bom, firstEnd - bom));
    while (!charset_.empty() && (charset_.back() == '\r' || charset_.back() == ' ')) {
      charset_.pop_back();
    }
    if (charset_.empty()) throw fileError(name_, 1, "the first line names no character set");
    utf8_ = charset_ == "UTF-8" || charset_ == "utf-8";
    const std::size_t bodyStart = std::min(firstEnd + 1, bytes_.size());
    if (!utf8_) readOneByteCharset();

    std::size_t number = 2;
    for (std::size_t start = bodyStart; start < bytes_.size(); ++number) {
      const std::size_t newline = bytes_.find('\n', start);
      const std::size_t end = newline == std::string_view::npos ? bytes_.size() : newline;
      if (!officeLines_ || end - start <= kOfficeLineBytes) {
        cut_ = false;
        onLine(decode(start, end, number), number, false, std::string_view());
      } else {
        cut_ = true;
        for (std::size_t piece = start; piece < end; piece += kOfficeLineBytes) {
          const std::size_t pieceEnd = std::min(piece + kOfficeLineBytes, end);
          std::size_t text = piece;
          while (piece > start && utf8_ && text < pieceEnd && isContinuationByte(bytes_[text])) {
            ++text;
          }
          onLine(decode(text, pieceEnd, number), number, piece > start,
                 bytes_.substr(piece, text - piece));
        }
      }
      start = end + 1;
    }
  }

  [[nodiscard]] bool utf8() const { return utf8_; }
  /// Whether the line being read is longer than the C library reads at once.
  [[nodiscard]] bool cut() const { return cut_; }

 private:
  static constexpr std::size_t kOfficeLineBytes = 99;

  static bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
  }

  /// A character set of one byte a character, as the C library reads
  /// every other: the character of each byte, found once. A byte that is
  /// no character in it is an error where it is first met.
  void readOneByteCharset() {
    constexpr char32_t kNotText = 0xFFFFFFFF;
    oneByteTable_.fill(kNotText);
    // All bytes in one run, begun again after each that is not text.
    std::string all(256, '\0');
    for (unsigned byte = 0; byte < 256; ++byte) all[byte] = static_cast<char>(byte);
    try {
      for (std::size_t from = 0; from < all.size();) {
        try {
          const std::u32string text =
              detail::decodeCharset(std::string_view(all).substr(from), charset_);
          if (text.size() == all.size() - from)
            std::copy(text.begin(), text.end(), &oneByteTable_[from]);
          break;
        } catch (const detail::CharsetError& e) {
          // Those before it are characters on their own only if each
          // stood for one.
          const std::u32string before =
              detail::decodeCharset(std::string_view(all).substr(from, e.offset), charset_);
          if (before.size() == e.offset)
            std::copy(before.begin(), before.end(), &oneByteTable_[from]);
          from += e.offset + 1;
        }
      }
    } catch (const Error& e) {
      throw fileError(name_, 1, e.what());
    }
    // A dictionary's character set reads ASCII as ASCII, a byte a character,
    // whatever came before: not one of more bytes a character (UTF-16), nor
    // one whose escapes or shifts change what the bytes after them mean
    // (ISO-2022-JP, UTF-7, HZ).
    // Digits and Latin letters first, the usual sign of more bytes.
    if (oneByteTable_['a'] != U'a' || oneByteTable_['1'] != U'1') {
      throw fileError(name_, 1,
                      "the character set \"" + detail::shownText(charset_) +
                          "\" has characters of more than one byte; a dictionary's is "
                          "UTF-8 or one of one byte a character");
    }
    bool oneByte = true;
    for (char32_t c = 0; c < 0x80; ++c) oneByte = oneByte && oneByteTable_[c] == c;
    for (const std::string_view shifted :
         {"\x1B$B\x30\x21\x1B(B", "\x1B$)C\x0E\x30\x21\x0F", "+AGE-", "~{0!~}"}) {
      try {
        const std::u32string read = detail::decodeCharset(shifted, charset_);
        oneByte = oneByte && std::equal(read.begin(), read.end(), shifted.begin(), shifted.end(),
                                        [](char32_t a, char b) { return a == char32_t(b); });
      } catch (const Error&) {
        // Not text in it at all: nothing shifts.
      }
    }
    if (!oneByte) {
      throw fileError(name_, 1,
                      "the character set \"" + detail::shownText(charset_) +
                          "\" shifts what bytes mean after its escapes; a dictionary's is "
                          "UTF-8 or one of one byte a character");
    }
  }

  /// Bytes [from, to) of a line as text, without the line's carriage
  /// return; a UTF-8 character the end cuts is left out. The text lasts
  /// until the next call.
  std::u32string_view decode(std::size_t from, std::size_t to, std::size_t number) {
    if (to > from && bytes_[to - 1] == '\r') --to;
    // Never more characters than bytes: sized once, written in place.
    line_.resize(to - from);
    char32_t* const out = line_.data();
    if (!utf8_) {
      for (std::size_t at = from; at < to; ++at) {
        const char32_t c = oneByteTable_[static_cast<unsigned char>(bytes_[at])];
        if (c == 0xFFFFFFFF) {
          throw fileError(
              name_, number,
              "invalid " + detail::shownText(charset_) + " at byte offset " + std::to_string(at));
        }
        if (c == 0) throw nul(number, at);
        out[at - from] = c;
      }
      return line_;
    }
    std::string_view piece = bytes_.substr(from, to - from);
    if (officeLines_) {
      std::size_t cut = piece.size();
      while (cut > 0 && isContinuationByte(piece[cut - 1])) --cut;
      if (cut > 0 && detail::startsTruncatedUtf8(piece.substr(cut - 1)))
        piece = piece.substr(0, cut - 1);
    }
    std::size_t count = 0;
    for (std::size_t at = 0; at < piece.size();) {
      char32_t c = static_cast<unsigned char>(piece[at]);
      const std::size_t length = c < 0x80 ? 1 : detail::decodeUtf8Char(piece.substr(at), c);
      if (length == 0) {
        throw fileError(name_, number, detail::invalidUtf8Message(from + at));
      }
      if (c == 0) throw nul(number, from + at);
      out[count++] = c;
      at += length;
    }
    return std::u32string_view(line_).substr(0, count);
  }

  [[nodiscard]] Error nul(std::size_t number, std::size_t at) const {
    return fileError(name_, number,
                     "a NUL at byte offset " + std::to_string(at) + ", which no letter is");
  }

  std::string_view bytes_;
  std::string_view name_;
  bool officeLines_;
  std::string charset_;
  bool utf8_ = false;
  bool cut_ = false;
  std::array<char32_t, 256> oneByteTable_{};
  std::u32string line_;  // the line decoded last
};

}  // namespace

Hyphenator readDictionary(std::string_view bytes, std::string_view name,
                          const LoadOptions& options) {
  std::vector<LevelReader> levels(1);
  // A pattern line of a few letters adds about one node for every three
  // bytes of the file.
  levels.front().builder.reserve(bytes.size() / 3);
  // The C library takes a minimum of 0 as its default, 2.
  std::int64_t left = 0;
  std::int64_t right = 0;
  std::int64_t compoundLeft = 0;
  std::int64_t compoundRight = 0;
  std::vector<std::u32string> noHyphen;
  DictionaryLines lines(bytes, name, options.officeLines);
  // Pieces of long lines that begin inside a character, with the level
  // they are in.
  std::vector<std::pair<std::string, std::u32string>> strayPieces;
  std::vector<std::size_t> strayLevels;
  lines.read([&](std::u32string_view line, std::size_t number, bool continued,
                 std::string_view stray) {
    const auto fail = [&](const std::string& what) {
      if (!lines.cut()) return fileError(name, number, what);
      return fileError(name, number,
                       what +
                           " (the line is read in pieces of 99 bytes, as the office "
                           "suites' C library reads a longer one)");
    };
    if (continued) {
      // The rest of a long line, read as the C library reads it: the
      // pattern its first word makes, if it makes one.
      if (stray.empty() &&
          (line.empty() || isBlank(line.front()) || line.front() == U'%' || line.front() == U'#')) {
        return;
      }
      const std::u32string_view word = line.substr(0, firstBlank(line));
      if (word.find(U'/') != std::u32string_view::npos) return;
      if (!stray.empty()) {
        strayPieces.emplace_back(stray, word);
        strayLevels.push_back(levels.size() - 1);
      } else if (std::any_of(word.begin(), word.end(),
                             [](char32_t c) { return !detail::isAsciiDigit(c); })) {
        addPattern(levels.back(), word, fail);
      }
      return;
    }
    line = trimmed(line);
    if (line.empty() || line.front() == U'%' || line.front() == U'#') return;
    const std::size_t space = firstBlank(line);
    const std::u32string_view word = line.substr(0, space);
    const std::u32string_view rest = trimmed(line.substr(space));
    const auto setMinimum = [&](std::int64_t& minimum, const char* keyword) {
      const auto value = readNumber(rest);
      if (!value) throw fail(std::string(keyword) + " needs a number");
      minimum = *value;
    };
    // Keywords are in capitals, patterns seldom: most lines need no compare.
    const bool capital = word.front() >= U'A' && word.front() <= U'Z';
    if (capital && word == U"LEFTHYPHENMIN") {
      setMinimum(left, "LEFTHYPHENMIN");
    } else if (capital && word == U"RIGHTHYPHENMIN") {
      setMinimum(right, "RIGHTHYPHENMIN");
    } else if (capital && word == U"COMPOUNDLEFTHYPHENMIN") {
      setMinimum(compoundLeft, "COMPOUNDLEFTHYPHENMIN");
    } else if (capital && word == U"COMPOUNDRIGHTHYPHENMIN") {
      setMinimum(compoundRight, "COMPOUNDRIGHTHYPHENMIN");
    } else if (capital && word == U"NOHYPHEN") {
      if (rest.empty()) throw fail("NOHYPHEN needs characters, separated by commas");
      for (const std::u32string_view string : detail::fieldsOf(rest, U',')) {
        if (!string.empty()) noHyphen.emplace_back(string);
      }
    } else if (capital && word == U"NEXTLEVEL") {
      if (!rest.empty()) throw fail("text after NEXTLEVEL");
      if (levels.size() == 2) throw fail("NEXTLEVEL a second time");
      levels.emplace_back();
      levels.back().builder.reserve(levels.front().builder.nodes().capacity());
    } else {
      if (!rest.empty()) throw fail("more than one pattern on a line");
      addPattern(levels.back(), word, fail);
    }
  });

  // The C library matches bytes, so a piece beginning with the last bytes of
  // a character is a pattern after every character that ends so: one for
  // each byte that can lead them.
  for (std::size_t i = 0; i < strayPieces.size(); ++i) {
    const auto& [stray, word] = strayPieces[i];
    for (unsigned lead = 0xC2; lead <= 0xF4; ++lead) {
      std::string bytes(1, static_cast<char>(lead));
      bytes += stray;
      char32_t letter = 0;
      if (detail::decodeUtf8Char(bytes, letter) != bytes.size()) continue;
      addPattern(levels[strayLevels[i]], std::u32string(1, letter) + word,
                 [&name](const std::string& what) { return fileError(name, 1, what); });
    }
  }

  // Without NEXTLEVEL the C library still splits words at hyphens and
  // apostrophes first, as if a first level held these patterns; the
  // minimums by those joints are then the file's compound ones, else its
  // word ones, else 3.
  if (levels.size() == 1) {
    if (compoundLeft == 0) compoundLeft = left != 0 ? left : 3;
    if (compoundRight == 0) compoundRight = right != 0 ? right : 3;
    LevelReader joints;
    std::vector<std::u32string_view> jointPatterns{U"1-1", U"1'1"};
    // Where the file is UTF-8, the C library's byte patterns for these
    // match too.
    if (lines.utf8()) jointPatterns.insert(jointPatterns.end(), {U"1\u20191", U"1\u20131"});
    for (const std::u32string_view joint : jointPatterns) {
      addPattern(joints, joint,
                 [&name](const std::string& what) { return fileError(name, 1, what); });
    }
    levels.insert(levels.begin(), std::move(joints));
  }
  // Capitals map to the letters of the patterns.
  std::u32string letters;
  std::vector<bool> seen;
  for (const LevelReader& level : levels) {
    for (const auto& node : level.builder.nodes()) {
      const char32_t c = node.letter;
      if (c == U'.' || c == 0) continue;
      if (c < 0x10000) {
        if (c >= seen.size()) seen.resize(std::max<std::size_t>(c + 1, seen.size() * 2));
        if (seen[c]) continue;
        seen[c] = true;
      }
      letters.push_back(c);
    }
  }
  // The levels are compiled on first use; the hyphen level's builder also
  // makes the trie of its patterns, when that is asked for.
  const auto lazyLevel = [](std::shared_ptr<const detail::PatternBuilder> builder,
                            std::vector<detail::SpellingChange> changes) {
    return detail::OfficeRules::LazyLevel(
        [builder = std::move(builder), changes = std::move(changes)] {
          return std::make_shared<const detail::OfficeLevel>(*builder, changes);
        });
  };
  auto hyphenBuilder =
      std::make_shared<const detail::PatternBuilder>(std::move(levels.back().builder));
  auto rules = std::make_shared<detail::OfficeRules>(
      lazyLevel(std::make_shared<const detail::PatternBuilder>(std::move(levels.front().builder)),
                std::move(levels.front().changes)),
      lazyLevel(hyphenBuilder, std::move(levels.back().changes)));
  rules->compoundLeftMin = compoundLeft;
  rules->compoundRightMin = compoundRight;
  rules->noHyphen = std::move(noHyphen);
  const CharMap capitals(detail::capitalsOf(letters));
  const auto capitalPairs = capitals.pairs();
  if (std::all_of(capitalPairs.begin(), capitalPairs.end(),
                  [](const auto& pair) { return pair.first < 0x10000; })) {
    char32_t highest = 0;
    for (const auto& pair : capitalPairs) highest = std::max(highest, pair.first);
    rules->folded.resize(capitalPairs.empty() ? 0 : highest + 1);
    std::iota(rules->folded.begin(), rules->folded.end(), U'\0');
    for (const auto& [from, to] : capitalPairs) rules->folded[from] = to;
  }
  const CharFunction chars{capitals};
  // The trie of the last level's patterns, made only when asked for.
  const Lazy<Patterns> patterns([hyphenBuilder] { return detail::freeze(*hyphenBuilder); });
  return detail::hyphenatorOfOfficeRules(chars, patterns, std::move(rules),
                                         options.leftMin.value_or(left != 0 ? left : 2),
                                         options.rightMin.value_or(right != 0 ? right : 2));
}

Hyphenator loadDictionary(const std::filesystem::path& file, const LoadOptions& options) {
  const detail::LargeVector<char> bytes = detail::readFile(file.string());
  return readDictionary(std::string_view(bytes.data(), bytes.size()), file.string(), options);
}

}  // namespace morvane
