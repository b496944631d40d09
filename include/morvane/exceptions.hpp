#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "morvane/cxx20.hpp"
#include "morvane/scores.hpp"

namespace morvane {

/// Hashes whole words; transparent, so a `std::u32string_view` looks up
/// without building a string.
struct WordHash {
  using is_transparent = void;
  std::size_t operator()(std::u32string_view word) const noexcept {
    return std::hash<std::u32string_view>{}(word);
  }
};

/// The entries of an exception table: word → score list.
using ExceptionMap = std::unordered_map<std::u32string, ScoreList, WordHash, std::equal_to<>>;

/// An immutable dictionary of words whose breaks are given outright, keyed by
/// the whole (normalised) word. Copies share the table.
class Exceptions {
 public:
  /// The empty table, the identity of `combine`.
  Exceptions();
  explicit Exceptions(ExceptionMap entries);

  [[nodiscard]] const ExceptionMap& entries() const;
  [[nodiscard]] std::size_t size() const { return entries().size(); }
  [[nodiscard]] bool empty() const { return entries().empty(); }

  friend bool operator==(const Exceptions& a, const Exceptions& b);

  struct Table;  // defined by the implementation

 private:
  std::shared_ptr<const Table> table_;
};

/// Scores of one line written with hyphens: 1 where a hyphen stands before a
/// letter, 0 elsewhere, plus a final entry ("ta-ble" gives 0,0,1,0,0,0).
[[nodiscard]] ScoreList scoreException(std::u32string_view line);

/// The pairwise minimum over the common length of `a` and `b`.
[[nodiscard]] ScoreList zipMin(std::span<const Score> a, std::span<const Score> b);

/// `table` with the entry of `line` added; an existing key keeps only the
/// breaks both allow (`zipMin`).
[[nodiscard]] Exceptions addException(std::u32string_view line, const Exceptions& table);

/// A table from exception text, one word per line, hyphens at the breaks.
[[nodiscard]] Exceptions parseExceptions(std::u32string_view text);
[[nodiscard]] Exceptions parseExceptions(std::string_view utf8Text);

/// The stored scores of exactly `word`, or nothing.
[[nodiscard]] std::optional<ScoreList> lookupException(std::u32string_view word,
                                                       const Exceptions& table);
[[nodiscard]] std::optional<ScoreList> lookupException(std::string_view utf8Word,
                                                       const Exceptions& table);

/// The union; a key in both gets the `zipMin` of the two score lists.
[[nodiscard]] Exceptions combine(const Exceptions& a, const Exceptions& b);
[[nodiscard]] inline Exceptions operator|(const Exceptions& a, const Exceptions& b) {
  return combine(a, b);
}
/// All tables combined; the empty list gives the empty table.
[[nodiscard]] Exceptions combine(std::span<const Exceptions> tables);
/// All tables combined; throws `Error` for an empty list.
[[nodiscard]] Exceptions sconcat(std::span<const Exceptions> tables);
/// `table` combined with itself `count` times; throws `Error` for a count below 1.
[[nodiscard]] Exceptions stimes(long long count, const Exceptions& table);

/// "Exceptions (fromList [(\"key\",[scores]),…])", parenthesised when
/// `precedence` > 10, followed by `rest`. Pair order follows the hash table.
[[nodiscard]] std::string showsPrec(int precedence, const Exceptions& table,
                                    std::string_view rest = {});
[[nodiscard]] std::string show(const Exceptions& table);
[[nodiscard]] std::string showList(std::span<const Exceptions> tables, std::string_view rest = {});
std::ostream& operator<<(std::ostream& out, const Exceptions& table);

}  // namespace morvane
