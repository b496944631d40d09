#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/char_map.hpp"
#include "morvane/cxx20.hpp"
#include "morvane/exceptions.hpp"
#include "morvane/lazy.hpp"
#include "morvane/patterns.hpp"

namespace morvane {

class Hyphenator;

namespace detail {
struct HyphenatorState;
Hyphenator hyphenatorOf(std::shared_ptr<const HyphenatorState> state);
inline const HyphenatorState& stateOf(const Hyphenator& h);  // the engine's, inline there
}  // namespace detail

/// Everything needed to hyphenate the words of one language. Immutable and
/// cheap to copy; any number of threads may use one at once. The first three
/// fields may be given as producers that run once, on first use.
class Hyphenator {
 public:
  Hyphenator(Lazy<CharFunction> chars, Lazy<Patterns> patterns, Lazy<Exceptions> exceptions,
             std::int64_t leftMin, std::int64_t rightMin);

 private:
  explicit Hyphenator(std::shared_ptr<const detail::HyphenatorState> state);
  friend Hyphenator detail::hyphenatorOf(std::shared_ptr<const detail::HyphenatorState> state);
  friend inline const detail::HyphenatorState& detail::stateOf(const Hyphenator& h);

  std::shared_ptr<const detail::HyphenatorState> state_;
};

[[nodiscard]] const CharFunction& hyphenatorChars(const Hyphenator& h);
[[nodiscard]] const Patterns& hyphenatorPatterns(const Hyphenator& h);
[[nodiscard]] const Exceptions& hyphenatorExceptions(const Hyphenator& h);
[[nodiscard]] std::int64_t hyphenatorLeftMin(const Hyphenator& h);
[[nodiscard]] std::int64_t hyphenatorRightMin(const Hyphenator& h);

/// Whether some break of `h` may change a word's spelling (only an office
/// dictionary's non-standard patterns do: Hungarian "asszonnyal" breaks as
/// "asz-" / "szonnyal"). Where none can, `hyphenationBreaks` gives what
/// `hyphenationPoints` gives.
[[nodiscard]] bool breaksMayChangeSpelling(const Hyphenator& h);

/// `word` cut into the pieces between which a hyphen may go. Never empty; the
/// pieces joined give `word` back unchanged.
[[nodiscard]] std::vector<std::u32string> hyphenate(const Hyphenator& h, std::u32string_view word);
/// The same for UTF-8; throws `Error` naming the byte offset of invalid UTF-8.
[[nodiscard]] std::vector<std::string> hyphenate(const Hyphenator& h, std::string_view word);

/// The positions (in code points of `word`) after which a break is allowed,
/// ascending: exactly the piece boundaries of `hyphenate`.
[[nodiscard]] std::vector<std::size_t> hyphenationPoints(const Hyphenator& h,
                                                         std::u32string_view word);
/// Allocation-free form: writes the first `out.size()` positions into `out`
/// and returns how many there are in all (at most `word.size()`).
std::size_t hyphenationPoints(const Hyphenator& h, std::u32string_view word,
                              std::span<std::size_t> out);
/// Positions in code points of the UTF-8 `word`; throws `Error` on invalid UTF-8.
[[nodiscard]] std::vector<std::size_t> hyphenationPoints(const Hyphenator& h,
                                                         std::string_view word);

/// One place where a word may break, as a line breaker needs it: what ends
/// the line (before the hyphen) and what begins the next. At a standard
/// break they are the word cut after `position` characters; at a
/// non-standard one, which only office dictionaries have, the spelling
/// changes around the break (Hungarian "asszonnyal" at its first: "asz" and
/// "szonnyal").
template <class String>
struct BasicWordBreak {
  std::size_t position = 0;  // code points of the word before the break
  String before;
  String after;
  bool standard = true;  // false: the spelling changes
  friend bool operator==(const BasicWordBreak&, const BasicWordBreak&) = default;
};
using WordBreak = BasicWordBreak<std::u32string>;
using Utf8WordBreak = BasicWordBreak<std::string>;

/// Every break of `word`, standard and non-standard, ascending. `hyphenate`,
/// `hyphenationPoints` and `insertHyphens` give the standard ones only, whose
/// pieces join to the word.
[[nodiscard]] std::vector<WordBreak> hyphenationBreaks(const Hyphenator& h,
                                                       std::u32string_view word);
[[nodiscard]] std::vector<Utf8WordBreak> hyphenationBreaks(const Hyphenator& h,
                                                           std::string_view word);

/// `word` with `separator` at every break, the spelling changed at
/// non-standard ones as they change it ("asz-szony-nyal"): how the office
/// suites' C library shows a word's breaks.
[[nodiscard]] std::u32string spellBreaks(const Hyphenator& h, std::u32string_view word,
                                         std::u32string_view separator = U"-");
[[nodiscard]] std::string spellBreaks(const Hyphenator& h, std::string_view word,
                                      std::string_view separator = "-");

/// `h` with the user's exceptions (exception text: a word a line, hyphens at
/// its breaks) looked up before its own. Entries match every capitalisation
/// of the word the language's character map knows ("Ta-ble" applies to
/// "TABLE"), and an entry without hyphens keeps the word whole.
[[nodiscard]] Hyphenator withExceptions(const Hyphenator& h, std::u32string_view exceptionText);
[[nodiscard]] Hyphenator withExceptions(const Hyphenator& h, std::string_view exceptionText);
/// `h` with other minimums for the first and last piece.
[[nodiscard]] Hyphenator withMinimums(const Hyphenator& h, std::int64_t leftMin,
                                      std::int64_t rightMin);
/// `h`, leaving words of fewer than `length` characters whole.
[[nodiscard]] Hyphenator withMinWordLength(const Hyphenator& h, std::size_t length);

inline constexpr char32_t kSoftHyphen = U'\u00AD';

/// `word` with `separator` at every break.
[[nodiscard]] std::u32string insertHyphens(const Hyphenator& h, std::u32string_view word,
                                           std::u32string_view separator = U"\u00AD");
[[nodiscard]] std::string insertHyphens(const Hyphenator& h, std::string_view word,
                                        std::string_view separator = "\u00AD");

}  // namespace morvane
