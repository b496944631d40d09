#include "morvane/exceptions.hpp"

#include <algorithm>
#include <array>
#include <ostream>

#include "common/show_text.hpp"
#include "common/utf8.hpp"
#include "engine/pattern_builder.hpp"
#include "morvane/error.hpp"

namespace morvane {

struct Exceptions::Table {
  explicit Table(ExceptionMap e) : entries(std::move(e)) {}
  ExceptionMap entries;
};

namespace {

const std::shared_ptr<const Exceptions::Table>& emptyTable() {
  static const auto empty = std::make_shared<const Exceptions::Table>(ExceptionMap{});
  return empty;
}

constexpr char32_t kHyphen = U'-';

void addEntry(ExceptionMap& entries, std::u32string_view line) {
  std::u32string key;
  key.reserve(line.size());
  for (const char32_t c : line) {
    if (c != kHyphen) key.push_back(c);
  }
  ScoreList scores = scoreException(line);
  auto [at, added] = entries.try_emplace(std::move(key), std::move(scores));
  if (!added) at->second = zipMin(scores, at->second);
}

}  // namespace

Exceptions::Exceptions() : table_(emptyTable()) {}

Exceptions::Exceptions(ExceptionMap entries)
    : table_(std::make_shared<const Table>(std::move(entries))) {}

const ExceptionMap& Exceptions::entries() const { return table_->entries; }

bool operator==(const Exceptions& a, const Exceptions& b) {
  return a.table_ == b.table_ || a.entries() == b.entries();
}

ScoreList scoreException(std::u32string_view line) {
  ScoreList scores;
  scores.reserve(line.size() + 1);
  std::size_t at = 0;
  while (true) {
    if (at == line.size()) {
      scores.push_back(0);
      break;
    }
    if (line[at] != kHyphen) {
      scores.push_back(0);
      ++at;
      continue;
    }
    scores.push_back(1);
    if (at + 1 == line.size()) break;
    at += 2;  // the hyphen takes the character after it along
  }
  return scores;
}

ScoreList zipMin(std::span<const Score> a, std::span<const Score> b) {
  const std::size_t length = std::min(a.size(), b.size());
  ScoreList result(length);
  for (std::size_t i = 0; i < length; ++i) result[i] = std::min(a[i], b[i]);
  return result;
}

Exceptions addException(std::u32string_view line, const Exceptions& table) {
  ExceptionMap entries = table.entries();
  addEntry(entries, line);
  return Exceptions(std::move(entries));
}

Exceptions parseExceptions(std::u32string_view text) {
  // zipMin is commutative and associative, so file order gives the same table
  // as adding the lines from last to first.
  ExceptionMap entries;
  detail::forEachLine(text, [&entries](std::u32string_view line) { addEntry(entries, line); });
  return Exceptions(std::move(entries));
}

Exceptions parseExceptions(std::string_view utf8Text) {
  return parseExceptions(detail::decodeUtf8(utf8Text));
}

std::optional<ScoreList> lookupException(std::u32string_view word, const Exceptions& table) {
  const auto at = table.entries().find(word);
  if (at == table.entries().end()) return std::nullopt;
  return at->second;
}

std::optional<ScoreList> lookupException(std::string_view utf8Word, const Exceptions& table) {
  return lookupException(detail::decodeUtf8(utf8Word), table);
}

Exceptions combine(const Exceptions& a, const Exceptions& b) {
  if (b.empty() || a == b) return a;  // combine is idempotent
  if (a.empty()) return b;
  ExceptionMap entries = b.entries();
  for (const auto& [key, scores] : a.entries()) {
    auto [at, added] = entries.try_emplace(key, scores);
    if (!added) at->second = zipMin(scores, at->second);
  }
  return Exceptions(std::move(entries));
}

Exceptions combine(std::span<const Exceptions> tables) {
  if (tables.size() == 1) return tables.front();
  // zipMin is associative and commutative: merge them all into one table
  // rather than copying a growing table once per element.
  ExceptionMap entries;
  for (const Exceptions& table : tables) {
    for (const auto& [key, scores] : table.entries()) {
      auto [at, added] = entries.try_emplace(key, scores);
      if (!added) at->second = zipMin(scores, at->second);
    }
  }
  return Exceptions(std::move(entries));
}

Exceptions sconcat(std::span<const Exceptions> tables) {
  if (tables.empty()) throw Error("sconcat: empty list");
  return combine(tables);
}

Exceptions stimes(long long count, const Exceptions& table) {
  if (count < 1) throw Error("stimes: positive multiplier expected");
  return table;  // combining a table with itself gives the same table
}

namespace {

void appendShow(std::string& out, int precedence, const Exceptions& table) {
  if (precedence > 10) out.push_back('(');
  out += "Exceptions (fromList [";
  bool first = true;
  for (const auto& [key, scores] : table.entries()) {
    if (!first) out.push_back(',');
    first = false;
    out.push_back('(');
    detail::appendQuoted(out, key);
    out.push_back(',');
    detail::appendScores(out, scores);
    out.push_back(')');
  }
  out += "])";
  if (precedence > 10) out.push_back(')');
}

}  // namespace

using Shows = detail::Shows<Exceptions, appendShow>;

std::string showsPrec(int precedence, const Exceptions& table, std::string_view rest) {
  return Shows::showsPrec(precedence, table, rest);
}

std::string show(const Exceptions& table) { return showsPrec(0, table); }

std::string showList(std::span<const Exceptions> tables, std::string_view rest) {
  return Shows::showList(tables, rest);
}

std::ostream& operator<<(std::ostream& out, const Exceptions& table) { return out << show(table); }

}  // namespace morvane
